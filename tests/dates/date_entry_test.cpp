// DateEntry: recurring dates, checked against dates fixed by the calendar and against
// a brute-force scan of the month by the weekday rule.

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "vutil/dates/date_entry.h"

namespace vutil {
namespace {

using OCC = DateEntry::OCCURRENCE;

// Opens the protected evaluation steps to the tests.
struct Entry : DateEntry {
    using DateEntry::ApplyBeforeAfterDay;
    using DateEntry::GetOccurrenceDate;
    using DateEntry::IsDayMatch;
    using DateEntry::IsMonthMatch;
    using DateEntry::IsYearMatch;
};

std::tuple<int, int, int> DateFor(const DateEntry& e, int year) {
    DateTime dt;
    e.GetDateFor(year, dt);
    int y, m, d;
    dt.GetDate(y, m, d);
    return {y, m, d};
}

constexpr std::tuple<int, int, int> kNoDate{0, 0, 0};

struct RuleCase {
    const char* name;
    OCC occurrence;
    int day, dayOfWeek, month, beforeAfter;
    bool weekDay;
    int year;
    std::tuple<int, int, int> expected;
};

class Rules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(Rules, GiveTheirDate) {
    const RuleCase& c = GetParam();
    DateEntry e;
    if (c.occurrence == DateEntry::OCCURRENCE_DAY) e.SetBeforeAfterDay("x", c.day, c.month, c.beforeAfter);
    else e.SetBeforeAfterDayOfWeek("x", c.occurrence, c.dayOfWeek, c.month, c.beforeAfter);
    e.SetWeekDay(c.weekDay);
    EXPECT_EQ(DateFor(e, c.year), c.expected);
}

// The n-th and last weekday of a month are held by the month scan below.
const RuleCase kRules[] = {
    {"OccurrenceAboveLast", OCC(8), 0, 1, 3, 0, false, 2025, kNoDate},
    {"NegativeOccurrence", OCC(-1), 0, 1, 3, 0, false, 2025, kNoDate},
    {"MondayOnOrBefore", OCC(0), 1, 0, 3, -2, false, 2025, {2025, 2, 24}},
    {"MondayOnOrAfter", OCC(0), 1, 0, 3, 2, false, 2025, {2025, 3, 3}},
    {"AlreadyMonday", OCC(0), 1, 0, 3, -2, false, 2021, {2021, 3, 1}},
    {"ShiftOutOfRangeIgnored", OCC(0), 1, 0, 3, 9, false, 2025, {2025, 3, 1}},
    {"SaturdayToFriday", OCC(0), 25, 0, 12, 0, true, 2021, {2021, 12, 24}},
    {"FridayStays", OCC(0), 25, 0, 12, 0, true, 2020, {2020, 12, 25}},
    {"SundayToMonday", OCC(0), 25, 0, 12, 0, true, 2022, {2022, 12, 26}},
    {"FixedDayMissing", OCC(0), 29, 0, 2, 0, false, 2025, kNoDate},
    {"YearBeyondRange", OCC(0), 1, 0, 1, 0, false, 10000, kNoDate},
    {"LastWeekdayBeyondRange", OCC(7), 0, 2, 1, 0, false, 10000, kNoDate},
    {"LastWithBadWeekday", OCC(7), 0, 8, 1, 0, false, 2025, kNoDate},
    {"ShiftPastLastDay", OCC(0), 31, 0, 12, 2, false, 9999, kNoDate},
};

INSTANTIATE_TEST_SUITE_P(Table, Rules, ::testing::ValuesIn(kRules),
                         [](const auto& info) { return std::string(info.param.name); });

// Brute force over every weekday rule in a spread of years: the n-th weekday is the
// n-th day of the month with that weekday, the last one the final such day.
TEST(DateEntryRules, OccurrencesMatchMonthScan) {
    for (int year : {1, 99, 100, 1000, 1581, 1582, 1583, 1599, 1600, 1900, 2024, 2025, 9999}) {
        for (int month = 1; month <= 12; ++month) {
            for (int weekday = 1; weekday <= 7; ++weekday) {
                int found[7] = {};
                int count = 0;
                for (int d = 1; d <= DateTime::GetDaysInMonth(year, month); ++d) {
                    if (DateTime(year, month, d, 0, 0, 0).GetDayOfWeek() == weekday) found[count++] = d;
                }
                Entry e;
                for (int n = 1; n <= 7; ++n) {
                    e.SetDayOfWeek("x", OCC(n), weekday, month);
                    const int expected = n == 7 ? found[count - 1] : (n <= count ? found[n - 1] : 0);
                    EXPECT_EQ(std::get<2>(DateFor(e, year)), expected) << year << "-" << month << " " << n;
                    if (n <= 6) {
                        EXPECT_EQ(e.GetOccurrenceDate(n, year), n <= count ? found[n - 1] : 0);
                    }
                }
            }
        }
    }
}

TEST(DateEntryRules, OccurrenceDateEdges) {
    Entry e;
    e.SetDayOfWeek("x", OCC(1), 3, 3);
    EXPECT_EQ(e.GetOccurrenceDate(0, 2025), 0);
    EXPECT_EQ(e.GetOccurrenceDate(INT_MIN, 2025), 0);
    EXPECT_EQ(e.GetOccurrenceDate(INT_MAX, 2025), 0);
    EXPECT_EQ(e.GetOccurrenceDate(1, 0), 0);
    e.SetMonth(13);
    EXPECT_EQ(e.GetOccurrenceDate(1, 2025), 0);
}

TEST(DateEntryRules, ShiftsStepByTheWeekdayRule) {
    // Around 1600 the rule's weekday repeats (1599 runs a day late), so the shift walks
    // day by day instead of jumping by the weekday difference.
    Entry e;
    e.SetBeforeAfterDay("x", 31, 12, 7);  // on or after 31 December to a Saturday
    DateTime dt;
    e.GetDateFor(1599, dt);
    EXPECT_EQ(dt.GetDayOfWeek(), 7);
    DateTime walk(1599, 12, 31, 0, 0, 0);
    while (walk.GetDayOfWeek() != 7) walk.AddDays(1);
    EXPECT_EQ(dt.GetDayNumber(), walk.GetDayNumber());
    // The time of the target is not touched.
    DateTime withTime(2000, 1, 1, 8, 9, 10);
    e.GetDateFor(2025, withTime);
    EXPECT_EQ(withTime.GetHour(), 8);
}

TEST(DateEntryRules, Validity) {
    DateEntry e;
    EXPECT_FALSE(e.IsValid());
    e.SetDay("Birthday", 25, 12);
    EXPECT_TRUE(e.IsValid());
    e.SetDesc(" \t ");
    EXPECT_FALSE(e.IsValid());
    e.SetDesc("\xA0");  // not blank: bytes above 0x7F have no class
    EXPECT_TRUE(e.IsValid());
    e.SetDay("x", 25, 0);
    EXPECT_FALSE(e.IsValid());
    e.SetDay("x", 25, 12);
    e.SetDayOfWeek(3);
    EXPECT_FALSE(e.IsValid());  // fixed day with a weekday
    e.SetDay("x", 32, 12);
    EXPECT_FALSE(e.IsValid());
    e.SetDay("x", 1, 12);
    e.SetYear(99);
    EXPECT_FALSE(e.IsValid());
    e.SetYear(100);
    EXPECT_TRUE(e.IsValid());
    e.SetDayOfWeek("x", OCC(2), 3, 3);
    EXPECT_TRUE(e.IsValid());
    e.SetDayOfWeek("x", OCC(0), 3, 3);
    EXPECT_FALSE(e.IsValid());
    e.SetDayOfWeek("x", OCC(2), 8, 3);
    EXPECT_FALSE(e.IsValid());
    e.SetBeforeAfterDay("x", 1, 3, -2);
    EXPECT_TRUE(e.IsValid());
    e.SetBeforeAfterDay("x", 1, 3, -8);
    EXPECT_FALSE(e.IsValid());
    e.SetBeforeAfterDay("x", 1, 3, INT_MIN);
    EXPECT_FALSE(e.IsValid());
    e.SetBeforeAfterDay("x", 0, 3, 2);
    EXPECT_FALSE(e.IsValid());
    // With odd or even years a shift needs a weekday rule, even with a day set.
    e.SetBeforeAfterDay("x", 1, 3, 2);
    e.SetYearType(DateEntry::YEARTYPE_ODD);
    EXPECT_FALSE(e.IsValid());
    e.SetBeforeAfterDayOfWeek("x", OCC(7), 6, 11, 5);
    EXPECT_TRUE(e.IsValid());
}

TEST(DateEntryRules, SettersResetTheRule) {
    DateEntry e;
    e.SetID(17);
    e.SetBeforeAfterDayOfWeek("a", OCC(3), 4, 5, -6);
    e.SetWeekDay(true);
    e.SetYearType(DateEntry::YEARTYPE_FROM);
    e.SetYear(2000);
    e.SetDay("b", 9, 10);
    EXPECT_EQ(e.GetOccurrence(), DateEntry::OCCURRENCE_DAY);
    EXPECT_EQ(e.GetYearType(), DateEntry::YEARTYPE_EVERY);
    EXPECT_FALSE(e.GetWeekDay());
    EXPECT_EQ(e.GetDayOfWeek(), 0);
    EXPECT_EQ(e.GetBeforeAfterDayOfWeek(), 0);
    EXPECT_EQ(e.GetYear(), 0);
    EXPECT_EQ(std::make_tuple(e.GetDay(), e.GetMonth(), e.GetID()), std::make_tuple(9, 10, 17));
    EXPECT_EQ(e.GetDesc(), CString("b"));
    EXPECT_EQ(DateEntry().GetID(), -1);
}

TEST(DateEntryRules, Matching) {
    Entry e;
    e.SetBeforeAfterDay("x", 1, 3, -2);
    EXPECT_FALSE(e.IsMatch(24, 2, 2025));
    EXPECT_TRUE(e.IsMatch(24, 3, 2025));  // only the day of the computed date counts
    EXPECT_FALSE(e.IsMatch(1, 3, 2025));
    EXPECT_FALSE(e.IsMatch(24, 3, 99));
    EXPECT_FALSE(e.IsDayMatch(0, 2025));
    EXPECT_FALSE(e.IsMonthMatch(15));
    for (int type = 0; type <= 6; ++type) {
        e.SetYearType(DateEntry::YEARTYPE(type));
        EXPECT_FALSE(e.IsYearMatch(99));
        EXPECT_FALSE(e.IsYearMatch(10000));
    }
    e.SetYear(2020);
    const struct {
        DateEntry::YEARTYPE type;
        int year;
        bool match;
    } years[] = {{DateEntry::YEARTYPE_ODD, 2025, true},    {DateEntry::YEARTYPE_ODD, 2024, false},
                 {DateEntry::YEARTYPE_EVEN, 2024, true},   {DateEntry::YEARTYPE_ONLY, 2020, true},
                 {DateEntry::YEARTYPE_ONLY, 2021, false},  {DateEntry::YEARTYPE_FROM, 2021, true},
                 {DateEntry::YEARTYPE_FROM, 2019, false},  {DateEntry::YEARTYPE_UNTIL, 2019, true},
                 {DateEntry::YEARTYPE_UNTIL, 2021, false}, {DateEntry::YEARTYPE(-1), 2020, false}};
    for (const auto& c : years) {
        e.SetYearType(c.type);
        EXPECT_EQ(e.IsYearMatch(c.year), c.match) << c.type << " " << c.year;
    }
}

TEST(DateEntryRules, ConvertOccurrence) {
    for (int v = -2; v <= 9; ++v) EXPECT_EQ(DateEntry::ConvertOccurrence(OCC(v)), v >= 1 && v <= 6 ? v : 0);
}

}  // namespace
}  // namespace vutil
