#pragma once
// DateTime: a day number counted from 1 January of year 1 (day 1) to 31 December 9999
// (day 3652061), 0 for no date, plus hour, minute and second (-1 in all three for no
// time). Julian calendar before 1582, Gregorian from 1582 on.
//
// October 1582 has 21 days numbered 1 to 21 without a gap: day 4 is 4 October
// (day 577737) and day 5 is the day after it, the one the Gregorian reform called
// 15 October (day 577738). Numbering the month densely keeps every date with
// day <= GetDaysInMonth valid and makes DaysFromDay1 and GetDate exact inverses.

#include <cstdint>
#include <ctime>

#include "vutil/framework/types.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class CArchive;
class COleDateTime;

class DateTime {
public:
    static constexpr int kMaxDayNumber = 3652061;  // 31 December 9999

    DateTime() = default;
    DateTime(const DateTime&) = default;
    DateTime& operator=(const DateTime&) = default;
    ~DateTime() = default;
    DateTime(int year, int month, int day, int hour, int minute, int second);

    // Setters: a part whose arguments are out of range is left as it was.
    void Set(int year, int month, int day, int hour, int minute, int second);
    void SetDate(int year, int month, int day);
    void SetTime(int hour, int minute, int second);
    void SetDate(const DateTime& other) { m_nDayNumber = other.m_nDayNumber; }
    void SetTime(const DateTime& other) {
        m_nHour = other.m_nHour;
        m_nMinute = other.m_nMinute;
        m_nSecond = other.m_nSecond;
    }
    void SetYear(int year);
    void SetMonth(int month);
    void SetDay(int day);
    void SetHour(int hour);
    void SetMinute(int minute);
    void SetSecond(int second);

    void SetInvalidDate() { m_nDayNumber = 0; }
    void SetInvalidTime() { m_nHour = m_nMinute = m_nSecond = -1; }
    void SetInvalid() {
        SetInvalidDate();
        SetInvalidTime();
    }
    bool IsValidDate() const { return m_nDayNumber >= 1 && m_nDayNumber <= kMaxDayNumber; }
    bool IsValidTime() const {
        return m_nHour >= 0 && m_nHour <= 23 && m_nMinute >= 0 && m_nMinute <= 59 && m_nSecond >= 0 &&
               m_nSecond <= 59;
    }
    bool IsValid() const { return IsValidDate() && IsValidTime(); }

    void Get(int& year, int& month, int& day, int& hour, int& minute, int& second) const;
    void GetDate(int& year, int& month, int& day) const;
    void GetTime(int& hour, int& minute, int& second) const {
        hour = m_nHour;
        minute = m_nMinute;
        second = m_nSecond;
    }
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const { return m_nHour; }
    int GetMinute() const { return m_nMinute; }
    int GetSecond() const { return m_nSecond; }
    // 1 = Sunday ... 7 = Saturday by the century-code rule; 0 without a valid date.
    int GetDayOfWeek() const;

    // The raw day number (0 for no date; arithmetic may leave it outside the range).
    int GetDayNumber() const { return m_nDayNumber; }

    // Calendar.
    static bool IsLeapYear(int year);
    static int GetDaysInMonth(int year, int month);
    static int GetDaysInYear(int year);
    static int DayOfYear(int year, int month, int day);

    // Comparison: dates first, invalid parts below valid ones.
    bool operator==(const DateTime& other) const {
        return m_nDayNumber == other.m_nDayNumber && m_nHour == other.m_nHour && m_nMinute == other.m_nMinute &&
               m_nSecond == other.m_nSecond;
    }
    bool operator<(const DateTime& other) const { return Order(other) < 0; }
    bool operator>(const DateTime& other) const { return Order(other) > 0; }
    int CompareDate(const DateTime& other) const;
    int CompareTime(const DateTime& other) const;

    // Arithmetic; each does nothing for 0.
    void AddYears(int n);
    void AddMonths(int n);
    void AddMonthsSameDay(int n);
    void AddWeeks(int n);
    void AddDays(int n);
    void AddHours(int n);
    void AddMinutes(int n);
    void AddSeconds(int n);
    void SetToFirstDay();
    void SetToLastDay();

