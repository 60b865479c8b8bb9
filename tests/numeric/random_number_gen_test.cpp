// CRandomNumberGen: orderings hold every value once, and draws are spread evenly.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "vutil/numeric/random_number_gen.h"

namespace vutil {
namespace {

struct Range {
    int min, max;
};

TEST(RandomNumberGenTest, OrderingHoldsEveryValueOnce) {
    const CRandomNumberGen gen;
    for (const Range& r : {Range{1, 10}, Range{-5, 5}, Range{0, 1}, Range{1, 100000}, Range{2147483640, 2147483647}}) {
        std::vector<int> out{999};  // emptied first
        gen.Get(r.min, r.max, out);
        std::vector<int> expected;
        for (long long v = r.min; v <= r.max; ++v) expected.push_back(static_cast<int>(v));
        std::vector<int> sorted = out;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, expected) << r.min << ".." << r.max;
    }
}

TEST(RandomNumberGenTest, NoOrderingWithoutARange) {
    const CRandomNumberGen gen;
    for (const Range& r : {Range{1, 1}, Range{5, 4}}) {
        std::vector<int> out{7};
        gen.Get(r.min, r.max, out);
        EXPECT_EQ(out, std::vector<int>{7});
    }
}

TEST(RandomNumberGenTest, DrawsAreSpread) {
    const CRandomNumberGen gen;
    std::set<std::uint32_t> seen;
    unsigned int highBits = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::uint32_t v = gen.Get();
        seen.insert(v);
        highBits += v >> 31;
    }
    EXPECT_GT(seen.size(), 990u);
    EXPECT_NEAR(highBits, 500, 100);  // more than six standard deviations

    // Each value leads a four-value ordering about a quarter of the time, and the
    // orderings are not all the same.
    int first[4] = {};
    std::set<std::vector<int>> orders;
    for (int i = 0; i < 4000; ++i) {
        std::vector<int> out;
        gen.Get(0, 3, out);
        ++first[out.front()];
        orders.insert(out);
    }
    for (int n : first) EXPECT_NEAR(n, 1000, 200);
    EXPECT_GT(orders.size(), 20u);
}

}  // namespace
}  // namespace vutil
