#pragma once
// Primes and hash-table sizes.

#include <vector>

namespace vutil {

class CPrime {
public:
    static bool IsPrime(unsigned int n);
    // The smallest prime >= n; n itself when no prime follows it in 32 bits.
    static unsigned int GetNearestPrimeNumber(unsigned int n);
    // The first prime at or above 120 % of n (at least 3).
    static unsigned int CalculateHashTableSize(unsigned int n);
    // Appends the primes of [low, high] in ascending order.
    static void GetPrimesInRange(unsigned int low, unsigned int high, std::vector<unsigned int>& out);
};

}  // namespace vutil
