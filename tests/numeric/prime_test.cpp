// CPrime against a sieve of Eratosthenes, plus the values fixed at the ends of the
// 32-bit range.

#include <gtest/gtest.h>

#include <vector>

#include "vutil/numeric/prime.h"

namespace vutil {
namespace {

std::vector<bool> Sieve(unsigned int limit) {
    std::vector<bool> prime(limit + 1, true);
    prime[0] = prime[1] = false;
    for (unsigned int i = 2; i * i <= limit; ++i)
        if (prime[i])
            for (unsigned int j = i * i; j <= limit; j += i) prime[j] = false;
    return prime;
}

TEST(PrimeTest, IsPrimeAgreesWithSieve) {
    const auto sieve = Sieve(200000);
    for (unsigned int n = 0; n < sieve.size(); ++n) ASSERT_EQ(CPrime::IsPrime(n), sieve[n]) << n;
}

TEST(PrimeTest, HighBlockAgreesWithSegmentedSieve) {
    constexpr unsigned long long kLow = 4294000000ull, kHigh = 4294967295ull;
    std::vector<bool> prime(kHigh - kLow + 1, true);
    const auto small = Sieve(65536);
    for (unsigned long long p = 2; p < small.size(); ++p)
        if (small[p])
            for (unsigned long long m = (kLow + p - 1) / p * p; m <= kHigh; m += p) prime[m - kLow] = false;
    for (unsigned long long n = kLow; n <= kHigh; ++n)
        ASSERT_EQ(CPrime::IsPrime(static_cast<unsigned int>(n)), prime[n - kLow]) << n;
}

TEST(PrimeTest, NextPrimeAgreesWithSieve) {
    const auto sieve = Sieve(101000);
    for (unsigned int n = 0; n <= 100000; ++n) {
        unsigned int p = n;
        while (!sieve[p]) ++p;
        ASSERT_EQ(CPrime::GetNearestPrimeNumber(n), p) << n;
    }
}

struct Fixed {
    unsigned int n;
    unsigned int expected;
};

TEST(PrimeTest, TopOfTheRange) {
    // Composites that pass a strong test to 2, 3, 5 and 7, between the two sieved blocks.
    for (unsigned int n : {25326001u, 3215031751u}) EXPECT_FALSE(CPrime::IsPrime(n)) << n;
    for (const Fixed& f : {Fixed{4294967280u, 4294967291u}, Fixed{4294967291u, 4294967291u},
                           Fixed{4294967292u, 4294967292u}, Fixed{4294967294u, 4294967294u},
                           Fixed{4294967295u, 4294967295u}})
        EXPECT_EQ(CPrime::GetNearestPrimeNumber(f.n), f.expected) << f.n;
}

TEST(PrimeTest, HashTableSize) {
    for (const Fixed& f : {Fixed{0, 3}, Fixed{2, 3}, Fixed{3, 3}, Fixed{5, 7}, Fixed{10, 13}, Fixed{100, 127},
                           Fixed{1000, 1201}, Fixed{35791394, 42949679}, Fixed{4000000000u, 4294967291u},
                           Fixed{4294967295u, 4294967291u}})
        EXPECT_EQ(CPrime::CalculateHashTableSize(f.n), f.expected) << f.n;
}

TEST(PrimeTest, PrimesInRangeAppendInOrder) {
    const auto sieve = Sieve(5000);
    std::vector<unsigned int> expected{7};
    for (unsigned int n = 1000; n <= 5000; ++n)
        if (sieve[n]) expected.push_back(n);
    std::vector<unsigned int> out{7};
    CPrime::GetPrimesInRange(1000, 5000, out);
    EXPECT_EQ(out, expected);

    std::vector<unsigned int> none;
    CPrime::GetPrimesInRange(20, 19, none);
    CPrime::GetPrimesInRange(24, 28, none);
    EXPECT_TRUE(none.empty());

    std::vector<unsigned int> top;
    CPrime::GetPrimesInRange(4294967280u, 4294967295u, top);
    EXPECT_EQ(top, std::vector<unsigned int>{4294967291u});
}

}  // namespace
}  // namespace vutil
