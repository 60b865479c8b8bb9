// DateTime: the calendar, construction, access and comparison.
//
// The calendar functions are closed forms of the year and month scans that define
// them; the tests check them against a literal transcription of those scans on every
// valid day number.

#include "vutil/dates/date_time.h"

#include "vutil/dates/date_time_calendar.h"

namespace vutil {

namespace calendar {

const int kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

namespace {

// Days before each month (index 0 ... 11) and the year's length (index 12).
constexpr int kBeforeCommon[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr int kBeforeLeap[13] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366};
constexpr int kBefore1582[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 294, 324, 355};

// Month codes of the day-of-week rule, January first.
constexpr int kMonthCode[12] = {0, 3, 3, 6, 1, 4, 6, 2, 5, 0, 3, 5};

const int* MonthStarts(int year) {
    if (year == 1582) return kBefore1582;
    return DateTimeCalendarLeap(year) ? kBeforeLeap : kBeforeCommon;
}

// Leap years that IsLeapYear accepts from year 1 to year x.
int LeapYearsThrough(int x) {
    if (x < 1) return 0;
    if (x > 9999) x = 9999;
    if (x < 1582) return x / 4;
    // 395 Julian leap years up to 1581, then the Gregorian ones from 1582 on: the
    // Gregorian count up to 1581 is 383, hence the 12.
    return x / 4 - x / 100 + x / 400 + 12;
}

}  // namespace

bool DateTimeCalendarLeap(int year) {
    if (year < 1 || year > 9999 || year % 4 != 0) return false;
    if (year < 1582) return true;
    return year % 100 != 0 || year % 400 == 0;
}

bool ValidArguments(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31 &&
           day <= DateTime::GetDaysInMonth(year, month);
}

int DayNumber(int year, int month, int day) {
    const int y = year - 1;
    const int d = MonthStarts(year)[month - 1] + day;
    if (year < 1582) return 365 * y + y / 4 + d;
    if (year == 1582) return kLastJulianDay + d;
    return 365 * y + y / 4 - y / 100 + y / 400 + 2 + d;
}

void SplitDayNumber(int n, int& year, int& month, int& day) {
    int dayOfYear;
    if (n <= kLastJulianDay) {
        // Julian: four-year cycles of 1461 days, the leap year last.
        const int z = n - 1;
        const int cycle = z / 1461;
        int rest = z % 1461;
        int inCycle = rest / 365;
        if (inCycle == 4) inCycle = 3;
        year = cycle * 4 + inCycle + 1;
        dayOfYear = rest - inCycle * 365 + 1;
    } else if (n < kFirstGregorianDay) {
        year = 1582;
        dayOfYear = n - kLastJulianDay;
    } else {
        // Gregorian from 1583: the count runs two days ahead of the proleptic one.
        int z = n - 3;
        const int era = z / 146097;
        z %= 146097;
        int century = z / 36524;
        if (century == 4) century = 3;
        z -= century * 36524;
        const int quad = z / 1461;
        z %= 1461;
        int inQuad = z / 365;
        if (inQuad == 4) inQuad = 3;
        year = era * 400 + century * 100 + quad * 4 + inQuad + 1;
        dayOfYear = z - inQuad * 365 + 1;
    }
    const int* starts = MonthStarts(year);
    // Months have at most 31 days, so this guess never overshoots.
    int m = (dayOfYear - 1) / 31;
    while (dayOfYear > starts[m + 1]) ++m;
    month = m + 1;
    day = dayOfYear - starts[m];
}

int Weekday(int year, int month, int day) {
    if (year >= 1600) return TrueWeekday(DayNumber(year, month, day));
    const int century = year < 100 ? year : year / 100;
    const int yy = year < 100 ? year : year % 100;
    const int t = CenturyLeapYearCount(year, month) + yy + CenturyCode(century) + kMonthCode[month - 1] + day;
    return t % 7 + 1;
}

int CenturyLeapYearCount(int year, int month) {
    if (year < 1) return 0;
    // The century is the first figure of a three-figure year, else the first two figures.
    int century = year;
    if (year >= 100 && year <= 9999) {
        century = year / 100;
    } else if (year > 9999) {
        while (century >= 100) century /= 10;
    }
    const int from = century * 100;
    const int to = (month == 1 || month == 2) ? year - 1 : year;
    return to < from ? 0 : LeapYearsThrough(to) - LeapYearsThrough(from - 1);
}

int CenturyCode(int century) {
    if (century < 2 || century > 99) return -1;
    static constexpr int kCodes[4] = {5, 4, 2, 0};
    return kCodes[century % 4];
}

}  // namespace calendar

// ---- Calendar -------------------------------------------------------------------

bool DateTime::IsLeapYear(int year) { return calendar::DateTimeCalendarLeap(year); }

int DateTime::GetDaysInMonth(int year, int month) {
    if (year < 1 || month < 1 || month > 12) return 0;
    if (year == 1582 && month == 10) return 21;
    if (month == 2 && IsLeapYear(year)) return 29;
    return calendar::kMonthLengths[month - 1];
}

int DateTime::GetDaysInYear(int year) {
    if (year < 1 || year > 9999) return 0;
    if (year == 1582) return 355;
    return IsLeapYear(year) ? 366 : 365;
}

int DateTime::DayOfYear(int year, int month, int day) {
    if (!calendar::ValidArguments(year, month, day)) return 0;
    return calendar::DayNumber(year, month, day) - calendar::DayNumber(year, 1, 1) + 1;
}

int DateTime::DaysFromDay1(int year, int month, int day) {
    return calendar::ValidArguments(year, month, day) ? calendar::DayNumber(year, month, day) : 0;
}

int DateTime::GetCenturyLeapYearCount(int year, int month) { return calendar::CenturyLeapYearCount(year, month); }
int DateTime::GetCenturyCode(int century) { return calendar::CenturyCode(century); }
int DateTime::DayOfWeekOf(int year, int month, int day) { return calendar::Weekday(year, month, day); }

// ---- Construction and access ----------------------------------------------------------

DateTime::DateTime(int year, int month, int day, int hour, int minute, int second) {
    if (calendar::ValidArguments(year, month, day) && hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 &&
        second >= 0 && second <= 59) {
        m_nDayNumber = calendar::DayNumber(year, month, day);
        m_nHour = hour;
        m_nMinute = minute;
        m_nSecond = second;
    }
}

void DateTime::Set(int year, int month, int day, int hour, int minute, int second) {
    SetDate(year, month, day);
    SetTime(hour, minute, second);
}

void DateTime::SetDate(int year, int month, int day) {
    if (const int n = DaysFromDay1(year, month, day)) m_nDayNumber = n;
}

void DateTime::SetTime(int hour, int minute, int second) {
    if (static_cast<unsigned>(hour) < 24 && static_cast<unsigned>(minute) < 60 && static_cast<unsigned>(second) < 60) {
        m_nHour = hour;
        m_nMinute = minute;
        m_nSecond = second;
    }
}

void DateTime::SetYear(int year) {
    if (!IsValidDate() || year < 1 || year > 9999) return;
    int y, m, d;
    GetDate(y, m, d);
    const int length = GetDaysInMonth(year, m);
    m_nDayNumber = calendar::DayNumber(year, m, d > length ? length : d);
}

void DateTime::SetMonth(int month) {
    if (!IsValidDate() || month < 1 || month > 12) return;
    int y, m, d;
    GetDate(y, m, d);
    const int length = GetDaysInMonth(y, month);
    m_nDayNumber = calendar::DayNumber(y, month, d > length ? length : d);
}

void DateTime::SetDay(int day) {
    if (!IsValidDate()) return;
    int y, m, d;
    GetDate(y, m, d);
    SetDate(y, m, day);
}

void DateTime::SetHour(int hour) {
    if (hour >= 0 && hour <= 23) m_nHour = hour;
}
void DateTime::SetMinute(int minute) {
    if (minute >= 0 && minute <= 59) m_nMinute = minute;
}
void DateTime::SetSecond(int second) {
    if (second >= 0 && second <= 59) m_nSecond = second;
}

void DateTime::Get(int& year, int& month, int& day, int& hour, int& minute, int& second) const {
    GetDate(year, month, day);
    GetTime(hour, minute, second);
}

void DateTime::GetDate(int& year, int& month, int& day) const {
    if (!IsValidDate()) {
        year = month = day = 0;
        return;
    }
    calendar::SplitDayNumber(m_nDayNumber, year, month, day);
}

int DateTime::GetYear() const {
    int y, m, d;
    GetDate(y, m, d);
    return y;
}
int DateTime::GetMonth() const {
    int y, m, d;
    GetDate(y, m, d);
    return m;
}
int DateTime::GetDay() const {
    int y, m, d;
    GetDate(y, m, d);
    return d;
}

int DateTime::GetDayOfWeek() const {
    if (!IsValidDate()) return 0;
    if (m_nDayNumber >= calendar::kFirstTrueWeekdayDay) return calendar::TrueWeekday(m_nDayNumber);
    int y, m, d;
    calendar::SplitDayNumber(m_nDayNumber, y, m, d);
    return calendar::Weekday(y, m, d);
}

// ---- Comparison ---------------------------------------------------------------------

namespace {
int Sign3(int a, int b) { return a < b ? -1 : (a > b ? 1 : 0); }
}  // namespace

int DateTime::CompareDate(const DateTime& other) const {
    const bool mine = IsValidDate(), theirs = other.IsValidDate();
    if (mine != theirs) return mine ? 1 : -1;
    return mine ? Sign3(m_nDayNumber, other.m_nDayNumber) : 0;
}

int DateTime::CompareTime(const DateTime& other) const {
    const bool mine = IsValidTime(), theirs = other.IsValidTime();
    if (mine != theirs) return mine ? 1 : -1;
    if (!mine) return 0;
    if (m_nHour != other.m_nHour) return Sign3(m_nHour, other.m_nHour);
    if (m_nMinute != other.m_nMinute) return Sign3(m_nMinute, other.m_nMinute);
    return Sign3(m_nSecond, other.m_nSecond);
}

int DateTime::Order(const DateTime& other) const {
    const int byDate = CompareDate(other);
    return byDate != 0 ? byDate : CompareTime(other);
}

}  // namespace vutil
