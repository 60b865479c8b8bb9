#pragma once
// A word-for-word transcription of the calendar steps as loops and text, kept apart
// from the library so that the closed forms can be checked against it (tests) and
// timed beside it (bench). Deliberately slow; do not "improve" it.

#include <cstdint>
#include <string>

namespace vutil::literal {

inline bool IsLeapYear(int year) {
    if (year < 1 || year > 9999) return false;
    if (year % 4 != 0) return false;
    if (year < 1582) return true;
    return year % 100 != 0 || year % 400 == 0;
}

inline int GetDaysInMonth(int year, int month) {
    static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12) return 0;
    if (year == 1582 && month == 10) return 21;
    if (month == 2 && IsLeapYear(year)) return 29;
    return kLengths[month - 1];
}

inline int GetDaysInYear(int year) {
    if (year < 1 || year > 9999) return 0;
    if (year == 1582) return 355;
    return IsLeapYear(year) ? 366 : 365;
}

inline bool ValidArguments(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31 &&
           day <= GetDaysInMonth(year, month);
}

inline int DayOfYear(int year, int month, int day) {
    if (!ValidArguments(year, month, day)) return 0;
    int sum = 0;
    for (int m = 1; m < month; ++m) sum += (m == 2 && IsLeapYear(year)) ? 29 : GetDaysInMonth(year, m);
    return sum + day;
}

inline int DaysFromDay1(int year, int month, int day) {
    if (!ValidArguments(year, month, day)) return 0;
    const int y = year - 1;
    const int d = DayOfYear(year, month, day);
    if (year <= 1581) return 365 * y + y / 4 + d;
    if (year >= 1583) return 365 * y + y / 4 - y / 100 + y / 400 + 2 + d;
    return 577460 + d;
}

// The year scan remembers where it stopped, so that a caller walking the day numbers
// upwards resumes it instead of restarting from year 1; the years it passes and the
// result are those of a fresh scan.
struct YearScan {
    int year = 1;
    std::int64_t before = 0;  // days in the years before `year`
};

inline void GetDate(int n, int& year, int& month, int& day, YearScan& scan) {
    if (n < 1 || n > 3652061) {
        year = month = day = 0;
        return;
    }
    if (n <= scan.before) scan = YearScan{};
    // Step 1: add year lengths until the sum reaches n.
    while (scan.before + GetDaysInYear(scan.year) < n) {
        scan.before += GetDaysInYear(scan.year);
        ++scan.year;
    }
    year = scan.year;
    int rest = static_cast<int>(n - scan.before);
    // Step 2: add month lengths until the sum reaches the rest.
    int sum = 0;
    month = 1;
    while (sum + GetDaysInMonth(year, month) < rest) {
        sum += GetDaysInMonth(year, month);
        ++month;
    }
    // Step 3.
    day = rest - sum;
}

inline void GetDate(int n, int& year, int& month, int& day) {
    YearScan fresh;
    GetDate(n, year, month, day, fresh);
}

inline int GetCenturyLeapYearCount(int year, int month) {
    const std::string text = std::to_string(year);
    const std::string century = text.size() == 3 ? text.substr(0, 1) : text.substr(0, 2);
    const int from = std::stoi(century + "00");
    const int to = (month == 1 || month == 2) ? year - 1 : year;
    int count = 0;
    for (int y = from; y <= to; ++y) {
        if (IsLeapYear(y)) ++count;
    }
    return count;
}

inline int GetCenturyCode(int c) {
    for (int v = 2; v <= 98; v += 4)
        if (c == v) return 2;
    for (int v = 3; v <= 99; v += 4)
        if (c == v) return 0;
    for (int v = 4; v <= 96; v += 4)
        if (c == v) return 5;
    for (int v = 5; v <= 97; v += 4)
        if (c == v) return 4;
    return -1;
}

// Weekday of a calendar date from GetDate (0, 0, 0 for no date gives 0).
inline int DayOfWeek(int y, int m, int d) {
    if (y == 0) return 0;
    const std::string text = std::to_string(y);
    const int c = std::stoi(text.size() == 3 ? text.substr(0, 1) : text.substr(0, 2));
    const int yy = std::stoi(text.size() >= 2 ? text.substr(text.size() - 2) : text);
    const int n = GetCenturyLeapYearCount(y, m);
    const int k = GetCenturyCode(c);
    static const int kMonthCode[12] = {0, 3, 3, 6, 1, 4, 6, 2, 5, 0, 3, 5};
    const int t = n + yy + k + kMonthCode[m - 1] + d;
    return t % 7 + 1;
}

inline int GetDayOfWeek(int dayNumber) {
    int y, m, d;
    GetDate(dayNumber, y, m, d);
    return DayOfWeek(y, m, d);
}

// Month arithmetic with the carry rules, then the day lowered to the month's length.
inline int AddMonths(int dayNumber, int n) {
    int y, m, d;
    GetDate(dayNumber, y, m, d);
    int t = m + n;
    if (t > 12) {
        const int k = (t - 13) / 12 + 1;
        t -= 12 * k;
        y += k;
    } else if (t < 1) {
        const int k = (-t) / 12 + 1;
        t += 12 * k;
        y -= k;
    }
    if (y < 1 || y > 9999) return dayNumber;
    if (d > GetDaysInMonth(y, t)) d = GetDaysInMonth(y, t);
    return DaysFromDay1(y, t, d);
}

}  // namespace vutil::literal

namespace vutil::literal {

// The n-th weekday of a month (1 = Sunday), scanning the days with the literal
// weekday steps; 0 when there is none.
inline int OccurrenceDay(int n, int weekday, int month, int year) {
    const int length = GetDaysInMonth(year, month);
    int first = 0;
    for (int d = 1; d <= length && first == 0; ++d) {
        if (DayOfWeek(year, month, d) == weekday) first = d;
    }
    if (first == 0) return 0;
    const int result = first + 7 * (n - 1);
    return result > length ? 0 : result;
}

}  // namespace vutil::literal
