// The calendar: fixed values, exhaustive agreement with the literal steps, and an
// independent oracle (Python's proleptic Gregorian datetime).

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "literal_calendar.h"
#include "support/test_support.h"
#include "vutil/dates/date_time.h"

namespace vutil {
namespace {

// Opens the protected calendar helpers to the tests.
struct Calendar : DateTime {
    using DateTime::DaysFromDay1;
    using DateTime::GetCenturyCode;
    using DateTime::GetCenturyLeapYearCount;
};

DateTime FromDayNumber(int n) {
    DateTime dt(1, 1, 1, 0, 0, 0);
    dt.AddDays(n - 1);
    return dt;
}

struct Reference {
    int year, month, day, number;
};

class ReferenceDays : public ::testing::TestWithParam<Reference> {};

TEST_P(ReferenceDays, DayNumberBothWays) {
    const Reference& r = GetParam();
    EXPECT_EQ(Calendar::DaysFromDay1(r.year, r.month, r.day), r.number);
    int y, m, d;
    FromDayNumber(r.number).GetDate(y, m, d);
    EXPECT_EQ(std::make_tuple(y, m, d), std::make_tuple(r.year, r.month, r.day));
}

// From 1583 on the day numbers are Python's below.
INSTANTIATE_TEST_SUITE_P(Fixed, ReferenceDays,
                         ::testing::Values(Reference{1, 1, 1, 1}, Reference{1582, 10, 4, 577737},
                                           Reference{1582, 10, 5, 577738}, Reference{1582, 11, 1, 577755}));

// Inside 1 ... 9999 the exhaustive tests below pin lengths and days of the year.
TEST(Calendar, LeapYearsAndLengths) {
    EXPECT_TRUE(DateTime::IsLeapYear(1500));
    EXPECT_FALSE(DateTime::IsLeapYear(1700));
    EXPECT_TRUE(DateTime::IsLeapYear(2000));
    EXPECT_FALSE(DateTime::IsLeapYear(10000));
    EXPECT_FALSE(DateTime::IsLeapYear(0));
    EXPECT_FALSE(DateTime::IsLeapYear(-4));
    EXPECT_EQ(DateTime::GetDaysInYear(1582), 355);
    EXPECT_EQ(DateTime::GetDaysInYear(1500), 366);
    EXPECT_EQ(DateTime::GetDaysInYear(1900), 365);
    EXPECT_EQ(DateTime::GetDaysInYear(10000), 0);
    EXPECT_EQ(DateTime::GetDaysInMonth(12000, 1), 31);  // no upper bound on the year here
    EXPECT_EQ(DateTime::GetDaysInMonth(0, 1), 0);
    EXPECT_EQ(DateTime::GetDaysInMonth(2024, 13), 0);
    EXPECT_EQ(DateTime::DayOfYear(2023, 2, 29), 0);
    EXPECT_EQ(DateTime::DayOfYear(1582, 10, 22), 0);
}

TEST(Calendar, InvalidArgumentsGiveNoDayNumber) {
    // The day after each month's last is checked for every month below.
    for (auto [y, m, d] : std::vector<std::tuple<int, int, int>>{
             {0, 1, 1}, {10000, 1, 1}, {2024, 0, 1}, {2024, 13, 1}, {2024, 1, 0}, {INT_MIN, INT_MIN, INT_MIN}, {INT_MAX, INT_MAX, INT_MAX}}) {
        EXPECT_EQ(Calendar::DaysFromDay1(y, m, d), 0) << y << "-" << m << "-" << d;
    }
}

TEST(Calendar, WeekdayRuleExamples) {
    // Weekdays from 1600 on are Python's below.
    EXPECT_EQ(DateTime().GetDayOfWeek(), 0);
    // 1583-1599 count the Julian leap year 1500 and run a day late.
    EXPECT_EQ(DateTime(1590, 6, 1, 0, 0, 0).GetDayOfWeek(), 7);  // a Friday in fact
    EXPECT_EQ(Calendar::GetCenturyCode(20), 5);
    EXPECT_EQ(Calendar::GetCenturyCode(18), 2);
    EXPECT_EQ(Calendar::GetCenturyCode(19), 0);
    EXPECT_EQ(Calendar::GetCenturyCode(99), 0);
    EXPECT_EQ(Calendar::GetCenturyCode(97), 4);
    EXPECT_EQ(Calendar::GetCenturyCode(1), -1);
    EXPECT_EQ(Calendar::GetCenturyCode(100), -1);
    EXPECT_EQ(Calendar::GetCenturyLeapYearCount(2026, 12), 7);  // 2000, 2004, ... 2024
    EXPECT_EQ(Calendar::GetCenturyLeapYearCount(2024, 2), 6);   // 2024 itself not yet
    EXPECT_EQ(Calendar::GetCenturyLeapYearCount(1590, 3), 23);  // 1500 ... 1580 Julian, 1584, 1588
}

// Every valid day number: the closed forms against the literal year and month scans,
// the day number back from the date, the day of the year and the weekday rule.
TEST(Calendar, AgreesWithLiteralStepsOnEveryDay) {
#if defined(__SANITIZE_ADDRESS__)
    constexpr int kWeekdayStride = 7;  // the text-building weekday steps are slow under ASan
#else
    constexpr int kWeekdayStride = 1;
#endif
    literal::YearScan scan;
    int mismatches = 0;
    for (int n = 1; n <= DateTime::kMaxDayNumber && mismatches < 10; ++n) {
        int ly, lm, ld;
        literal::GetDate(n, ly, lm, ld, scan);
        const DateTime dt = FromDayNumber(n);
        int y, m, d;
        dt.GetDate(y, m, d);
        bool ok = y == ly && m == lm && d == ld && Calendar::DaysFromDay1(y, m, d) == n &&
                  literal::DaysFromDay1(ly, lm, ld) == n && DateTime::DayOfYear(y, m, d) == literal::DayOfYear(y, m, d);
        if (ok && n % kWeekdayStride == 0) ok = dt.GetDayOfWeek() == literal::DayOfWeek(ly, lm, ld);
        if (!ok) {
            ++mismatches;
            ADD_FAILURE() << "day " << n << ": literal " << ly << "-" << lm << "-" << ld << ", got " << y << "-" << m
                          << "-" << d << " weekday " << dt.GetDayOfWeek();
        }
    }
    EXPECT_EQ(scan.year, 9999);
}

TEST(Calendar, YearEndsAndMonthEndsAreExact) {
    // Every month of every year: its length and the day after the last (the days
    // themselves are held by the sweep above).
    for (int y = 1; y <= 9999; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const int len = literal::GetDaysInMonth(y, m);
            ASSERT_EQ(DateTime::GetDaysInMonth(y, m), len);
            ASSERT_EQ(Calendar::DaysFromDay1(y, m, len + 1), 0);
        }
    }
}

// Python's date counts the proleptic Gregorian calendar from 1 January 1 = 1; from
// 1583 on the library's count is that plus 2. Its weekdays are the true ones, which the
// century rule gives from 1600 on.
TEST(Calendar, AgreesWithPythonDatetime) {
    if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 not available";
    test::TempDir dir;
    std::mt19937 gen(20261206);
    std::uniform_int_distribution<int> pick(577816, DateTime::kMaxDayNumber);
    std::vector<int> numbers = {577816, 584389 /* 1600-01-01 */, 693596, 719165, 730120, DateTime::kMaxDayNumber};
    while (numbers.size() < 4000) numbers.push_back(pick(gen));
    {
        std::ofstream out(dir.File("days.txt"));
        for (int n : numbers) out << n << "\n";
    }
    const std::string script =
        "import datetime,sys\n"
        "for line in open(sys.argv[1]):\n"
        "    n=int(line)\n"
        "    d=datetime.date.fromordinal(n-2)\n"
        "    print(n,d.year,d.month,d.day,(d.weekday()+1)%7+1)\n";
    {
        std::ofstream out(dir.File("oracle.py"));
        out << script;
    }
    std::string output;
    ASSERT_EQ(test::RunCommand("python3 " + dir.File("oracle.py") + " " + dir.File("days.txt"), &output), 0);
    std::istringstream in(output);
    int n, y, m, d, wd, lines = 0;
    while (in >> n >> y >> m >> d >> wd) {
        ++lines;
        const DateTime dt = FromDayNumber(n);
        int gy, gm, gd;
        dt.GetDate(gy, gm, gd);
        ASSERT_EQ(std::make_tuple(gy, gm, gd), std::make_tuple(y, m, d)) << "day " << n;
        ASSERT_EQ(Calendar::DaysFromDay1(y, m, d), n);
        if (y >= 1600) {
            ASSERT_EQ(dt.GetDayOfWeek(), wd) << y << "-" << m << "-" << d;
        }
    }
    EXPECT_EQ(lines, static_cast<int>(numbers.size()));
}

}  // namespace
}  // namespace vutil
