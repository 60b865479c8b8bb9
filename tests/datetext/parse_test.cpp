// Free-form text to DateTime: each form of SetDate and SetTime in the order they are
// tried, with texts that an earlier form takes before a later one sees them, and Set's
// split into a date half and a time half. Relative dates were worked out with Python's
// datetime from the pinned day, Friday 14 March 2025.

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "date_text_fixture.h"
#include "vutil/dates/date_time.h"
#include "vutil/system/registry_utils.h"
#include "vutil/text/number_text_conv.h"

namespace vutil::datetext {
namespace {

struct DateCase {
    const char* form;    // the form expected to decide, for the failure message
    const char* locale;
    const char* text;
    const char* before;  // the date the value holds first ("none": no date)
    bool understood;
    const char* after;
};

std::ostream& operator<<(std::ostream& os, const DateCase& c) {
    return os << "[" << c.form << ", " << c.locale << "] \"" << c.text << "\"";
}

class SetDateText : public ::testing::TestWithParam<DateCase> {};

TEST_P(SetDateText, DecidesInOrder) {
    const DateCase& c = GetParam();
    Pinned pinned(c.locale);
    DateTime dt = Holding(c.before, "01:02:03");
    EXPECT_EQ(dt.SetDate(CString(c.text)), c.understood);
    EXPECT_EQ(Ymd(dt), c.after);
    EXPECT_EQ(Hms(dt), "01:02:03") << "a date text never touches the time";
}

// Numeric dates in the locale's field order, two-digit years split at 29; the round trip
// below holds every four-digit date the formatters write.
const DateCase kNumeric[] = {
    {"numeric", "en-US", "3/5/29", "none", true, "2029-03-05"},
    {"numeric", "en-US", "3/5/30", "none", true, "1930-03-05"},
    {"numeric", "en-US", "3/5/100", "none", true, "0100-03-05"},
    {"numeric", "en-US", "12-31-9999", "none", true, "9999-12-31"},
    {"numeric", "en-US", "  3 . 5 . 2024 ", "none", true, "2024-03-05"},
    {"numeric", "en-US", "3/5/2024/7", "none", true, "2024-03-05"},
    {"numeric", "en-US", "2/29/2023", "2020-06-01", false, "2020-06-01"},
    {"numeric", "en-US", "1/1/10000", "2020-06-01", false, "2020-06-01"},
    {"numeric", "en-US", "31/12/1999", "2020-06-01", false, "2020-06-01"},
    {"numeric", "en-US", "2024", "2020-06-01", false, "2020-06-01"},
    {"numeric", "en-GB", "3/5/24", "none", true, "2024-05-03"},
    {"numeric", "de-DE", "5.3.24", "none", true, "2024-03-05"},
};
INSTANTIATE_TEST_SUITE_P(Numeric, SetDateText, ::testing::ValuesIn(kNumeric));

// English month abbreviations inside words, with the A/B number rules.
const DateCase kMonthWords[] = {
    {"month word", "en-US", "Mar 5 2024", "none", true, "2024-03-05"},
    {"month word", "en-US", "5 march 2024", "none", true, "2024-03-05"},
    {"month word", "en-US", "2024 MAR 5", "none", true, "2024-03-05"},
    {"month word", "en-US", "jan 5 40", "none", true, "2040-01-05"},
    {"month word", "en-US", "40 jan 5", "none", true, "2040-01-05"},
    {"month word", "en-US", "75 jan 5", "none", true, "1975-01-05"},
    {"month word", "en-US", "100 jan 5", "none", true, "0100-01-05"},
    {"month word", "en-US", "dec 25", "2020-06-01", true, "2020-12-25"},
    {"month word", "en-US", "dec 25", "none", true, "none"},
    {"month word", "en-US", "feb 30 2024", "2020-06-01", true, "2020-06-01"},
    // Two small numbers after the second word are not a day and a year.
    {"month word", "en-US", "5 24 march", "2020-06-01", false, "2020-06-01"},
    {"month word", "en-US", "jan 40 50", "2020-06-01", false, "2020-06-01"},
    {"month word", "en-US", "jan 0 2024", "2020-06-01", false, "2020-06-01"},
    // Consecutive spaces make an empty word, which is no number.
    {"month word", "en-US", "mar  5 2024", "2020-06-01", false, "2020-06-01"},
    // Swallowed: "summary" holds "mar".
    {"month word", "en-US", "summary 5 2024", "none", true, "2024-03-05"},
    {"month word", "de-DE", "5 mar 2024", "none", true, "2024-03-05"},
};
INSTANTIATE_TEST_SUITE_P(MonthWords, SetDateText, ::testing::ValuesIn(kMonthWords));

const DateCase kPhrases[] = {
    {"phrase", "en-US", "today", "none", true, "2025-03-14"},
    {"phrase", "en-US", "Now", "none", true, "2025-03-14"},
    {"phrase", "en-US", "yesterday", "none", true, "2025-03-13"},
    {"phrase", "en-US", "day before yesterday", "none", true, "2025-03-12"},
    {"phrase", "en-US", "tomorrow", "none", true, "2025-03-15"},
    {"phrase", "en-US", "day after tomorrow", "none", true, "2025-03-16"},
    {"phrase", "en-US", "next week", "none", true, "2025-03-21"},
    {"phrase", "en-US", "A Week Ago", "none", true, "2025-03-07"},
    {"phrase", "en-US", "next year", "none", true, "2026-03-14"},
    {"phrase", "en-US", "next month", "none", true, "2025-04-14"},
    {"phrase", "en-US", "last month", "none", true, "2025-02-14"},
    {"phrase", "de-DE", "tomorrow", "none", true, "2025-03-15"},
    // The whole text must be the phrase.
    {"phrase", "en-US", " today", "2020-06-01", false, "2020-06-01"},
    {"phrase", "en-US", "today!", "2020-06-01", false, "2020-06-01"},
};
INSTANTIATE_TEST_SUITE_P(Phrases, SetDateText, ::testing::ValuesIn(kPhrases));

const DateCase kOrdinals[] = {
    {"n-th weekday", "en-US", "second tuesday of march 2025", "none", true, "2025-03-11"},
    {"n-th weekday", "en-US", "2nd Tuesday in March 2024", "none", true, "2024-03-12"},
    {"n-th weekday", "en-US", "5th sunday of february 2032", "none", true, "2032-02-29"},
    {"n-th weekday", "en-US", "third friday of decemberish 2025", "none", true, "2025-12-19"},
    {"n-th weekday", "en-US", "first monday of may", "2025-01-10", true, "2025-05-05"},
    // No such day, or no year to look in: understood, but no date.
    {"n-th weekday", "en-US", "fifth sunday of february 2025", "2020-06-01", true, "none"},
    {"n-th weekday", "en-US", "second tuesday of march", "none", true, "none"},
    {"n-th weekday", "de-DE", "second dienstag of m\xE4rz 2025", "none", true, "2025-03-11"},
    // Not an ordinal, or no " of " / " in ": the weekday form takes the text.
    {"weekday", "en-US", "last monday of march", "none", true, "2025-03-10"},
    {"weekday", "en-US", "6th monday of may 2025", "none", true, "2025-03-17"},
    {"weekday", "en-US", "second tuesday from march 2025", "none", true, "2025-03-18"},
    // The month abbreviation form looks first, and gives up on "tuesday" as a number.
    {"n-th weekday", "en-US", "1st monday of may 2025", "none", true, "2025-05-05"},
};
INSTANTIATE_TEST_SUITE_P(NthWeekday, SetDateText, ::testing::ValuesIn(kOrdinals));

const DateCase kWeekdays[] = {
    {"weekday", "en-US", "last friday", "none", true, "2025-03-07"},
    {"weekday", "en-US", "monday", "none", true, "2025-03-17"},
    {"weekday", "en-US", "next thursday", "none", true, "2025-03-20"},
    {"weekday", "en-US", "past sunday", "none", true, "2025-03-09"},
    {"weekday", "en-US", "previous Saturday", "none", true, "2025-03-08"},
    {"weekday", "de-DE", "last freitag", "none", true, "2025-03-07"},
    // Swallowed: a weekday name wins over the offset form, and "ago" is no direction word.
    {"weekday", "en-US", "2 fridays ago", "none", true, "2025-03-21"},
};
INSTANTIATE_TEST_SUITE_P(Weekdays, SetDateText, ::testing::ValuesIn(kWeekdays));

const DateCase kOffsets[] = {
    {"offset", "en-US", "3 weeks ago", "none", true, "2025-02-21"},
    {"offset", "en-US", "10 days from now", "none", true, "2025-03-24"},
    {"offset", "en-US", "2 months from now", "none", true, "2025-05-14"},
    // A year is found before a day: "year" is tested first, wherever it stands.
    {"offset", "en-US", "2 days and a year ago", "none", true, "2023-03-14"},
    {"offset", "en-US", "a day ago", "2020-06-01", false, "2020-06-01"},
    {"offset", "en-US", "0 days ago", "2020-06-01", false, "2020-06-01"},
    {"offset", "en-US", "3 ago", "2020-06-01", false, "2020-06-01"},
    {"offset", "en-US", "in 3 days", "2020-06-01", false, "2020-06-01"},
    // Swallowed by the month form ("dec"), which then finds no number: no unit either.
    {"offset", "en-US", "5 decades ago", "2020-06-01", false, "2020-06-01"},
    // Counts beyond the int range saturate and leave the calendar.
    {"offset", "en-US", "99999999999 days ago", "2020-06-01", true, "none"},
    {"offset", "en-US", "99999999999 weeks from now", "2020-06-01", true, "none"},
};
INSTANTIATE_TEST_SUITE_P(Offsets, SetDateText, ::testing::ValuesIn(kOffsets));

const DateCase kNothing[] = {
    {"nothing", "en-US", "", "2020-06-01", false, "2020-06-01"},
    {"nothing", "en-US", "   ", "2020-06-01", false, "2020-06-01"},
    {"nothing", "en-US", "garbage", "2020-06-01", false, "2020-06-01"},
    {"nothing", "en-US", "\x80\xBD\xFF", "2020-06-01", false, "2020-06-01"},
    {"nothing", "en-US", "//..--", "2020-06-01", false, "2020-06-01"},
};
INSTANTIATE_TEST_SUITE_P(Nothing, SetDateText, ::testing::ValuesIn(kNothing));

TEST(SetDateTextClock, PhrasesUseTheCalendarArithmetic) {
    {
        Pinned pinned("en-US", 1709208000);  // 2024-02-29 12:00 UTC
        DateTime dt;
        EXPECT_TRUE(dt.SetDate("next year"));
        EXPECT_EQ(Ymd(dt), "2024-02-29") << "29 February has no next year";
        EXPECT_TRUE(dt.SetDate("1 year ago"));
        EXPECT_EQ(Ymd(dt), "2024-02-29");
    }
    {
        Pinned pinned("en-US", 1743422400);  // 2025-03-31 12:00 UTC
        DateTime dt;
        EXPECT_TRUE(dt.SetDate("last month"));
        EXPECT_EQ(Ymd(dt), "2025-02-28");
        EXPECT_TRUE(dt.SetDate("monday"));
        EXPECT_EQ(Ymd(dt), "2025-04-07") << "31 March 2025 is a Monday; the result is never today";
    }
}

TEST(SetDateTextClock, TwoDigitYearLimitFromTheSettings) {
    Pinned pinned("en-US");
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER,
                                                  "Control Panel\\International\\Calendars\\TwoDigitYearMax", "1",
                                                  "2049"));
    DateTime dt;
    EXPECT_TRUE(dt.SetDate("3/5/49"));
    EXPECT_EQ(Ymd(dt), "2049-03-05");
    EXPECT_TRUE(dt.SetDate("3/5/50"));
    EXPECT_EQ(Ymd(dt), "1950-03-05");
    // The month-word form has its own fixed split, whatever the setting says.
    EXPECT_TRUE(dt.SetDate("mar 5 45"));
    EXPECT_EQ(Ymd(dt), "2045-03-05");
}

