#include "vutil/numeric/prime.h"

#include <cstdint>

namespace vutil {

namespace {

constexpr unsigned int kLargestPrime32 = 4294967291u;

std::uint64_t PowMod(std::uint64_t base, std::uint32_t exponent, std::uint64_t modulus) {
    std::uint64_t result = 1;
    base %= modulus;
    for (; exponent != 0; exponent >>= 1) {
        if (exponent & 1) result = result * base % modulus;
        base = base * base % modulus;
    }
    return result;
}

// The strong probable-prime test to one base; n odd and greater than the base.
bool StrongProbablePrime(std::uint32_t n, std::uint32_t base) {
    std::uint32_t d = n - 1;
    int twos = 0;
    for (; (d & 1) == 0; d >>= 1) ++twos;
    std::uint64_t x = PowMod(base, d, n);
    if (x == 1 || x == n - 1) return true;
    for (int i = 1; i < twos; ++i) {
        x = x * x % n;
        if (x == n - 1) return true;
    }
    return false;
}

}  // namespace

bool CPrime::IsPrime(unsigned int n) {
    if (n < 2) return false;
    if (n < 4) return true;
    if (n % 2 == 0) return false;
    // Any divisor implies one no larger than the square root, so small numbers stop
    // there; the answers are those of dividing by every odd number below n.
    if (n < 65536) {
        for (unsigned int d = 3; d * d <= n; d += 2)
            if (n % d == 0) return false;
        return true;
    }
    // Most composites have a small factor; only the rest need the exponentiations.
    for (unsigned int d : {3u, 5u, 7u, 11u, 13u, 17u, 19u, 23u, 29u, 31u, 37u, 41u, 43u, 47u})
        if (n % d == 0) return false;
    // Above that the strong test to bases 2, 7 and 61 is exact for every 32-bit number
    // and costs a few dozen multiplications instead of up to 32768 divisions.
    return StrongProbablePrime(n, 2) && StrongProbablePrime(n, 7) && StrongProbablePrime(n, 61);
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
