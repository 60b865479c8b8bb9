#include "vutil/numeric/random_number_gen.h"

#include <cmath>
#include <cstdlib>

namespace vutil {

CRandomNumberGen::CRandomNumberGen() : m_hProvider(platform::OpenRandomSource()) {}

CRandomNumberGen::~CRandomNumberGen() {
    if (m_hProvider != 0) platform::CloseRandomSource(m_hProvider);
}

std::uint32_t CRandomNumberGen::Get() const {
    std::uint32_t value = 0;
    if (m_hProvider == 0 || !platform::FillRandom(m_hProvider, &value, sizeof value)) return 0;
    return value;
}

void CRandomNumberGen::Get(int min, int max, std::vector<int>& out) const {
    if (m_hProvider == 0 || min >= max) return;
    out.clear();
    std::srand(Get());
    const std::int64_t n = std::int64_t{max} - min + 1;
    out.reserve(static_cast<std::size_t>(n));
    std::vector<bool> taken(static_cast<std::size_t>(n));
    // The draw is scaled from the generator's whole range (RAND_MAX + 1, not 32768)
    // so that ranges wider than 15 bits are covered too.
    const double span = static_cast<double>(RAND_MAX) + 1.0;
    for (std::int64_t draw = 0; draw < 3 * n && static_cast<std::int64_t>(out.size()) < n; ++draw) {
        auto offset = static_cast<std::int64_t>(std::floor(std::rand() / span * static_cast<double>(n)));
        if (offset >= n) offset = n - 1;
        if (taken[static_cast<std::size_t>(offset)]) continue;
        taken[static_cast<std::size_t>(offset)] = true;
        out.push_back(static_cast<int>(min + offset));
    }
    for (std::int64_t offset = 0; offset < n && static_cast<std::int64_t>(out.size()) < n; ++offset)
        if (!taken[static_cast<std::size_t>(offset)]) out.push_back(static_cast<int>(min + offset));
}

}  // namespace vutil