// ---- SetTime ----------------------------------------------------------------------------------

struct TimeCase {
    const char* form;
    const char* locale;
    const char* text;
    bool understood;
    const char* after;  // the value holds 01:02:03 first
};

std::ostream& operator<<(std::ostream& os, const TimeCase& c) {
    return os << "[" << c.form << ", " << c.locale << "] \"" << c.text << "\"";
}

class SetTimeText : public ::testing::TestWithParam<TimeCase> {};

TEST_P(SetTimeText, DecidesInOrder) {
    const TimeCase& c = GetParam();
    Pinned pinned(c.locale);
    DateTime dt = Holding("2020-06-01", "01:02:03");
    EXPECT_EQ(dt.SetTime(CString(c.text)), c.understood);
    EXPECT_EQ(Hms(dt), c.after);
    EXPECT_EQ(Ymd(dt), "2020-06-01") << "a time text never touches the date";
}

const TimeCase kTimes[] = {
    {"numeric", "en-US", "10:30 pm", true, "22:30:00"},
    {"numeric", "en-US", "12 am", true, "00:00:00"},
    {"numeric", "en-US", "12 pm", true, "12:00:00"},
    {"numeric", "en-US", "PM 3:15", true, "15:15:00"},
    {"numeric", "en-US", "10:30p", true, "22:30:00"},
    {"numeric", "en-US", "9", true, "09:00:00"},
    {"numeric", "en-US", "3 o'clock", true, "03:00:00"},
    {"numeric", "en-US", "at 7:15", true, "07:15:00"},
    // Anything without digits is midnight, and only the word after a space counts.
    {"numeric", "en-US", "abc", true, "00:00:00"},
    {"numeric", "en-US", "10:30 15", true, "15:00:00"},
    // Two parts: read again when the word after the space spoiled the first reading.
    {"two parts", "en-US", "10:30 99", true, "10:30:00"},
    {"two parts", "en-US", "10:75", false, "01:02:03"},
    {"two parts", "en-US", "24:30", false, "01:02:03"},
    // One part: designators at the end, then the compact forms.
    {"one part", "en-US", "12 99am", true, "12:00:00"},
    {"one part", "en-US", "11 99pm", true, "23:00:00"},
    {"one part", "en-US", "25pm", false, "01:02:03"},
    {"one part", "en-US", "1030", true, "10:30:00"},
    {"one part", "en-US", "103045", true, "10:30:45"},
    {"one part", "en-US", "2400", false, "01:02:03"},
    {"one part", "en-US", "1260", false, "01:02:03"},
    {"one part", "en-US", "99", false, "01:02:03"},
    {"one part", "en-US", "123", false, "01:02:03"},
    // Three parts: the o'clock form, an afternoon when the hour has passed today (now 15:20).
    {"o'clock", "en-US", "3:00:99 o'clock", true, "15:00:00"},
    {"o'clock", "en-US", "4:0:75 oclock", true, "16:00:00"},
    {"o'clock", "en-US", "16:0:75 o'clock", true, "16:00:00"},
    {"o'clock", "en-US", "25:00:00 o'clock", true, "01:02:03"},
    {"o'clock", "en-US", "3:00:99", false, "01:02:03"},
    {"nothing", "en-US", "", false, "01:02:03"},
    {"nothing", "en-US", "   ", false, "01:02:03"},
    // Four blanks have the length of HHMM, and blanks read as zeros.
    {"one part", "en-US", "  \t ", true, "00:00:00"},
};
INSTANTIATE_TEST_SUITE_P(Steps, SetTimeText, ::testing::ValuesIn(kTimes));

