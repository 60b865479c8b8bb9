#pragma once
// Descriptive statistics of a sample.

#include <vector>

namespace vutil {

class CStatistics {
public:
    static double GetSumTotal(const std::vector<double>& sample);
    static double GetSampleMean(const std::vector<double>& sample);
    // The element at count / 2 of the sorted sample (the upper middle for an even count).
    static double GetSampleMedian(const std::vector<double>& sample);
    static double GetSampleStandardDeviation(const std::vector<double>& sample);
    // The most frequent value after truncation toward zero; count gets its frequency.
    static int GetSampleMode(const std::vector<double>& sample, unsigned int& count);
    static void GetSampleRange(const std::vector<double>& sample, double& minimum, double& maximum);
    // Sorts the sample and drops the values within percent of the maximum from the top,
    // and as many again from the bottom.
    static void TrimSample(std::vector<double>& sample, unsigned int percent);
};

}  // namespace vutil
