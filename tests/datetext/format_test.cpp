// DateTime to text: dates and times in each built-in locale's layout, spans of seconds
// as clock text and as approximate English (every threshold on both sides), the fixed
// h:mm:ss forms, and durations read back from text.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "date_text_fixture.h"
#include "vutil/dates/date_time.h"
#include "vutil/text/number_text_conv.h"

namespace vutil::datetext {
namespace {

// ---- Dates and times in the locale's layout --------------------------------------------------

struct DateTextCase {
    const char* locale;
    const char* date;
    bool dayZero, monthZero, fullYear, numeric;
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const DateTextCase& c) {
    return os << "[" << c.locale << "] " << c.date << (c.numeric ? " numeric" : " words");
}

class DateText : public ::testing::TestWithParam<DateTextCase> {};

TEST_P(DateText, FollowsTheLocale) {
    const DateTextCase& c = GetParam();
    Pinned pinned(c.locale);
    EXPECT_EQ(DateTime::ConvertDateToText(Holding(c.date), c.dayZero, c.monthZero, c.fullYear, c.numeric),
              c.expected);
}

// The plain layouts of each table are held by the locale suite's switching test.
const DateTextCase kDates[] = {
    {"en-US", "2024-03-05", true, true, false, true, "03/05/2024"},
    {"en-US", "0099-01-02", false, false, true, true, "1/2/99"},
    {"en-US", "2024-03-05", true, false, false, false, "March 05, 2024"},
    {"en-GB", "2024-03-05", false, false, false, true, "05/03/2024"},
    {"en-GB", "2024-03-05", false, false, false, false, "05 March, 2024"},
    {"en-US", "none", true, true, true, true, ""},
    {"en-GB", "none", false, false, false, false, ""},
};
INSTANTIATE_TEST_SUITE_P(Locales, DateText, ::testing::ValuesIn(kDates));

struct TimeTextCase {
    const char* locale;
    const char* time;
    const char* withoutSeconds;
    const char* withSeconds;
};

std::ostream& operator<<(std::ostream& os, const TimeTextCase& c) {
    return os << "[" << c.locale << "] " << c.time;
}

class TimeText : public ::testing::TestWithParam<TimeTextCase> {};

TEST_P(TimeText, FollowsTheLocaleClock) {
    const TimeTextCase& c = GetParam();
    Pinned pinned(c.locale);
    const DateTime dt = Holding("none", c.time);
    EXPECT_EQ(DateTime::ConvertTimeToText(dt, false), c.withoutSeconds);
    EXPECT_EQ(DateTime::ConvertTimeToText(dt, true), c.withSeconds);
}

const TimeTextCase kTimes[] = {
    {"en-US", "00:05:09", "12:05 AM", "12:05:09 AM"},
    {"en-US", "12:00:00", "12:00 PM", "12:00:00 PM"},
    {"en-US", "09:05:00", "9:05 AM", "9:05:00 AM"},
    {"en-GB", "22:30:05", "22:30", "22:30:05"},
    {"en-GB", "00:05:09", "00:05", "00:05:09"},
    {"de-DE", "07:08:09", "07:08", "07:08:09"},
    {"en-US", "none", "", ""},
};
INSTANTIATE_TEST_SUITE_P(Locales, TimeText, ::testing::ValuesIn(kTimes));

TEST(DateTimeText, BothHalvesJoinedByOneSpace) {
    {
        Pinned pinned("en-US");
        EXPECT_EQ(DateTime::ConvertToText(Holding("2024-03-05", "22:30:05"), false), "3/5/2024 10:30 PM");
        EXPECT_EQ(DateTime::ConvertToText(Holding("2024-03-05"), true), "3/5/2024 ");
    }
    {
        Pinned pinned("en-GB");
        EXPECT_EQ(DateTime::ConvertToText(Holding("2024-03-05", "22:30:05"), true), "05/03/2024 22:30:05");
    }
}

TEST(SecondsText, TotalHoursWithTheLocaleSeparator) {
    {
        Pinned pinned("en-US");
        EXPECT_EQ(DateTime::ConvertSecondsToText(90061), "25:01:01");
        EXPECT_EQ(DateTime::ConvertSecondsToText(-3725), "1:02:05");
        EXPECT_EQ(DateTime::ConvertSecondsToText(0), "0:00:00");
        // The days are a long, which on Windows stops at LONG_MAX.
        EXPECT_EQ(DateTime::ConvertSecondsToText(INT64_MIN),
                  sizeof(long) == 8 ? "2562047788015215:30:08" : "51539607543:30:08");
    }
    {
        Pinned pinned("en-GB");
        EXPECT_EQ(DateTime::ConvertSecondsToText(3725), "01:02:05");
    }
}

// ---- Approximate English ---------------------------------------------------------------------

struct FuzzyCase {
    std::int64_t seconds;
    bool dayWords;
    bool direction;
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const FuzzyCase& c) {
    return os << c.seconds << "s" << (c.dayWords ? " dayWords" : "") << (c.direction ? " direction" : "");
}

class FuzzyText : public ::testing::TestWithParam<FuzzyCase> {};

TEST_P(FuzzyText, Thresholds) {
    const FuzzyCase& c = GetParam();
    Pinned pinned("en-US");  // local time of day 15:20
    EXPECT_EQ(DateTime::ConvertSecondsToFuzzyText(c.seconds, c.dayWords, c.direction), c.expected);
}

constexpr std::int64_t kMin = 60, kHour = 3600, kDay = 86400;

const FuzzyCase kMinutes[] = {
    {0, false, true, ""},
    {30, false, true, "less than a minute from now"},
    {-59, false, true, "less than a minute ago"},
    {60, false, false, "a minute"},
    {120, false, false, "2 minutes"},
    {55 * kMin + 59, false, false, "55 minutes"},
    {56 * kMin, false, false, "about an hour"},
    {59 * kMin + 59, false, true, "about an hour from now"},
};
INSTANTIATE_TEST_SUITE_P(Minutes, FuzzyText, ::testing::ValuesIn(kMinutes));

const FuzzyCase kHours[] = {
    {kHour, false, false, "an hour"},
    {-kHour, false, true, "an hour ago"},
    {kHour + kMin, false, false, "about an hour"},
    {kHour + 10 * kMin, false, false, "over an hour"},
    {kHour + 25 * kMin, false, false, "over an hour"},
    {kHour + 26 * kMin, false, false, "about 1\xBD hours"},
    {5400, false, false, "1\xBD hours"},
    {kHour + 35 * kMin, false, false, "about 1\xBD hours"},
    {kHour + 36 * kMin, false, false, "over 1\xBD hours"},
    {kHour + 56 * kMin, false, false, "about 2 hours"},
    {2 * kHour, false, false, "2 hours"},
    {2 * kHour + 26 * kMin, false, false, "about 2\xBD hours"},
    {-(2 * kHour + 30 * kMin), false, true, "2\xBD hours ago"},
    {2 * kHour + 40 * kMin, false, true, "over 2\xBD hours from now"},
    {13 * kHour + 9 * kMin, false, false, "13 hours"},
    {13 * kHour + 10 * kMin, false, false, "over 13 hours"},
    {kDay - 1, false, false, "over 23 hours"},
    {kHour, true, true, "tomorrow"},
    {-2 * kHour, true, true, "yesterday"},
    {-59 * kMin, true, true, "about an hour ago"},
};
INSTANTIATE_TEST_SUITE_P(Hours, FuzzyText, ::testing::ValuesIn(kHours));

// The clock says 15:20: leftover hours past that reach into one more day.
const FuzzyCase kDays[] = {
    {kDay, false, false, "1 day"},
    {kDay + 15 * kHour + 20 * kMin, false, false, "1 day"},
    {kDay + 15 * kHour + 21 * kMin, false, false, "2 days"},
    {-(kDay + 15 * kHour + 19 * kMin), false, true, "1 day ago"},
    {kDay, true, true, "tomorrow"},
    {-kDay, true, true, "yesterday"},
    {kDay + 16 * kHour, true, false, "tomorrow"},
    {2 * kDay, true, true, "2 days from now"},
    {30 * kDay + 16 * kHour, false, false, "31 days"},
};
INSTANTIATE_TEST_SUITE_P(Days, FuzzyText, ::testing::ValuesIn(kDays));

const FuzzyCase kMonths[] = {
    {31 * kDay, false, false, "about a month"},
    {42 * kDay, false, false, "about a month"},
    {43 * kDay, false, false, "about 1\xBD months"},
    {52 * kDay, false, true, "about 2 months from now"},
    {72 * kDay, false, false, "about 2 months"},
    {73 * kDay, false, false, "about 2\xBD months"},
    {-82 * kDay, false, true, "about 3 months ago"},
    {364 * kDay, false, false, "about 12 months"},
};
INSTANTIATE_TEST_SUITE_P(Months, FuzzyText, ::testing::ValuesIn(kMonths));

const FuzzyCase kYears[] = {
    {365 * kDay, false, false, "a year"},
    {396 * kDay, false, false, "about a year"},
    {426 * kDay, false, false, "a year & 2 months"},
    {700 * kDay, false, false, "about 2 years"},
    {730 * kDay, false, true, "2 years from now"},
    {800 * kDay, false, false, "2 years & 2 months"},
    {3653 * kDay, true, true, "10 years from now"},
    {INT64_MAX, false, true,
     sizeof(long) == 8 ? "292471208677 years & 6 months from now" : "5883516 years & 10 months from now"},
};
INSTANTIATE_TEST_SUITE_P(Years, FuzzyText, ::testing::ValuesIn(kYears));

// ---- The fixed forms --------------------------------------------------------------------------

TEST(FixedForms, Examples) {
    EXPECT_EQ(DateTime::ConvertToHHMM(59), "0:00");
    EXPECT_EQ(DateTime::ConvertToHHMM(300), "0:05");
    EXPECT_EQ(DateTime::ConvertToHHMM(9000), "2:30");
    EXPECT_EQ(DateTime::ConvertToMMSS(59), "00:59");
    EXPECT_EQ(DateTime::ConvertToMMSS(60), "01:00");
    EXPECT_EQ(DateTime::ConvertToMMSS(7500), "125:00");
    EXPECT_EQ(DateTime::ConvertToHHMMSS(3725), "1:02:05");
    EXPECT_EQ(DateTime::ConvertToHHMMSS(0), "0:00:00");
    EXPECT_EQ(DateTime::ConvertToHHMMSS(360000), "100:00:00");
    EXPECT_EQ(DateTime::ConvertToMM(7500), "125");
    EXPECT_EQ(DateTime::ConvertToMM(59), "0");
    int h = 0, m = 0, s = 0;
    DateTime::ConvertToHHMMSS(-3725, h, m, s);
    EXPECT_EQ(std::make_tuple(h, m, s), std::make_tuple(-1, -2, -5)) << "truncation toward zero";
    DateTime::ConvertToMMSS(-3725, m, s);
    EXPECT_EQ(std::make_tuple(m, s), std::make_tuple(-62, -5));
}

// ---- Durations --------------------------------------------------------------------------------

struct DurationCase {
    const char* text;
    bool leadingHours;
    int seconds;
};

std::ostream& operator<<(std::ostream& os, const DurationCase& c) {
    return os << "\"" << c.text << "\"" << (c.leadingHours ? " leading hours" : "");
}

class Duration : public ::testing::TestWithParam<DurationCase> {};

TEST_P(Duration, Seconds) {
    const DurationCase& c = GetParam();
    Pinned pinned("en-US");
    EXPECT_EQ(DateTime::ConvertFromDuration(CString(c.text), c.leadingHours), c.seconds);
}

const DurationCase kDurations[] = {
    {"", false, 0},
    {"  \t ", true, 0},
    {"abc", false, -1},
    {".", false, -1},
    {"2h 15m 30s", false, 8130},
    {"1.5h", false, 5400},
    {".5h", false, 1800},
    {"2.5m", false, 150},
    {"1 h 2 m 3 s", false, 3723},
    {"90", false, 5400},
    {"90", true, 324000},
    {"1:30", false, 90},
    {"1:30", true, 5400},
    {"1:30:15", true, 5415},
    {"2m 30", false, 150},
    // A sign is just another unit character before the first digit.
    {"-5m", false, 300},
    {"99999999999h", false, INT_MAX},
};
INSTANTIATE_TEST_SUITE_P(Texts, Duration, ::testing::ValuesIn(kDurations));

}  // namespace
}  // namespace vutil::datetext