TEST(SetTimeTextClock, OClockKeepsMorningsBeforeTheCurrentHour) {
    Pinned pinned("en-US", 1741935600);  // 2025-03-14 07:00 UTC
    DateTime dt;
    EXPECT_TRUE(dt.SetTime("9:00:99 o'clock"));
    EXPECT_EQ(Hms(dt), "09:00:00");
    EXPECT_TRUE(dt.SetTime("6:00:99 o'clock"));
    EXPECT_EQ(Hms(dt), "18:00:00");
}

// ---- Set: a date half and a time half -------------------------------------------------------

struct BothCase {
    const char* locale;
    const char* text;
    bool understood;
    const char* date;  // the value holds 2020-06-01 01:02:03 first
    const char* time;
};

std::ostream& operator<<(std::ostream& os, const BothCase& c) {
    return os << "[" << c.locale << "] \"" << c.text << "\"";
}

class SetText : public ::testing::TestWithParam<BothCase> {};

TEST_P(SetText, SplitsAtTheFirstSpace) {
    const BothCase& c = GetParam();
    Pinned pinned(c.locale);
    DateTime dt = Holding("2020-06-01", "01:02:03");
    EXPECT_EQ(dt.Set(CString(c.text)), c.understood);
    EXPECT_EQ(Ymd(dt), c.date);
    EXPECT_EQ(Hms(dt), c.time);
}

