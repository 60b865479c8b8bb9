// DateTime: the local clock and the conversions to and from the platform's time forms.

#include <climits>
#include <cstdint>
#include <cstdlib>

#include "vutil/core/app_logger.h"
#include "vutil/dates/date_time.h"
#include "vutil/dates/date_time_calendar.h"
#include "vutil/framework/ole_date_time.h"
#include "vutil/platform/clock.h"

namespace vutil {

namespace {

constexpr int kDay1970 = 719165;      // 1 January 1970
constexpr int kDayLastTm = 744019;    // 18 January 2038, the last day Get(struct tm&) serves
constexpr std::int64_t kSecondsPerDay = 86400;

int TodayNumber() {
    int y, m, d;
    DateTime::GetDateNow(y, m, d);
    return calendar::ValidArguments(y, m, d) ? calendar::DayNumber(y, m, d) : 0;
}

}  // namespace

// ---- The local clock --------------------------------------------------------------------

void DateTime::GetDateTimeNow(int& year, int& month, int& day, int& hour, int& minute, int& second) {
    year = month = day = hour = minute = second = 0;
    platform::TimeFields now;
    if (!platform::LocalNow(now)) return;
    year = now.year;
    month = now.month;
    day = now.day;
    hour = now.hour;
    minute = now.minute;
    second = now.second;
}

void DateTime::GetDateNow(int& year, int& month, int& day) {
    int hour, minute, second;
    GetDateTimeNow(year, month, day, hour, minute, second);
}

void DateTime::GetTimeNow(int& hour, int& minute, int& second) {
    int year, month, day;
    GetDateTimeNow(year, month, day, hour, minute, second);
}

void DateTime::SetToCurrent() {
    int y, mo, d, h, mi, s;
    GetDateTimeNow(y, mo, d, h, mi, s);
    Set(y, mo, d, h, mi, s);
}

void DateTime::SetToCurrentDate() {
    int y, m, d;
    GetDateNow(y, m, d);
    SetDate(y, m, d);
}

void DateTime::SetToCurrentTime() {
    int h, m, s;
    GetTimeNow(h, m, s);
    SetTime(h, m, s);
}

bool DateTime::IsToday() const { return IsValidDate() && m_nDayNumber == TodayNumber(); }
bool DateTime::IsYesterday() const { return IsValidDate() && m_nDayNumber + 1 == TodayNumber(); }
bool DateTime::IsTomorrow() const { return IsValidDate() && m_nDayNumber - 1 == TodayNumber(); }

// ---- struct tm and seconds since 1970 --------------------------------------------------------

void DateTime::Set(const struct tm& tm) {
    const std::int64_t year = std::int64_t{tm.tm_year} + 1900;
    const std::int64_t month = std::int64_t{tm.tm_mon} + 1;
    if (year <= INT_MAX && month <= INT_MAX) SetDate(static_cast<int>(year), static_cast<int>(month), tm.tm_mday);
    SetTime(tm.tm_hour, tm.tm_min, tm.tm_sec);
}

void DateTime::Get(struct tm& tm) const {
    if (m_nDayNumber < kDay1970 || m_nDayNumber > kDayLastTm) {
        if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine("{3B9CEE83-5685-4EBF-AF53-16DECF9747B1}");
        return;
    }
    int y, m, d;
    GetDate(y, m, d);
    tm.tm_year = y - 1900;
    tm.tm_mon = m - 1;
    tm.tm_mday = d;
    tm.tm_hour = m_nHour;
    tm.tm_min = m_nMinute;
    tm.tm_sec = m_nSecond;
}

void DateTime::Set(const std::int64_t& t) {
    platform::TimeFields local;
    if (!platform::UtcToLocalFields(t, local)) {
        SetInvalid();
        return;
    }
    SetDate(local.year, local.month, local.day);
    SetTime(local.hour, local.minute, local.second);
}

void DateTime::Get(std::int64_t& t) const {
    // The count is defined in 32 bits; past 19 January 2038 it wraps as a 32-bit value
    // would, without the undefined behaviour of a signed overflow.
    const std::int64_t wide =
        ((std::int64_t{m_nDayNumber} - kDay1970) * 24 + m_nHour) * 3600 + std::int64_t{m_nMinute} * 60 + m_nSecond;
    t = static_cast<std::int32_t>(static_cast<std::uint32_t>(wide));
}

// ---- FILETIME and COleDateTime ------------------------------------------------------------

void DateTime::Set(const FILETIME& ft) {
    const std::uint64_t utc = (std::uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
    std::uint64_t local = 0;
    platform::TimeFields fields;
    if (!platform::FileTimeToLocalFileTime(utc, local) || !platform::FileTimeToFields(local, fields)) {
        SetInvalid();
        return;
    }
    SetDate(fields.year, fields.month, fields.day);
    SetTime(fields.hour, fields.minute, fields.second);
}

void DateTime::Set(const COleDateTime& ole) {
    if (ole.GetStatus() != COleDateTime::valid) {
        SetInvalid();
        return;
    }
    SetDate(ole.GetYear(), ole.GetMonth(), ole.GetDay());
    SetTime(ole.GetHour(), ole.GetMinute(), ole.GetSecond());
}

void DateTime::Get(COleDateTime& ole) const {
    if (!IsValidDate() || !IsValidTime()) {
        ole.SetStatus(COleDateTime::null);
        return;
    }
    int y, m, d;
    GetDate(y, m, d);
    // The target counts in the Gregorian calendar: a Julian-only date such as
    // 29 February 1500, or a year before 100, does not survive the trip and is invalid.
    const bool accepted = ole.SetDateTime(y, m, d, m_nHour, m_nMinute, m_nSecond) == 0;
    const bool same = accepted && ole.GetYear() == y && ole.GetMonth() == m && ole.GetDay() == d &&
                      ole.GetHour() == m_nHour && ole.GetMinute() == m_nMinute && ole.GetSecond() == m_nSecond;
    ole.SetStatus(same ? COleDateTime::valid : COleDateTime::invalid);
}

// ---- Seconds helpers -----------------------------------------------------------------------

void DateTime::ConvertFromSeconds(std::int64_t s, long& days, int& hours, int& minutes, int& seconds) {
    // Work on the magnitude as unsigned so that INT64_MIN has one too.
    const std::uint64_t magnitude = s < 0 ? 0 - static_cast<std::uint64_t>(s) : static_cast<std::uint64_t>(s);
    const std::uint64_t wholeDays = magnitude / kSecondsPerDay;
    days = wholeDays > static_cast<std::uint64_t>(LONG_MAX) ? LONG_MAX : static_cast<long>(wholeDays);
    const auto rest = static_cast<int>(magnitude % kSecondsPerDay);
    hours = rest / 3600;
    minutes = rest / 60 % 60;
    seconds = rest % 60;
}

void DateTime::ConvertToSeconds(long days, int hours, int minutes, int seconds, std::int64_t& s) {
    std::int64_t total = 0;
    // Sums beyond the 64-bit range saturate.
    const std::int64_t rest = std::int64_t{hours} * 3600 + std::int64_t{minutes} * 60 + seconds;
    if (__builtin_mul_overflow(static_cast<std::int64_t>(days), kSecondsPerDay, &total) ||
        __builtin_add_overflow(total, rest, &total)) {
        total = days < 0 ? INT64_MIN : INT64_MAX;
    }
    s = total;
}

void DateTime::ConvertDeltaToSeconds(const DateTime& a, const DateTime& b, std::int64_t& s) {
    s = 0;
    if (!a.IsValid() || !b.IsValid()) return;
    const auto secondsOfDay = [](const DateTime& v) {
        return std::int64_t{v.m_nHour} * 3600 + std::int64_t{v.m_nMinute} * 60 + v.m_nSecond;
    };
    s = (std::int64_t{a.m_nDayNumber} - b.m_nDayNumber) * kSecondsPerDay + secondsOfDay(a) - secondsOfDay(b);
}

}  // namespace vutil
