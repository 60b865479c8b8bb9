// DateTime against the clock: "now" through a pinned clock, struct tm, seconds since
// 1970, file times and COleDateTime, with Python's time module as the zone oracle.

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>

#include "support/test_support.h"
#include "vutil/core/app_logger.h"
#include "vutil/dates/date_time.h"
#include "vutil/framework/ole_date_time.h"
#include "vutil/platform/clock.h"

namespace vutil {
namespace {

using test::ScopedZone;

constexpr const char* kNewYork = "EST5EDT,M3.2.0,M11.1.0";

std::tuple<int, int, int, int, int, int> Fields(const DateTime& dt) {
    int y, mo, d, h, mi, s;
    dt.Get(y, mo, d, h, mi, s);
    return {y, mo, d, h, mi, s};
}

FILETIME MakeFileTime(std::uint64_t v) {
    return FILETIME{static_cast<DWORD>(v & 0xFFFFFFFFu), static_cast<DWORD>(v >> 32)};
}

TEST(Clock, PinnedNowDrivesEveryQuery) {
    ScopedZone zone("UTC0");
    platform::ScopedClockPin pin(1733529599);  // 2024-12-06 23:59:59 UTC
    int y, mo, d, h, mi, s;
    DateTime::GetDateTimeNow(y, mo, d, h, mi, s);
    EXPECT_EQ(std::make_tuple(y, mo, d, h, mi, s), std::make_tuple(2024, 12, 6, 23, 59, 59));
    DateTime now;
    now.SetToCurrent();
    EXPECT_EQ(Fields(now), std::make_tuple(2024, 12, 6, 23, 59, 59));
    EXPECT_TRUE(now.IsToday());
    EXPECT_TRUE(DateTime(2024, 12, 5, 0, 0, 0).IsYesterday());
    EXPECT_TRUE(DateTime(2024, 12, 7, 0, 0, 0).IsTomorrow());
    EXPECT_FALSE(DateTime(2024, 12, 7, 0, 0, 0).IsToday());
    EXPECT_FALSE(DateTime().IsToday());
    DateTime timeOnly;
    timeOnly.SetToCurrentTime();
    EXPECT_EQ(Fields(timeOnly), std::make_tuple(0, 0, 0, 23, 59, 59));
    {
        ScopedZone east("JST-9");
        DateTime tokyo;
        tokyo.SetToCurrentDate();
        EXPECT_EQ(Fields(tokyo), std::make_tuple(2024, 12, 7, -1, -1, -1));
    }
}

TEST(Clock, PinIsReleased) {
    {
        platform::ScopedClockPin pin(0);
        EXPECT_EQ(platform::Now().seconds, 0);
        {
            platform::ScopedClockPin inner(86400);
            EXPECT_EQ(platform::Now().seconds, 86400);
        }
        EXPECT_EQ(platform::Now().seconds, 0);
    }
    EXPECT_FALSE(platform::PinnedClock().has_value());
    EXPECT_GT(platform::Now().seconds, 1700000000);  // the real clock again
}

TEST(Clock, UnconvertibleNowLeavesZeros) {
    platform::ScopedClockPin pin(INT64_MAX);
    int y = 1, mo = 1, d = 1, h = 1, mi = 1, s = 1;
    DateTime::GetDateTimeNow(y, mo, d, h, mi, s);
    EXPECT_EQ(std::make_tuple(y, mo, d, h, mi, s), std::make_tuple(0, 0, 0, 0, 0, 0));
    DateTime dt(2020, 1, 2, 3, 4, 5);
    dt.SetToCurrentDate();
    EXPECT_EQ(Fields(dt), std::make_tuple(2020, 1, 2, 3, 4, 5));
    dt.SetToCurrent();
    EXPECT_EQ(Fields(dt), std::make_tuple(2020, 1, 2, 0, 0, 0));
}

TEST(Conversions, StructTm) {
    std::tm tm{};
    tm.tm_wday = 42;
    tm.tm_yday = 43;
    DateTime(2038, 1, 18, 1, 2, 3).Get(tm);
    EXPECT_EQ(std::make_tuple(tm.tm_year, tm.tm_mon, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec),
              std::make_tuple(138, 0, 18, 1, 2, 3));
    EXPECT_EQ(tm.tm_wday, 42);  // untouched
    EXPECT_EQ(tm.tm_yday, 43);

    const CAppLogger* log = CAppLogger::CreateForTesting();
    std::tm before = tm;
    DateTime(2038, 1, 19, 0, 0, 0).Get(tm);
    DateTime(1969, 12, 31, 0, 0, 0).Get(tm);
    const auto& lines = log->Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].site, CString("{3B9CEE83-5685-4EBF-AF53-16DECF9747B1}"));
    EXPECT_EQ(tm.tm_year, before.tm_year);
    EXPECT_EQ(tm.tm_mday, before.tm_mday);
    CAppLogger::DeleteInstance();