const BothCase kBoth[] = {
    {"en-US", "3/5/2024 10:30", true, "2024-03-05", "10:30:00"},
    {"en-US", "10:30 3/5/2024", true, "2024-03-05", "10:30:00"},
    {"en-US", "today 10:30", true, "2025-03-14", "10:30:00"},
    {"en-US", "10:30pm tomorrow", true, "2025-03-15", "22:30:00"},
    {"en-US", "2024/03/05 10:30", false, "2020-06-01", "01:02:03"},
    {"en-US", "10:30", false, "2020-06-01", "01:02:03"},
    {"en-US", "tomorrow noon", false, "2020-06-01", "01:02:03"},
    {"en-US", "3/5/2024 ", false, "2020-06-01", "01:02:03"},
    // The date half is only the first word.
    {"en-US", "Mar 5 2024 10:30", false, "2020-06-01", "01:02:03"},
    // The date is taken before the time is tried.
    {"en-US", "3/5/2024 25:00", false, "2024-03-05", "01:02:03"},
    // A de-DE text with "/" falls back to "/" as the date separator.
    {"de-DE", "3/5/2024 10:30", true, "2024-05-03", "10:30:00"},
};
INSTANTIATE_TEST_SUITE_P(Halves, SetText, ::testing::ValuesIn(kBoth));

