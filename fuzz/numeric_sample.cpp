// Statistics of arbitrary doubles (NaN, infinities and values beyond int included) and
// truth tables from arbitrary arguments: no undefined behaviour, sorted results stay
// sorted, orderings hold every value once.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "vutil/numeric/prime.h"
#include "vutil/numeric/statistics.h"
#include "vutil/numeric/truth_table.h"

namespace {

double TakeDouble(const std::uint8_t*& data, std::size_t& size) {
    double v = 0;
    const std::size_t n = std::min(size, sizeof v);
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vutil::CStatistics;
    if (size < 2) return 0;
    const unsigned int percent = data[0];
    const int columns = data[1] % 9 - 1;
    data += 2;
    size -= 2;

    const double low = TakeDouble(data, size), high = TakeDouble(data, size), step = TakeDouble(data, size);
    // Keep the table small enough for the sanitizers' allocator; the guards inside
    // Generate are what is under test.
    const double levels = (high - low) / step + 1;
    if (columns > 0 && std::isfinite(levels) && std::pow(std::fabs(levels), columns) < 1e5) {
        std::vector<double> table;
        vutil::CTruthTable::Generate(table, columns, low, high, step);
        if (table.size() % static_cast<std::size_t>(columns) != 0) std::abort();
    }

    std::vector<double> sample;
    while (size > 0) sample.push_back(TakeDouble(data, size));
    CStatistics::GetSumTotal(sample);
    CStatistics::GetSampleMean(sample);
    CStatistics::GetSampleMedian(sample);
    CStatistics::GetSampleStandardDeviation(sample);
    unsigned int count = 0;
    CStatistics::GetSampleMode(sample, count);
    if (count > sample.size() || (count == 0) != sample.empty()) std::abort();
    double lo = 0, hi = 0;
    CStatistics::GetSampleRange(sample, lo, hi);
    const std::size_t before = sample.size();
    CStatistics::TrimSample(sample, percent);
    if (sample.size() > before) std::abort();
    if (!sample.empty() && percent > 0) {
        // Sorted, with NaN at the end.
        for (std::size_t i = 1; i < sample.size(); ++i)
            if (!std::isnan(sample[i]) && (std::isnan(sample[i - 1]) || sample[i] < sample[i - 1])) std::abort();
    }

    if (!sample.empty() && std::isfinite(sample[0])) {
        const auto n = static_cast<unsigned int>(std::fmod(std::fabs(sample[0]), 4294967296.0));
        if (vutil::CPrime::GetNearestPrimeNumber(n) < n) std::abort();
        vutil::CPrime::CalculateHashTableSize(n);
    }
    return 0;
}
