// CPrime and CStatistics against references in the same run: primality of a block of
// numbers and the next prime after scattered values against a sieve (the sieve's own
// construction counted), and sum, mean, standard deviation and range of 10 million
// values against one pass that gathers them all (Welford's update).
//
//   build/default/bench/bench_numeric_bench

#include <benchmark/benchmark.h>

#include "ratio_reporter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "vutil/numeric/prime.h"
#include "vutil/numeric/statistics.h"

namespace {

using vutil::CPrime;
using vutil::CStatistics;

// Primality of [kBase, kBase + kSpan): numbers in the range hash tables are sized for.
constexpr std::uint64_t kBase = 100000000;
constexpr std::uint64_t kSpan = 1 << 18;

void IsPrime_lib(benchmark::State& state) {
    for (auto _ : state) {
        unsigned int count = 0;
        for (std::uint64_t n = kBase; n < kBase + kSpan; ++n) count += CPrime::IsPrime(static_cast<unsigned int>(n));
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kSpan));
}

// A segmented sieve over the same block with the small primes up to its root.
unsigned int SieveCount(std::uint64_t low, std::uint64_t high) {
    const auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(high))) + 1;
    std::vector<bool> small(root + 1, true);
    std::vector<bool> block(high - low, true);
    for (std::uint64_t p = 2; p <= root; ++p) {
        if (!small[p]) continue;
        for (std::uint64_t m = p * p; m <= root; m += p) small[m] = false;
        for (std::uint64_t m = std::max(p * p, (low + p - 1) / p * p); m < high; m += p) block[m - low] = false;
    }
    unsigned int count = 0;
    for (bool b : block) count += b;
    return count;
}

void IsPrime_ref(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SieveCount(kBase, kBase + kSpan));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kSpan));
}

std::vector<unsigned int> Starts() {
    std::mt19937 gen(8);
    std::uniform_int_distribution<unsigned int> dist(0, 10000000);
    std::vector<unsigned int> v(20000);
    for (auto& x : v) x = dist(gen);
    return v;
}

void NextPrime_lib(benchmark::State& state) {
    const auto starts = Starts();
    for (auto _ : state)
        for (unsigned int s : starts) benchmark::DoNotOptimize(CPrime::GetNearestPrimeNumber(s));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(starts.size()));
}

void NextPrime_ref(benchmark::State& state) {
    const auto starts = Starts();
    for (auto _ : state) {
        // Prime gaps below 10^7 are under 200.
        const unsigned int limit = 10000000 + 200;
        std::vector<bool> composite(limit + 1);
        composite[0] = composite[1] = true;
        for (unsigned int p = 2; p * p <= limit; ++p)
            if (!composite[p])
                for (unsigned int m = p * p; m <= limit; m += p) composite[m] = true;
        for (unsigned int s : starts) {
            unsigned int p = s;
            while (composite[p]) ++p;
            benchmark::DoNotOptimize(p);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(starts.size()));
}

const std::vector<double>& TenMillion() {
    static const std::vector<double> values = [] {
        std::mt19937_64 gen(22);
        std::normal_distribution<double> dist(100, 15);
        std::vector<double> v(10000000);
        for (double& x : v) x = dist(gen);
        return v;
    }();
    return values;
}

void Statistics_lib(benchmark::State& state) {
    const auto& v = TenMillion();
    for (auto _ : state) {
        double lo = 0, hi = 0;
        benchmark::DoNotOptimize(CStatistics::GetSumTotal(v));
        benchmark::DoNotOptimize(CStatistics::GetSampleMean(v));
        benchmark::DoNotOptimize(CStatistics::GetSampleStandardDeviation(v));
        CStatistics::GetSampleRange(v, lo, hi);
        benchmark::DoNotOptimize(lo + hi);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(v.size()));
}

void Statistics_ref(benchmark::State& state) {
    const auto& v = TenMillion();
    for (auto _ : state) {
        double sum = 0, mean = 0, m2 = 0, lo = v.front(), hi = v.front();
        std::size_t n = 0;
        for (double x : v) {
            sum += x;
            const double delta = x - mean;
            mean += delta / static_cast<double>(++n);
            m2 += delta * (x - mean);
            lo = x < lo ? x : lo;
            hi = x > hi ? x : hi;
        }
        benchmark::DoNotOptimize(sum + mean + std::sqrt(m2 / static_cast<double>(n - 1)) + lo + hi);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(v.size()));
}

void Median_lib(benchmark::State& state) {
    const auto& v = TenMillion();
    for (auto _ : state) benchmark::DoNotOptimize(CStatistics::GetSampleMedian(v));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(v.size()));
}

// The plain way: sort a copy and take the middle.
void Median_ref(benchmark::State& state) {
    const auto& v = TenMillion();
    for (auto _ : state) {
        std::vector<double> copy(v);
        std::sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy[copy.size() / 2]);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(v.size()));
}

}  // namespace

BENCHMARK(IsPrime_lib)->Name("IsPrime/lib")->Unit(benchmark::kMillisecond);
BENCHMARK(IsPrime_ref)->Name("IsPrime/ref")->Unit(benchmark::kMillisecond);
BENCHMARK(NextPrime_lib)->Name("NextPrime/lib")->Unit(benchmark::kMillisecond);
BENCHMARK(NextPrime_ref)->Name("NextPrime/ref")->Unit(benchmark::kMillisecond);
BENCHMARK(Statistics_lib)->Name("Statistics10M/lib")->Unit(benchmark::kMillisecond);
BENCHMARK(Statistics_ref)->Name("Statistics10M/ref")->Unit(benchmark::kMillisecond);
BENCHMARK(Median_lib)->Name("Median10M/lib")->Unit(benchmark::kMillisecond);
BENCHMARK(Median_ref)->Name("Median10M/ref")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    vutil::bench::RatioReporter reporter;
    return vutil::bench::Run(argc, argv, reporter);
}