    DateTime back(1, 1, 1, 0, 0, 0);
    std::tm in{};
    in.tm_year = 124;
    in.tm_mon = 1;
    in.tm_mday = 29;
    in.tm_hour = 23;
    in.tm_min = 59;
    in.tm_sec = 60;  // a leap second is not a time here
    back.Set(in);
    EXPECT_EQ(Fields(back), std::make_tuple(2024, 2, 29, 0, 0, 0));
    in.tm_year = INT_MAX;
    in.tm_mon = INT_MAX;
    in.tm_sec = 0;
    back.Set(in);
    EXPECT_EQ(Fields(back), std::make_tuple(2024, 2, 29, 23, 59, 0));
}

TEST(Conversions, SecondsSince1970AreThirtyTwoBit) {
    std::int64_t t = 0;
    DateTime(1970, 1, 1, 0, 0, 0).Get(t);
    EXPECT_EQ(t, 0);
    DateTime(2038, 1, 19, 3, 14, 7).Get(t);
    EXPECT_EQ(t, INT32_MAX);
    DateTime(2038, 1, 19, 3, 14, 8).Get(t);
    EXPECT_EQ(t, INT32_MIN);  // wraps as the 32-bit count does
    DateTime(1969, 12, 31, 23, 59, 59).Get(t);
    EXPECT_EQ(t, -1);
    DateTime(9999, 12, 31, 23, 59, 59).Get(t);  // far beyond: still defined
    EXPECT_GE(t, INT32_MIN);
    EXPECT_LE(t, INT32_MAX);
}

TEST(Conversions, SecondsAndFileTimesToLocal) {
    // Ordinary instants are compared with Python below; here the ends and fractions.
    ScopedZone zone(kNewYork);
    DateTime dt(2000, 1, 1, 0, 0, 0);
    dt.Set(INT64_MAX);
    EXPECT_EQ(dt, DateTime());

    DateTime ft(2000, 1, 1, 0, 0, 0);
    ft.Set(MakeFileTime(platform::kFileTimeUnixEpoch + 12345678));  // 1.23 s past 1970 UTC
    EXPECT_EQ(Fields(ft), std::make_tuple(1969, 12, 31, 19, 0, 1));
    ft.Set(MakeFileTime(std::uint64_t{1} << 63));
    EXPECT_EQ(ft, DateTime());
    {
        ScopedZone utc("UTC0");
        DateTime first;
        first.Set(MakeFileTime(0));
        EXPECT_EQ(Fields(first), std::make_tuple(1601, 1, 1, 0, 0, 0));
        // The year 30828 is past what the date holds: the time part alone is taken.
        DateTime late(2000, 1, 1, 0, 0, 0);
        late.Set(MakeFileTime(0x7FFFFFFFFFFFFFFFull));
        EXPECT_EQ(std::get<0>(Fields(late)), 2000);
    }
    {
        ScopedZone tokyo("JST-9");
        DateTime before;
        before.Set(MakeFileTime(0));  // 1601-01-01 09:00 local
        EXPECT_EQ(Fields(before), std::make_tuple(1601, 1, 1, 9, 0, 0));
    }
}

