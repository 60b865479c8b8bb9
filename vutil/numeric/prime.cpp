#include "vutil/numeric/prime.h"

#include <cstdint>

namespace vutil {

namespace {
constexpr unsigned int kLargestPrime32 = 4294967291u;
}

bool CPrime::IsPrime(unsigned int n) {
    if (n < 2) return false;
    if (n < 4) return true;
    if (n % 2 == 0) return false;
    // A composite has an odd divisor no larger than its square root, so stopping there
    // gives the same answers as dividing by every odd number below n.
    for (std::uint64_t d = 3; d * d <= n; d += 2)
        if (n % d == 0) return false;
    return true;
}

unsigned int CPrime::GetNearestPrimeNumber(unsigned int n) {
    if (n > kLargestPrime32) return n;
    for (unsigned int c = n;; ++c)
        if (IsPrime(c)) return c;
}

unsigned int CPrime::CalculateHashTableSize(unsigned int n) {
    const std::uint64_t m = n < 3 ? 3 : n;
    const std::uint64_t scaled = m * 120 / 100;
    // Past 32 bits the largest 32-bit prime is as close as a table size can get.
    if (scaled > kLargestPrime32) return kLargestPrime32;
    return GetNearestPrimeNumber(static_cast<unsigned int>(scaled));
}

void CPrime::GetPrimesInRange(unsigned int low, unsigned int high, std::vector<unsigned int>& out) {
    // A 64-bit counter so that high = 4294967295 ends the loop.
    for (std::uint64_t c = low; c <= high; ++c)
        if (IsPrime(static_cast<unsigned int>(c))) out.push_back(static_cast<unsigned int>(c));
}

}  // namespace vutil
