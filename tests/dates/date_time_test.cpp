// DateTime: setters, comparison, arithmetic and its carries. Hostile counts through
// every setter are the date_arith fuzz target's (its seeds hold the extremes).

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "literal_calendar.h"
#include "vutil/dates/date_time.h"

namespace vutil {
namespace {

struct Fields {
    int y, mo, d, h, mi, s;
    bool operator==(const Fields&) const = default;
};

Fields Of(const DateTime& dt) {
    Fields f{};
    dt.Get(f.y, f.mo, f.d, f.h, f.mi, f.s);
    return f;
}

std::ostream& operator<<(std::ostream& os, const Fields& f) {
    return os << f.y << "-" << f.mo << "-" << f.d << " " << f.h << ":" << f.mi << ":" << f.s;
}

TEST(DateTimeValue, DefaultAndConstruction) {
    DateTime none;
    EXPECT_FALSE(none.IsValidDate());
    EXPECT_FALSE(none.IsValidTime());
    EXPECT_EQ(Of(none), (Fields{0, 0, 0, -1, -1, -1}));
    EXPECT_EQ(DateTime(2023, 2, 29, 0, 0, 0), DateTime());
    EXPECT_TRUE(DateTime(2024, 2, 29, 12, 0, 0).IsValid());
    EXPECT_EQ(DateTime(2024, 2, 1, 24, 0, 0), DateTime());  // one bad part spoils both
    EXPECT_EQ(DateTime(1582, 10, 22, 0, 0, 0), DateTime());
    EXPECT_EQ(Of(DateTime(1582, 10, 21, 23, 59, 59)), (Fields{1582, 10, 21, 23, 59, 59}));
}

TEST(DateTimeValue, SettersKeepWhatFails) {
    DateTime dt(2024, 5, 6, 7, 8, 9);
    dt.Set(2023, 2, 29, 10, 11, 12);  // bad date, good time
    EXPECT_EQ(Of(dt), (Fields{2024, 5, 6, 10, 11, 12}));
    dt.Set(2025, 1, 2, -1, 0, 0);  // good date, bad time (negative as unsigned)
    EXPECT_EQ(Of(dt), (Fields{2025, 1, 2, 10, 11, 12}));
    dt.SetTime(INT_MIN, INT_MAX, 0);
    dt.SetDate(INT_MAX, INT_MIN, 1);
    EXPECT_EQ(Of(dt), (Fields{2025, 1, 2, 10, 11, 12}));
    dt.SetHour(24);
    dt.SetMinute(-1);
    dt.SetSecond(60);
    EXPECT_EQ(Of(dt), (Fields{2025, 1, 2, 10, 11, 12}));
    dt.SetHour(0);
    dt.SetMinute(59);
    dt.SetSecond(0);
    EXPECT_EQ(Of(dt), (Fields{2025, 1, 2, 0, 59, 0}));
}

TEST(DateTimeValue, YearMonthDaySetters) {
    DateTime dt(2024, 2, 29, 0, 0, 0);
    dt.SetYear(2023);
    EXPECT_EQ(Of(dt).d, 28);
    dt.SetYear(10000);
    dt.SetYear(0);
    EXPECT_EQ(Of(dt).y, 2023);
    DateTime jan31(2023, 1, 31, 0, 0, 0);
    jan31.SetMonth(2);
    EXPECT_EQ(Of(jan31), (Fields{2023, 2, 28, 0, 0, 0}));
    jan31.SetMonth(13);
    EXPECT_EQ(Of(jan31).mo, 2);
    DateTime oct(1582, 9, 30, 0, 0, 0);
    oct.SetMonth(10);
    EXPECT_EQ(Of(oct).d, 21);
    oct.SetDay(22);
    EXPECT_EQ(Of(oct).d, 21);
    oct.SetDay(5);
    EXPECT_EQ(oct.GetDayNumber(), 577738);
    DateTime none;
    none.SetYear(2020);
    none.SetMonth(1);
    none.SetDay(1);
    EXPECT_FALSE(none.IsValidDate());
    DateTime partial;
    partial.SetDate(DateTime(2020, 1, 1, 5, 6, 7));
    EXPECT_EQ(Of(partial), (Fields{2020, 1, 1, -1, -1, -1}));
    partial.SetTime(DateTime(1999, 1, 1, 5, 6, 7));
    EXPECT_EQ(Of(partial), (Fields{2020, 1, 1, 5, 6, 7}));
}

TEST(DateTimeValue, Ordering) {
    DateTime noDate;
    noDate.SetTime(23, 59, 59);
    const DateTime early(1, 1, 1, 0, 0, 0);
    DateTime dateOnly;
    dateOnly.SetDate(2024, 1, 1);
    const DateTime morning(2024, 1, 1, 8, 0, 0);
    const DateTime evening(2024, 1, 1, 20, 0, 0);
    // Ascending order; each is below every later one.
    const std::vector<DateTime> sorted = {DateTime(), noDate, early, dateOnly, morning, evening};
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        for (std::size_t j = 0; j < sorted.size(); ++j) {
            EXPECT_EQ(sorted[i] < sorted[j], i < j) << i << " " << j;
            EXPECT_EQ(sorted[i] > sorted[j], i > j) << i << " " << j;
        }
    }
    DateTime a, b;
    a.SetDate(2024, 1, 1);
    b.SetDate(2024, 1, 1);
    a.SetHour(5);  // hour set, minute and second still -1: an invalid time
    EXPECT_FALSE(a < b);
    EXPECT_FALSE(b < a);
    EXPECT_FALSE(a == b);
    EXPECT_EQ(a.CompareTime(b), 0);
    EXPECT_EQ(dateOnly.CompareDate(noDate), 1);
    EXPECT_EQ(noDate.CompareDate(dateOnly), -1);
    EXPECT_EQ(DateTime().CompareDate(noDate), 0);
    EXPECT_EQ(morning.CompareTime(evening), -1);
    EXPECT_EQ(DateTime(2000, 1, 1, 8, 0, 1).CompareTime(morning), 1);
    EXPECT_EQ(dateOnly.CompareTime(morning), -1);
}

// One arithmetic step: start, operation, expected result.
struct Step {
    const char* name;
    DateTime start;
    std::function<void(DateTime&)> op;
    DateTime expected;
};

DateTime DateOnly(int y, int m, int d) {
    DateTime dt;
    dt.SetDate(y, m, d);
    return dt;
}

DateTime TimeOnly(int h, int mi, int s) {
    DateTime dt;
    dt.SetTime(h, mi, s);
    return dt;
}

DateTime WithDayNumber(int n, int h, int mi, int s) {
    DateTime dt(1, 1, 1, h, mi, s);
    dt.AddDays(n - 1);
    return dt;
}

DateTime DayNumberOnly(int n) {
    DateTime dt = DateOnly(1, 1, 1);
    dt.AddDays(n - 1);
    return dt;
}

constexpr int k2000 = 730122;  // 1 January 2000

class Arithmetic : public ::testing::TestWithParam<Step> {};

TEST_P(Arithmetic, GivesExpectedValue) {
    DateTime dt = GetParam().start;
    GetParam().op(dt);
    EXPECT_EQ(dt.GetDayNumber(), GetParam().expected.GetDayNumber()) << Of(dt);
    EXPECT_EQ(Of(dt), Of(GetParam().expected));
}

// Month steps inside the calendar are held by the literal carries below.
const Step kSteps[] = {
    {"MonthsIntMax", DateOnly(2024, 3, 1), [](DateTime& d) { d.AddMonths(INT_MAX); }, DateOnly(2024, 3, 1)},
    {"MonthsNeedDate", TimeOnly(1, 2, 3), [](DateTime& d) { d.AddMonths(1); }, TimeOnly(1, 2, 3)},
    {"LeapDayKept", DateOnly(2024, 2, 29), [](DateTime& d) { d.AddYears(1); }, DateOnly(2024, 2, 29)},
    {"YearsClampHigh", DateOnly(2024, 3, 1), [](DateTime& d) { d.AddYears(INT_MAX); }, DateOnly(9999, 3, 1)},
    {"YearsClampLow", DateOnly(2024, 3, 1), [](DateTime& d) { d.AddYears(INT_MIN); }, DateOnly(1, 3, 1)},
    {"SameWeekday", DateTime(2022, 3, 8, 9, 30, 0), [](DateTime& d) { d.AddMonthsSameDay(1); },
     DateTime(2022, 4, 12, 9, 30, 0)},
    {"NoFifthTuesday", DateOnly(2022, 3, 29), [](DateTime& d) { d.AddMonthsSameDay(1); }, DateOnly(2022, 3, 29)},
    {"FifthTuesdayExists", DateOnly(2022, 3, 29), [](DateTime& d) { d.AddMonthsSameDay(2); }, DateOnly(2022, 5, 31)},
    {"SameWeekdayOutOfRange", DateOnly(9999, 12, 1), [](DateTime& d) { d.AddMonthsSameDay(1); },
     DateOnly(9999, 12, 1)},
    {"PastLastDay", DateOnly(9999, 12, 31), [](DateTime& d) { d.AddDays(1); }, DayNumberOnly(3652062)},
    {"DaysIntMaxOverflows", DateOnly(9999, 12, 31), [](DateTime& d) { d.AddDays(INT_MAX); }, DateTime()},
    {"WeeksIntMinOverflows", DateOnly(1, 1, 1), [](DateTime& d) { d.AddWeeks(INT_MIN); }, DateTime()},
    {"WeeksBack", DateOnly(2024, 3, 1), [](DateTime& d) { d.AddWeeks(-1); }, DateOnly(2024, 2, 23)},
    {"MinuteBeforeMidnight", DateTime(2024, 3, 1, 0, 0, 0), [](DateTime& d) { d.AddMinutes(-1); },
     DateTime(2024, 2, 29, 23, 59, 0)},
    {"HourOfSeconds", DateTime(2024, 12, 31, 23, 30, 0), [](DateTime& d) { d.AddSeconds(3600); },
     DateTime(2025, 1, 1, 0, 30, 0)},
    {"HoursNeedTime", DateOnly(2024, 1, 1), [](DateTime& d) { d.AddHours(5); }, DateOnly(2024, 1, 1)},
    {"SecondsIntMin", DateTime(2000, 1, 1, 0, 0, 0), [](DateTime& d) { d.AddSeconds(INT_MIN); },
     WithDayNumber(k2000 - 24856, 20, 45, 52)},
    {"HoursIntMax", DateTime(2000, 1, 1, 0, 0, 0), [](DateTime& d) { d.AddHours(INT_MAX); },
     WithDayNumber(k2000 + 89478485, 7, 0, 0)},
    // The carries move the day number even when there was no date.
    {"CarryWithoutDate", TimeOnly(23, 0, 0), [](DateTime& d) { d.AddHours(1); }, WithDayNumber(1, 0, 0, 0)},
    {"FirstDay", DateOnly(2024, 2, 17), [](DateTime& d) { d.SetToFirstDay(); }, DateOnly(2024, 2, 1)},
    {"LastDayOfReform", DateOnly(1582, 10, 2), [](DateTime& d) { d.SetToLastDay(); }, DateOnly(1582, 10, 21)},
};

INSTANTIATE_TEST_SUITE_P(Steps, Arithmetic, ::testing::ValuesIn(kSteps),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DateTimeValue, CarryWithoutDateLeavesMarker) {
    // Hour carry from "no date" (0) lands on day 1; a step back lands on -1, still no date.
    DateTime dt = TimeOnly(0, 0, 0);
    dt.AddSeconds(-1);
    EXPECT_EQ(dt.GetDayNumber(), -1);
    EXPECT_FALSE(dt.IsValidDate());
    EXPECT_EQ(Of(dt), (Fields{0, 0, 0, 23, 59, 59}));
}

TEST(DateTimeValue, AddMonthsMatchesLiteralCarries) {
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> day(1, DateTime::kMaxDayNumber);
    std::uniform_int_distribution<int> count(-130000, 130000);
    for (int i = 0; i < 3000; ++i) {
        const int n = day(gen), k = i % 3 == 0 ? count(gen) : count(gen) % 40;
        DateTime dt = WithDayNumber(n, 0, 0, 0);
        dt.AddMonths(k);
        ASSERT_EQ(dt.GetDayNumber(), k == 0 ? n : literal::AddMonths(n, k)) << n << " " << k;
    }
}

}  // namespace
}  // namespace vutil
