// CStatistics on the edge cases, and on a random sample against Python's statistics
// module (which holds the ordinary mean, median, deviation and range).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"
#include "vutil/numeric/statistics.h"

namespace vutil {
namespace {

using Sample = std::vector<double>;

TEST(StatisticsTest, FixedExamples) {
    EXPECT_EQ(CStatistics::GetSampleMedian({5, 1, 3}), 3);
    EXPECT_EQ(CStatistics::GetSampleStandardDeviation({4}), 0);
    EXPECT_EQ(CStatistics::GetSampleStandardDeviation({4, 4, 4}), 0);
    EXPECT_EQ(CStatistics::GetSumTotal({1.5, 2.5, -1}), 3);
    EXPECT_EQ(CStatistics::GetSumTotal({}) + CStatistics::GetSampleMean({}) + CStatistics::GetSampleMedian({}), 0);
    double lo = 7, hi = 7;
    CStatistics::GetSampleRange({}, lo, hi);
    EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(0.0, 0.0));
}

struct ModeCase {
    Sample sample;
    int mode;
    unsigned int count;
};

TEST(StatisticsTest, ModeByTruncatedValue) {
    const ModeCase cases[] = {
        {{}, 0, 0},
        {{1.2, 1.7, 2.0}, 1, 2},
        {{3, 5, 5, 3}, 3, 2},           // equal counts: the first element wins
        {{-1.5, -1.2, 0.5, 0.9}, -1, 2},  // toward zero: -1.5 is -1, 0.5 is 0
        {{9, 2.5, 2.1, 9.9, 2}, 2, 3},
        {{1e300, 1e301, 4}, 2147483647, 2},  // beyond int: saturated, not undefined
    };
    for (const ModeCase& c : cases) {
        unsigned int count = 99;
        EXPECT_EQ(CStatistics::GetSampleMode(c.sample, count), c.mode);
        EXPECT_EQ(count, c.count);
    }
}

struct TrimCase {
    Sample sample;
    unsigned int percent;
    Sample expected;
};

TEST(StatisticsTest, Trim) {
    const TrimCase cases[] = {
        {{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, 20, {4, 5, 6, 7}},
        {{3, 1, 2}, 0, {3, 1, 2}},       // nothing, not even sorted
        {{3, 1, 2}, 100, {}},
        {{5, 5, 5}, 10, {}},             // the scan keeps the first, the front removal takes it
        {{1, 2, 3, 100}, 50, {2, 3}},
        {{}, 30, {}},
    };
    for (const TrimCase& c : cases) {
        Sample s = c.sample;
        CStatistics::TrimSample(s, c.percent);
        EXPECT_EQ(s, c.expected) << c.percent;
    }
}

TEST(StatisticsTest, NaNKeepsSortingDefined) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Sample s{3, nan, 1, nan, 2, 5, nan, 4};
    EXPECT_EQ(CStatistics::GetSampleMedian(s), 5);  // NaN sorts after every number
    CStatistics::TrimSample(s, 50);
    EXPECT_TRUE(std::isnan(s.back()));
}

TEST(StatisticsTest, AgreesWithPythonStatistics) {
    if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 not available";
    std::mt19937 gen(22);
    std::normal_distribution<double> dist(50, 12);
    Sample s(1000);  // an even count: the upper middle value, as median_high
    std::ostringstream list;
    list.precision(17);
    for (double& v : s) {
        v = dist(gen);
        list << v << ',';
    }
    const std::string script =
        "import statistics as s; x=[" + list.str() +
        "]; print(repr(s.fmean(x)), repr(s.median_high(x)), repr(s.stdev(x)), repr(min(x)), repr(max(x)))";
    std::string out;
    ASSERT_EQ(test::RunCommand("python3 -c '" + script + "'", &out), 0);
    std::istringstream in(out);
    double mean, median, stdev, lo, hi;
    in >> mean >> median >> stdev >> lo >> hi;
    EXPECT_NEAR(CStatistics::GetSampleMean(s), mean, 1e-9);
    EXPECT_EQ(CStatistics::GetSampleMedian(s), median);
    EXPECT_NEAR(CStatistics::GetSampleStandardDeviation(s), stdev, 1e-9);
    double a = 0, b = 0;
    CStatistics::GetSampleRange(s, a, b);
    EXPECT_EQ(a, lo);
    EXPECT_EQ(b, hi);
}

}  // namespace
}  // namespace vutil
