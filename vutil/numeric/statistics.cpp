#include "vutil/numeric/statistics.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <unordered_map>

namespace vutil {

namespace {

// NaN compares false with everything, which breaks std::sort's contract; ordering it
// after every number keeps sorting defined.
bool NumberLess(double a, double b) {
    if (std::isnan(a)) return false;
    if (std::isnan(b)) return true;
    return a < b;
}

// Truncation toward zero that saturates instead of overflowing; NaN counts as 0.
int Truncate(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

double CStatistics::GetSumTotal(const std::vector<double>& sample) {
    double sum = 0;
    for (double v : sample) sum += v;
    return sum;
}

double CStatistics::GetSampleMean(const std::vector<double>& sample) {
    if (sample.empty()) return 0;
    return GetSumTotal(sample) / static_cast<double>(sample.size());
}

double CStatistics::GetSampleMedian(const std::vector<double>& sample) {
    if (sample.empty()) return 0;
    std::vector<double> copy(sample);
    // Only the middle element has to land in its sorted place.
    const auto middle = copy.begin() + static_cast<std::ptrdiff_t>(copy.size() / 2);
    std::nth_element(copy.begin(), middle, copy.end(), NumberLess);
    return *middle;
}

double CStatistics::GetSampleStandardDeviation(const std::vector<double>& sample) {
    if (sample.size() < 2) return 0;
    const double mean = GetSampleMean(sample);
    double squares = 0;
    for (double v : sample) squares += (v - mean) * (v - mean);
    const double variance = squares / static_cast<double>(sample.size() - 1);
    if (!(variance > 0)) return 0;
    return std::sqrt(variance);
}

int CStatistics::GetSampleMode(const std::vector<double>& sample, unsigned int& count) {
    count = 0;
    // Counting every truncated value first gives the same answer as comparing each
    // element with all others, in linear time: the first element whose value reaches
    // the highest frequency wins.
    std::unordered_map<int, unsigned int> frequency;
    frequency.reserve(sample.size());
    for (double v : sample) ++frequency[Truncate(v)];
    int mode = 0;
    for (double v : sample) {
        const int t = Truncate(v);
        const unsigned int c = frequency[t];
        if (c > count) {
            count = c;
            mode = t;
        }
    }
    return mode;
}

void CStatistics::GetSampleRange(const std::vector<double>& sample, double& minimum, double& maximum) {
    minimum = 0;
    maximum = 0;
    if (sample.empty()) return;
    minimum = maximum = sample.front();
    for (double v : sample) {
        if (v < minimum) minimum = v;
        if (v > maximum) maximum = v;
    }
}

void CStatistics::TrimSample(std::vector<double>& sample, unsigned int percent) {
    if (sample.empty() || percent == 0) return;
    if (percent >= 100) {
        sample.clear();
        return;
    }
    double minimum = 0, maximum = 0;
    GetSampleRange(sample, minimum, maximum);
    const double threshold = (1.0 - percent / 100.0) * maximum;
    std::sort(sample.begin(), sample.end(), NumberLess);
    std::size_t removed = 0;
    while (sample.size() > 1 && sample.back() >= threshold) {
        sample.pop_back();
        ++removed;
    }
    const std::size_t front = std::min(removed, sample.size());
    sample.erase(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(front));
}

}  // namespace vutil
