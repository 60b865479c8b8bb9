#pragma once
// Calendar arithmetic shared by DateTime and DateEntry (internal to the library).

namespace vutil::calendar {

inline constexpr int kLastJulianDay = 577460;      // 31 December 1581
inline constexpr int kFirstGregorianDay = 577816;  // 1 January 1583

extern const int kMonthLengths[12];

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
