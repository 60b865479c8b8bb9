#include <algorithm>

#include "vutil/platform/random.h"
#include "vutil/platform/win32/win32_util.h"

#include <bcrypt.h>

namespace vutil::platform {

namespace {
// The system-preferred generator needs no provider handle: the source is a token.
constexpr RandomSource kSystemPreferred = 1;

bool Generate(void* buffer, std::size_t size) noexcept {
    auto* out = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        const auto n = static_cast<ULONG>(std::min<std::size_t>(size, 1u << 30));
        if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, out, n, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) return false;
        out += n;
        size -= n;
    }
    return true;
}
}  // namespace

RandomSource OpenRandomSource() noexcept {
    unsigned char probe = 0;
    return Generate(&probe, 1) ? kSystemPreferred : 0;
}

void CloseRandomSource(RandomSource) noexcept {}

bool FillRandom(RandomSource source, void* buffer, std::size_t size) noexcept {
    return source == kSystemPreferred && Generate(buffer, size);
}

}  // namespace vutil::platform