    // The local clock (platform::Now, which tests may pin).
    void SetToCurrent();
    void SetToCurrentDate();
    void SetToCurrentTime();
    static void GetDateTimeNow(int& year, int& month, int& day, int& hour, int& minute, int& second);
    static void GetDateNow(int& year, int& month, int& day);
    static void GetTimeNow(int& hour, int& minute, int& second);
    bool IsToday() const;
    bool IsYesterday() const;
    bool IsTomorrow() const;

    // Conversions.
    void Set(const struct tm& tm);
    void Get(struct tm& tm) const;
    void Set(const std::int64_t& t);
    void Get(std::int64_t& t) const;
    void Set(const FILETIME& ft);
    void Set(const COleDateTime& ole);
    void Get(COleDateTime& ole) const;
    static void ConvertFromSeconds(std::int64_t s, long& days, int& hours, int& minutes, int& seconds);
    static void ConvertToSeconds(long days, int hours, int minutes, int seconds, std::int64_t& s);
    static void ConvertDeltaToSeconds(const DateTime& a, const DateTime& b, std::int64_t& s);

    // Archive record: a 16-bit version (1), then day number, hour, minute, second raw.
    void Serialize(CArchive& ar);

protected:
    static int DaysFromDay1(int year, int month, int day);
    // The century leap-year count and century code of the day-of-week rule.
    static int GetCenturyLeapYearCount(int year, int month);
    static int GetCenturyCode(int century);
    // Weekday of a valid calendar date by the century-code rule.
    static int DayOfWeekOf(int year, int month, int day);

    // Time-of-day carries; they move the day number without a range check.
    void AdjustSeconds();
    void AdjustMinutes();
    void AdjustHours();

private:
    int Order(const DateTime& other) const;
    // Stores a day number computed in 64 bits; one that does not fit 32 bits becomes 0.
    void StoreDayNumber(std::int64_t dayNumber);
    // Adds a signed count of whole days to the day number, unchecked.
    void CarryDays(std::int64_t days) { StoreDayNumber(std::int64_t{m_nDayNumber} + days); }
    // Hour, minute and second from 64-bit totals after the carries.
    void CarryTime(std::int64_t hours, std::int64_t minutes, std::int64_t seconds);

    std::int32_t m_nDayNumber = 0;
    std::int32_t m_nHour = -1;
    std::int32_t m_nMinute = -1;
    std::int32_t m_nSecond = -1;

    // ---- Text forms: free-form parsing, durations, display text ----
    // (date_time_parse.cpp, date_time_duration.cpp, date_time_format.cpp)
public:
    // Each returns whether the text was understood; an unusable text leaves the value as it was.
    bool Set(const CString& text);
    bool SetDate(const CString& text);
    bool SetTime(const CString& text);
    // Seconds of a duration text ("2h 15m", "1.5h", "1:30"); 0 for empty text, -1 without a digit.
    static int ConvertFromDuration(const CString& text, bool leadingNumberIsHours);

    static CString ConvertToText(const DateTime& dt, bool withSeconds);
    static CString ConvertDateToText(const DateTime& dt, bool dayLeadingZero, bool monthLeadingZero, bool fullYear,
                                     bool numeric);
    static CString ConvertTimeToText(const DateTime& dt, bool withSeconds);
    static CString ConvertSecondsToText(std::int64_t seconds);
    // English approximate span ("about 2 1/2 hours ago", the half as the byte 0xBD); reads
    // the local time of day.
    static CString ConvertSecondsToFuzzyText(std::int64_t seconds, bool dayWords, bool direction);
    static void ConvertToHHMMSS(int seconds, int& h, int& m, int& s);
    static void ConvertToHHMM(int seconds, int& h, int& m);
    static void ConvertToMMSS(int seconds, int& m, int& s);
    static void ConvertToMM(int seconds, int& m);
    static CString ConvertToHHMMSS(int seconds);
    static CString ConvertToHHMM(int seconds);
    static CString ConvertToMMSS(int seconds);
    static CString ConvertToMM(int seconds);

protected:
    void ConvertShortFormTextToDate(const CString& text, DateTime& out) const;
    void ConvertShortFormTextToTime(const CString& text, DateTime& out) const;
    static void InterpretNumber(double value, char unit, int& hours, int& minutes, int& seconds,
                                bool leadingNumberIsHours);
};

}  // namespace vutil