// ---- Round trips through the formatters ------------------------------------------------------

class RoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, NumericDateAndTimeTextsParseBack) {
    Pinned pinned(GetParam());
    for (int number = 693596; number <= 767011; number += 97) {  // 1899 ... 2100
        DateTime dt = Holding("1899-12-30");
        dt.AddDays(number - 693596);
        for (const bool zeros : {false, true}) {
            const CString text = DateTime::ConvertDateToText(dt, zeros, zeros, true, true);
            DateTime back;
            ASSERT_TRUE(back.SetDate(text)) << text.GetString();
            ASSERT_EQ(back.GetDayNumber(), dt.GetDayNumber()) << text.GetString();
        }
    }
    for (int minute = 0; minute < 24 * 60; ++minute) {
        const DateTime dt = Holding("none", std::to_string(minute / 60) + ":" + std::to_string(minute % 60) + ":" +
                                               std::to_string(minute % 60));
        for (const bool seconds : {false, true}) {
            const CString text = DateTime::ConvertTimeToText(dt, seconds);
            DateTime back;
            ASSERT_TRUE(back.SetTime(text)) << text.GetString();
            ASSERT_EQ(back.GetHour(), dt.GetHour()) << text.GetString();
            ASSERT_EQ(back.GetMinute(), dt.GetMinute()) << text.GetString();
            ASSERT_EQ(back.GetSecond(), seconds ? dt.GetSecond() : 0) << text.GetString();
        }
    }
    const DateTime both = Holding("2024-03-05", "22:30:05");
    DateTime back;
    ASSERT_TRUE(back.Set(DateTime::ConvertToText(both, true)));
    EXPECT_EQ(back, both);
}

INSTANTIATE_TEST_SUITE_P(Locales, RoundTrip, ::testing::Values("en-US", "en-GB", "de-DE"));

// ---- Any length ------------------------------------------------------------------------------

// Blank and high-byte texts are the short tables' and the date_text fuzz target's.
TEST(HostileText, LongTextsGiveAnswersNotFaults) {
    Pinned pinned("en-US");
    const std::string digits(100000, '7');
    const std::string separators(100000, '/');
    std::string words;
    while (words.size() < 100000) words += "mar 5 2024 ";

    DateTime dt = Holding("2020-06-01", "01:02:03");
    EXPECT_FALSE(dt.SetDate(CString(digits)));
    EXPECT_FALSE(dt.SetDate(CString(separators)));
    EXPECT_TRUE(dt.SetDate(CString(words)));
    EXPECT_EQ(Ymd(dt), "2024-03-05");
    EXPECT_FALSE(dt.SetTime(CString(digits)));
    EXPECT_FALSE(dt.Set(CString(separators)));
    EXPECT_FALSE(dt.Set(CString(digits + " " + digits)));
    EXPECT_EQ(Hms(dt), "01:02:03");
    // Numbers past the int range saturate rather than wrap into a valid field.
    EXPECT_FALSE(dt.SetTime("4294967306:30"));
    EXPECT_FALSE(dt.SetDate("4294967299/4294967301/2024"));
    EXPECT_EQ(DateTime::ConvertFromDuration(CString(digits), false), INT_MAX);
    EXPECT_EQ(DateTime::ConvertFromDuration(CString(digits + "h" + digits + "m"), false), INT_MAX);
    EXPECT_EQ(DateTime::ConvertFromDuration(CString(separators), false), -1);
}

}  // namespace
}  // namespace vutil::datetext
