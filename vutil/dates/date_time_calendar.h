#pragma once
// Calendar arithmetic shared by DateTime and DateEntry (internal to the library).

namespace vutil::calendar {

inline constexpr int kLastJulianDay = 577460;      // 31 December 1581
inline constexpr int kFirstGregorianDay = 577816;  // 1 January 1583

inline constexpr int kFirstTrueWeekdayDay = 584389;  // 1 January 1600

extern const int kMonthLengths[12];

// From 1600 on the weekday rule gives the true weekday, which repeats every seven day
// numbers (1 January 2000, day 730122, was a Saturday).
inline int TrueWeekday(int dayNumber) { return (dayNumber + 5) % 7 + 1; }

bool DateTimeCalendarLeap(int year);
// Year 1 ... 9999, month 1 ... 12, day 1 ... the month's length.
bool ValidArguments(int year, int month, int day);
// Day number of valid arguments, and the reverse for 1 ... 3652061.
int DayNumber(int year, int month, int day);
void SplitDayNumber(int dayNumber, int& year, int& month, int& day);
// 1 = Sunday ... 7 = Saturday by the century-code rule, for valid arguments.
int Weekday(int year, int month, int day);
int CenturyLeapYearCount(int year, int month);
int CenturyCode(int century);

}  // namespace vutil::calendar
