// Formatting a grouped integer allocates nothing beyond the returned string: the
// settings are read once and the layout works in place.

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "vutil/text/number_text_conv.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using vutil::CNumberTextConv;

TEST(Allocations, GroupedIntegers) {
    (void)CNumberTextConv::NumberToString(1, true, 0, "");  // first use reads the settings
    long before = g_allocations.load();
    for (int n : {0, -1, 999, 1234567, INT_MAX, INT_MIN}) {
        const vutil::CString s = CNumberTextConv::NumberToString(n, true, 0, "");
        ASSERT_LE(s.GetLength(), 15);  // fits the string's own storage
    }
    EXPECT_EQ(g_allocations.load() - before, 0);
    before = g_allocations.load();
    const vutil::CString big = CNumberTextConv::NumberToString(UINT64_MAX);
    EXPECT_EQ(big.GetLength(), 26);
    EXPECT_EQ(g_allocations.load() - before, 1);  // the result's buffer, nothing else
}

}  // namespace
