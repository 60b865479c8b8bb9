// CPI, CDouble and CTimingUtils.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

#include "vutil/dates/date_time.h"
#include "vutil/numeric/double.h"
#include "vutil/numeric/pi.h"
#include "vutil/numeric/timing_utils.h"

namespace vutil {
namespace {

constexpr double kPi = 3.141592653589793;

TEST(PITest, ConstantAndConversions) {
    EXPECT_EQ(CPI::m_dPI, std::acos(-1.0));
    EXPECT_EQ(CPI::GetPI(), kPi);
    EXPECT_DOUBLE_EQ(CPI::ConvertRadiansToDegrees(CPI::ConvertDegreesToRadians(270)), 270);
    EXPECT_DOUBLE_EQ(CPI::ConvertClockHourToRadians(3) + CPI::ConvertClockMinsToRadians(45), 2 * kPi);
    EXPECT_DOUBLE_EQ(CPI::ConvertClockSecsToRadians(15), kPi / 2);
}

struct ClockCase {
    int hour, minute, second;
    double hourDegrees, minuteDegrees;
};

TEST(PITest, HandsOfATime) {
    const ClockCase cases[] = {
        {3, 0, 0, 90, 0},
        {13, 0, 0, 390, 0},  // not folded back to 30
        {6, 30, 30, 195.25, 183},
        {0, 0, 36, 0.3, 3.6},
    };
    for (const ClockCase& c : cases) {
        const DateTime t(2024, 5, 17, c.hour, c.minute, c.second);
        EXPECT_NEAR(CPI::ConvertHourTimeToRadians(t) * 180 / kPi, c.hourDegrees, 1e-9);
        EXPECT_NEAR(CPI::ConvertMinsTimeToRadians(t) * 180 / kPi, c.minuteDegrees, 1e-9);
    }
    DateTime dateOnly(2024, 5, 17, 6, 30, 0);
    dateOnly.SetTime(DateTime());
    DateTime timeOnly;
    timeOnly.SetTime(6, 30, 0);
    for (const DateTime& t : {dateOnly, timeOnly, DateTime()}) {
        ASSERT_FALSE(t.IsValid());
        EXPECT_EQ(CPI::ConvertHourTimeToRadians(t), 0);
        EXPECT_EQ(CPI::ConvertMinsTimeToRadians(t), 0);
    }
}

TEST(DoubleTest, StrictTolerance) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct {
        double a, b, tolerance;
        bool equal;
    } const cases[] = {
        {1.0, 1.0005, 0.001, true}, {1.0, 1.01, 0.001, false}, {2.0, 1.5, 0.5, false},
        {-1, -1, 0, false},         {nan, nan, 1, false},      {1, 1, 1e-300, true},
    };
    for (const auto& c : cases) EXPECT_EQ(CDouble::IsEqual(c.a, c.b, c.tolerance), c.equal) << c.a << ' ' << c.b;
}

TEST(TimingUtilsTest, Stopwatch) {
    CTimingUtils watch;
    EXPECT_EQ(watch.Stop(), 0u);
    watch.Start();
    CTimingUtils copy;
    copy = watch;  // a copy keeps running from the same start
    const auto before = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const unsigned int elapsed = watch.Stop();
    const auto measured =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before).count();
    EXPECT_GE(elapsed, 29u);
    EXPECT_LE(elapsed, static_cast<unsigned int>(measured) + 2);
    EXPECT_EQ(watch.Stop(), 0u);  // stopped by the first Stop
    EXPECT_GE(copy.Stop(), elapsed);
}

}  // namespace
}  // namespace vutil