TEST(Conversions, LocalTimeAgreesWithPython) {
    if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 not available";
    ScopedZone zone(kNewYork);
    test::TempDir dir;
    std::mt19937_64 gen(4242);
#ifndef _WIN32
    std::uniform_int_distribution<std::int64_t> pick(-2208988800, 4102444800);  // 1900 ... 2100
#else
    // The C runtime reads only "EST5EDT" and applies the United States' rules of each year,
    // which match the oracle's explicit ones from 2007 on.
    std::uniform_int_distribution<std::int64_t> pick(1167609600, 4102444800);  // 2007 ... 2100
#endif
    std::ostringstream values;
    std::vector<std::int64_t> times = {0, 1710054000, 1710053999, 1730613600, 1730613599};
    while (times.size() < 1500) times.push_back(pick(gen));
    {
        std::ofstream out(dir.File("times.txt"));
        for (auto t : times) out << t << "\n";
    }
    std::string output;
    const std::string cmd = "python3 -c 'import sys,time\n"
                            "for l in open(sys.argv[1]):\n"
                            "    t=time.localtime(int(l)); print(*t[:6])' " +
                            dir.File("times.txt");
    ASSERT_EQ(test::RunCommand(cmd, &output), 0);
    std::istringstream in(output);
    std::size_t i = 0;
    int y, mo, d, h, mi, s;
    while (in >> y >> mo >> d >> h >> mi >> s) {
        ASSERT_LT(i, times.size());
        DateTime dt;
        dt.Set(times[i]);
        ASSERT_EQ(Fields(dt), std::make_tuple(y, mo, d, h, mi, s)) << times[i];
        // A file time of the same instant converts the same way.
        DateTime ft;
        ft.Set(MakeFileTime(static_cast<std::uint64_t>(times[i] * 10000000 + platform::kFileTimeUnixEpoch)));
        ASSERT_EQ(Fields(ft), std::make_tuple(y, mo, d, h, mi, s)) << times[i];
        ++i;
    }
    EXPECT_EQ(i, times.size());
}

TEST(Clock, FileTimesRoundTripThroughLocal) {
    ScopedZone zone(kNewYork);
    for (std::uint64_t ft : {std::uint64_t{0} + 5 * 3600 * 10000000ull, 133000000000000000ull, 133580000000000001ull}) {
        std::uint64_t local = 0, back = 0;
        ASSERT_TRUE(platform::FileTimeToLocalFileTime(ft, local));
        ASSERT_TRUE(platform::LocalFileTimeToFileTime(local, back));
        EXPECT_EQ(back, ft);
        platform::TimeFields f;
        ASSERT_TRUE(platform::FileTimeToFields(ft, f));
        std::uint64_t again = 0;
        ASSERT_TRUE(platform::FieldsToFileTime(f, again));
        EXPECT_EQ(again / 10000, ft / 10000);  // fields keep milliseconds
    }
    std::uint64_t out = 0;
    EXPECT_FALSE(platform::FileTimeToLocalFileTime(0, out));  // 1601 minus five hours
    ScopedZone tokyo("JST-9");
    EXPECT_FALSE(platform::FileTimeToLocalFileTime(0x7FFFFFFFFFFFFFFFull, out));  // past 2^63 - 1
}

// Far from today, in a zone with summer time: each instant has its season's offset and
// its weekday, and its local reading leads back to it, on both sides of the years the
// system's own conversions cover.
TEST(Clock, LocalTimeFarFromToday) {
    ScopedZone zone(kNewYork);
#ifdef _WIN32
    constexpr int kEarlySummer = -4;  // the runtime's rules hold for every year
#else
    constexpr int kEarlySummer = -5;  // the C library keeps standard time before 1970
#endif
    struct Case {
        int year, month, day, offsetHours, dayOfWeek;
    };
    const Case cases[] = {
        {1601, 1, 1, -5, 1},   {1601, 7, 1, kEarlySummer, 0}, {1969, 7, 20, kEarlySummer, 0}, {1970, 12, 31, -5, 4},
        {1971, 1, 1, -5, 5},   {2999, 12, 31, -5, 2}, {3000, 7, 4, -4, 5},  {9999, 12, 31, -5, 5},
    };
    for (const Case& c : cases) {
        platform::TimeFields utc;
        utc.year = c.year;
        utc.month = c.month;
        utc.day = c.day;
        utc.hour = 12;
        std::int64_t t = 0;
        ASSERT_TRUE(platform::UtcFieldsToUtc(utc, t));
        platform::TimeFields local;
        ASSERT_TRUE(platform::UtcToLocalFields(t, local)) << c.year;
        EXPECT_EQ(std::make_tuple(local.year, local.month, local.day, local.hour, local.dayOfWeek, local.utcOffset),
                  std::make_tuple(c.year, c.month, c.day, 12 + c.offsetHours, c.dayOfWeek, c.offsetHours * 3600))
            << c.year;
        std::int64_t back = 0;
        ASSERT_TRUE(platform::LocalFieldsToUtc(local, back)) << c.year;
        EXPECT_EQ(back, t) << c.year;
    }
}

