#pragma once
// Random numbers from the system's cryptographic source, and random orderings.

#include <cstdint>
#include <vector>

#include "vutil/platform/random.h"

namespace vutil {

class CRandomNumberGen {
public:
    CRandomNumberGen();
    ~CRandomNumberGen();
    CRandomNumberGen(const CRandomNumberGen&) = delete;
    CRandomNumberGen& operator=(const CRandomNumberGen&) = delete;

    // 32 random bits; 0 when there is no source or it fails.
    std::uint32_t Get() const;
    // out = a random ordering of every integer from min to max. Reseeds the runtime's
    // process-wide generator (srand/rand) from the cryptographic source. Does nothing
    // when there is no source or min >= max.
    void Get(int min, int max, std::vector<int>& out) const;

private:
    platform::RandomSource m_hProvider = 0;
};

}  // namespace vutil
