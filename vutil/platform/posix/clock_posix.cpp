// The system clock and the zone rules on POSIX; the arithmetic is in clock_fields.cpp.

#include <climits>
#include <ctime>

#include "vutil/platform/clock.h"

namespace vutil::platform {

namespace {

bool FieldsToTm(const TimeFields& f, std::tm& tm) noexcept {
    if (f.year < INT_MIN + 1900 || f.month == INT_MIN) return false;
    tm = std::tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    tm.tm_isdst = -1;
    return true;
}

// Local fields to UTC seconds through the zone rules.
bool LocalTmToUtc(std::tm& tm, std::int64_t& utcSeconds) noexcept {
    ::tzset();
    tm.tm_wday = -1;  // mktime's -1 result is also a valid time; a set weekday tells success
    const std::time_t t = ::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) && tm.tm_wday == -1) return false;
    utcSeconds = static_cast<std::int64_t>(t);
    return true;
}

}  // namespace

Instant Now() noexcept {
    if (const auto pinned = PinnedClock()) return Instant{*pinned, 0};
    std::timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return Instant{static_cast<std::int64_t>(ts.tv_sec), static_cast<std::int32_t>(ts.tv_nsec)};
}

std::uint32_t TickCountMilliseconds() noexcept {
    std::timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

bool UtcToLocalFields(std::int64_t utcSeconds, TimeFields& out) noexcept {
    const auto t = static_cast<std::time_t>(utcSeconds);
    if (static_cast<std::int64_t>(t) != utcSeconds) return false;
    ::tzset();
    std::tm tm{};
    if (!::localtime_r(&t, &tm)) return false;
    if (tm.tm_year > INT_MAX - 1900) return false;
    out.year = tm.tm_year + 1900;
    out.month = tm.tm_mon + 1;
    out.day = tm.tm_mday;
    out.hour = tm.tm_hour;
    out.minute = tm.tm_min;
    out.second = tm.tm_sec;
    out.millisecond = 0;
    out.dayOfWeek = tm.tm_wday;
    out.utcOffset = static_cast<int>(tm.tm_gmtoff);
    return true;
}

bool LocalFieldsToUtc(const TimeFields& fields, std::int64_t& utcSeconds) noexcept {
    std::tm tm{};
    return FieldsToTm(fields, tm) && LocalTmToUtc(tm, utcSeconds);
}

}  // namespace vutil::platform