TEST(Conversions, OleDateTime) {
    // The encoding: days since 1899-12-30, the fraction away from zero before it.
    EXPECT_DOUBLE_EQ(COleDateTime(1899, 12, 30, 0, 0, 0).m_dt, 0.0);
    EXPECT_DOUBLE_EQ(COleDateTime(1900, 1, 1, 12, 0, 0).m_dt, 2.5);
    EXPECT_DOUBLE_EQ(COleDateTime(1899, 12, 29, 6, 0, 0).m_dt, -1.25);
    EXPECT_EQ(COleDateTime(99, 12, 31, 0, 0, 0).GetStatus(), COleDateTime::invalid);

    for (const DateTime& v : {DateTime(2024, 2, 29, 23, 59, 59), DateTime(1899, 12, 29, 6, 0, 0),
                              DateTime(100, 1, 1, 0, 0, 0), DateTime(9999, 12, 31, 23, 59, 59)}) {
        COleDateTime ole;
        v.Get(ole);
        EXPECT_EQ(ole.GetStatus(), COleDateTime::valid) << ole.m_dt;
        DateTime back;
        back.Set(ole);
        EXPECT_EQ(back, v);
    }
    COleDateTime ole;
    DateTime(1500, 2, 29, 0, 0, 0).Get(ole);  // Julian only
    EXPECT_EQ(ole.GetStatus(), COleDateTime::invalid);
    DateTime(99, 1, 1, 0, 0, 0).Get(ole);
    EXPECT_EQ(ole.GetStatus(), COleDateTime::invalid);
    DateTime dateOnly;
    dateOnly.SetDate(2024, 1, 1);
    dateOnly.Get(ole);
    EXPECT_EQ(ole.GetStatus(), COleDateTime::null);

    DateTime target(2024, 1, 1, 1, 1, 1);
    COleDateTime nullValue;
    nullValue.SetStatus(COleDateTime::null);
    target.Set(nullValue);
    EXPECT_EQ(target, DateTime());
}

TEST(Conversions, SecondsHelpers) {
    long days = 0;
    int h = 0, m = 0, s = 0;
    DateTime::ConvertFromSeconds(-90061, days, h, m, s);
    EXPECT_EQ(std::make_tuple(days, h, m, s), std::make_tuple(1L, 1, 1, 1));
    DateTime::ConvertFromSeconds(90061, days, h, m, s);
    EXPECT_EQ(std::make_tuple(days, h, m, s), std::make_tuple(1L, 1, 1, 1));
    // Days are a long: 64 bits on LP64 systems; 32 on Windows, where the days of INT64_MIN
    // stop at LONG_MAX and no sum of the parts reaches the 64-bit ends.
    constexpr bool kWideLong = sizeof(long) == 8;
    DateTime::ConvertFromSeconds(INT64_MIN, days, h, m, s);
    EXPECT_EQ(std::make_tuple(days, h, m, s),
              std::make_tuple(kWideLong ? static_cast<long>(106751991167300LL) : LONG_MAX, 15, 30, 8));
    std::int64_t total = 0;
    DateTime::ConvertToSeconds(1, 1, 1, 1, total);
    EXPECT_EQ(total, 90061);
    DateTime::ConvertToSeconds(-1, 0, 0, 0, total);
    EXPECT_EQ(total, -86400);
    if (kWideLong) {
        DateTime::ConvertToSeconds(static_cast<long>(106751991167300LL), 15, 30, 7, total);
        EXPECT_EQ(total, INT64_MAX);
    }
    DateTime::ConvertToSeconds(LONG_MAX, INT_MAX, INT_MAX, INT_MAX, total);
    EXPECT_EQ(total, kWideLong ? INT64_MAX : 193404524732467);
    DateTime::ConvertToSeconds(LONG_MIN, 0, 0, 0, total);
    EXPECT_EQ(total, kWideLong ? INT64_MIN : -185542587187200);

    std::int64_t delta = 7;
    DateTime::ConvertDeltaToSeconds(DateTime(2024, 1, 2, 0, 0, 0), DateTime(2024, 1, 1, 23, 0, 0), delta);
    EXPECT_EQ(delta, 3600);
    DateTime::ConvertDeltaToSeconds(DateTime(1, 1, 1, 0, 0, 0), DateTime(9999, 12, 31, 23, 59, 59), delta);
    EXPECT_EQ(delta, -(std::int64_t{3652060} * 86400 + 86399));
    DateTime noTime;
    noTime.SetDate(2024, 1, 1);
    DateTime::ConvertDeltaToSeconds(noTime, DateTime(2024, 1, 1, 0, 0, 0), delta);
    EXPECT_EQ(delta, 0);
}

}  // namespace
}  // namespace vutil
