#include "vutil/framework/ole_date_time.h"

#include <cmath>
#include <cstdint>

#include "vutil/platform/clock.h"

namespace vutil {

namespace {

constexpr std::int64_t kDaysTo1970 = 25569;  // 1899-12-30 to 1970-01-01
constexpr double kMinDate = -657434.0;       // 1 January 100
constexpr double kMaxDate = 2958465.999995;  // 31 December 9999, 23:59:59.5

bool IsGregorianLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > kDays[month - 1] + (month == 2 && IsGregorianLeap(year) ? 1 : 0) || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59) {
        m_dt = 0.0;
        m_status = invalid;
        return 1;
    }
    platform::TimeFields f;
    f.year = year;
    f.month = month;
    f.day = day;
    std::int64_t seconds = 0;
    platform::UtcFieldsToUtc(f, seconds);
    const double days = static_cast<double>(seconds / 86400 + kDaysTo1970);
    const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    m_dt = days >= 0 ? days + fraction : days - fraction;
    m_status = valid;
    return 0;
}

bool COleDateTime::Decode(Fields& out) const {
    if (m_status != valid || !(m_dt >= kMinDate && m_dt <= kMaxDate)) return false;
    double whole = std::trunc(m_dt);
    auto days = static_cast<std::int64_t>(whole);
    auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(m_dt - whole) * 86400.0));
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;  // rounding reached the next calendar day, whatever the sign
    }
    platform::TimeFields f;
    if (!platform::UtcToUtcFields((days - kDaysTo1970) * 86400 + seconds, f)) return false;
    out = Fields{f.year, f.month, f.day, f.hour, f.minute, f.second, f.dayOfWeek + 1};
    return true;
}

int COleDateTime::GetYear() const {
    Fields f;
    return Decode(f) ? f.year : -1;
}
int COleDateTime::GetMonth() const {
    Fields f;
    return Decode(f) ? f.month : -1;
}
int COleDateTime::GetDay() const {
    Fields f;
    return Decode(f) ? f.day : -1;
}
int COleDateTime::GetHour() const {
    Fields f;
    return Decode(f) ? f.hour : -1;
}
int COleDateTime::GetMinute() const {
    Fields f;
    return Decode(f) ? f.minute : -1;
}
int COleDateTime::GetSecond() const {
    Fields f;
    return Decode(f) ? f.second : -1;
}
int COleDateTime::GetDayOfWeek() const {
    Fields f;
    return Decode(f) ? f.dayOfWeek : -1;
}

}  // namespace vutil
