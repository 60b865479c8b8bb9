// CNumberTextConv against the C runtime in the same run: grouped integers against
// snprintf("%d") plus a grouping pass, DoubleToString against snprintf("%.2f"),
// GetDoubleFromString against strtod, Roman numerals against snprintf("%d") as a
// yardstick. Prints calls/s and the ratio of each pair, and the heap allocations per
// call of the library side (counted by a replaced operator new).
//
//   VUTIL_LOCALE=en-US build/default/bench/bench_number_bench

#include <benchmark/benchmark.h>

#include "ratio_reporter.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "vutil/dates/locale_utils.h"
#include "vutil/text/number_text_conv.h"

namespace {
std::atomic<long long> g_allocations{0};
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
using vutil::CString;

std::vector<int> Integers() {
    std::vector<int> v;
    unsigned x = 12345;
    for (int i = 0; i < 1024; ++i) {
        x = x * 1103515245u + 12345u;
        v.push_back(static_cast<int>(x) >> (i % 24));  // every length, both signs
    }
    return v;
}

std::vector<std::string> DecimalTexts() {
    std::vector<std::string> v;
    for (int n : Integers()) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%d.%03d", n, (n & 0x7fffffff) % 1000);
        v.emplace_back(buf);
    }
    return v;
}

void AllocationCounter(benchmark::State& state, long long before) {
    state.counters["allocs/call"] = benchmark::Counter(static_cast<double>(g_allocations.load() - before) /
                                                       static_cast<double>(state.iterations()));
}

void BM_NumberToString_Grouped(benchmark::State& state) {
    const auto values = Integers();
    (void)CNumberTextConv::NumberToString(1, true, 0, "");  // settings read once, outside the count
    const long long before = g_allocations.load();
    std::size_t i = 0;
    for (auto _ : state) {
        CString s = CNumberTextConv::NumberToString(values[i++ & 1023], true, 0, "");
        benchmark::DoNotOptimize(s);
    }
    AllocationCounter(state, before);
    state.SetItemsProcessed(state.iterations());
}

// The reference: snprintf("%d"), then commas every three digits into a buffer.
void BM_Snprintf_Grouped(benchmark::State& state) {
    const auto values = Integers();
    std::size_t i = 0;
    for (auto _ : state) {
        char digits[16];
        const int len = std::snprintf(digits, sizeof digits, "%d", values[i++ & 1023]);
        char out[32];
        int o = 0;
        int start = digits[0] == '-' ? 1 : 0;
        if (start) out[o++] = '-';
        for (int k = start; k < len; ++k) {
            if (k > start && (len - k) % 3 == 0) out[o++] = ',';
            out[o++] = digits[k];
        }
        std::string s(out, static_cast<std::size_t>(o));
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DoubleToString(benchmark::State& state) {
    const auto values = Integers();
    std::size_t i = 0;
    (void)CNumberTextConv::DoubleToString(1.0, 2, false, 0, "", true);
    const long long before = g_allocations.load();
    for (auto _ : state) {
        CString s = CNumberTextConv::DoubleToString(values[i++ & 1023] / 1000.0, 2, false, 0, "", true);
        benchmark::DoNotOptimize(s);
    }
    AllocationCounter(state, before);
    state.SetItemsProcessed(state.iterations());
}

void BM_Snprintf_Double(benchmark::State& state) {
    const auto values = Integers();
    std::size_t i = 0;
    for (auto _ : state) {
        char buf[64];
        const int len = std::snprintf(buf, sizeof buf, "%.2f", values[i++ & 1023] / 1000.0);
        std::string s(buf, static_cast<std::size_t>(len));
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_GetDoubleFromString(benchmark::State& state) {
    std::vector<CString> texts;
    for (const auto& t : DecimalTexts()) texts.emplace_back(t);
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(CNumberTextConv::GetDoubleFromString(texts[i++ & 1023], false));
    state.SetItemsProcessed(state.iterations());
}

void BM_Strtod(benchmark::State& state) {
    const auto texts = DecimalTexts();
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(std::strtod(texts[i++ & 1023].c_str(), nullptr));
    state.SetItemsProcessed(state.iterations());
}

void BM_ConvertToRoman(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        CString s = CNumberTextConv::ConvertToRoman(n++ % 3999 + 1);
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ConvertFromRoman(benchmark::State& state) {
    std::vector<CString> texts;
    for (int n = 1; n <= 3999; ++n) texts.push_back(CNumberTextConv::ConvertToRoman(n));
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(CNumberTextConv::ConvertFromRoman(texts[i++ % texts.size()]));
    state.SetItemsProcessed(state.iterations());
}

void BM_Snprintf_Int(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        char buf[16];
        const int len = std::snprintf(buf, sizeof buf, "%d", n++ % 3999 + 1);
        std::string s(buf, static_cast<std::size_t>(len));
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations());
}

// The five kept separators, read as callers read them, beside copying five strings.
void BM_SeparatorReads(benchmark::State& state) {
    using vutil::CLocaleUtils;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CLocaleUtils::GetDecimalSeparator());
        benchmark::DoNotOptimize(CLocaleUtils::GetThousandsSeparator());
        benchmark::DoNotOptimize(CLocaleUtils::GetCurrencyDecimalSeparator());
        benchmark::DoNotOptimize(CLocaleUtils::GetCurrencyThousandsSeparator());
        benchmark::DoNotOptimize(CLocaleUtils::GetCurrencySymbol());
    }
    state.SetItemsProcessed(state.iterations() * 5);
}

void BM_StringCopies(benchmark::State& state) {
    const CString texts[5] = {".", ",", ".", ",", "$"};
    for (auto _ : state) {
        for (const CString& t : texts) benchmark::DoNotOptimize(CString(t));
    }
    state.SetItemsProcessed(state.iterations() * 5);
}

BENCHMARK(BM_NumberToString_Grouped);
BENCHMARK(BM_Snprintf_Grouped);
BENCHMARK(BM_DoubleToString);
BENCHMARK(BM_Snprintf_Double);
BENCHMARK(BM_GetDoubleFromString);
BENCHMARK(BM_Strtod);
BENCHMARK(BM_ConvertToRoman);
BENCHMARK(BM_ConvertFromRoman);
BENCHMARK(BM_Snprintf_Int);
BENCHMARK(BM_SeparatorReads);
BENCHMARK(BM_StringCopies);


}  // namespace

int main(int argc, char** argv) {
    vutil::bench::RatioReporter reporter;
    reporter.AddPair("BM_NumberToString_Grouped", "BM_Snprintf_Grouped");
    reporter.AddPair("BM_DoubleToString", "BM_Snprintf_Double");
    reporter.AddPair("BM_GetDoubleFromString", "BM_Strtod");
    reporter.AddPair("BM_ConvertToRoman", "BM_Snprintf_Int");
    reporter.AddPair("BM_ConvertFromRoman", "BM_Snprintf_Int");
    reporter.AddPair("BM_SeparatorReads", "BM_StringCopies");
    return vutil::bench::Run(argc, argv, reporter);
}
