#include <atomic>
#include <climits>
#include <ctime>

#include "vutil/platform/clock.h"

namespace vutil::platform {

namespace {

std::atomic<bool> g_pinned{false};
std::atomic<std::int64_t> g_pinnedSeconds{0};

constexpr std::int64_t kSecondsPerDay = 86400;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kFileTimeEpochSeconds = kFileTimeUnixEpoch / kFileTimeTicksPerSecond;
constexpr std::uint64_t kFileTimeLimit = std::uint64_t{1} << 63;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) noexcept {
    std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days since 1970-01-01 to a proleptic Gregorian date (era arithmetic; exact for the
// whole range whose year fits a 64-bit value).
void CivilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d) noexcept {
    z += 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) noexcept {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Splits seconds since 1970 into fields, without a zone. False when the year does not
// fit an int.
bool SplitSeconds(std::int64_t seconds, TimeFields& out) noexcept {
    const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
    const std::int64_t rest = seconds - days * kSecondsPerDay;
    std::int64_t year = 0;
    int month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    if (year < INT_MIN || year > INT_MAX) return false;
    out.year = static_cast<int>(year);
    out.month = month;
    out.day = day;
    out.hour = static_cast<int>(rest / 3600);
    out.minute = static_cast<int>(rest / 60 % 60);
    out.second = static_cast<int>(rest % 60);
    out.millisecond = 0;
    // 1970-01-01 was a Thursday.
    const std::int64_t w = days + 4;
    out.dayOfWeek = static_cast<int>(w - FloorDiv(w, 7) * 7);
    out.utcOffset = 0;
    return true;
}

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
    if (g_pinned.load(std::memory_order_acquire)) return Instant{g_pinnedSeconds.load(std::memory_order_relaxed), 0};
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

void PinClock(std::optional<std::int64_t> utcSeconds) noexcept {
    if (utcSeconds) {
        g_pinnedSeconds.store(*utcSeconds, std::memory_order_relaxed);
        g_pinned.store(true, std::memory_order_release);
    } else {
        g_pinned.store(false, std::memory_order_release);
    }
}

std::optional<std::int64_t> PinnedClock() noexcept {
    if (!g_pinned.load(std::memory_order_acquire)) return std::nullopt;
    return g_pinnedSeconds.load(std::memory_order_relaxed);
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

bool UtcToUtcFields(std::int64_t utcSeconds, TimeFields& out) noexcept { return SplitSeconds(utcSeconds, out); }

bool LocalFieldsToUtc(const TimeFields& fields, std::int64_t& utcSeconds) noexcept {
    std::tm tm{};
    return FieldsToTm(fields, tm) && LocalTmToUtc(tm, utcSeconds);
}

bool UtcFieldsToUtc(const TimeFields& f, std::int64_t& utcSeconds) noexcept {
    // Months carry into years first so that month 0 or 13 work like timegm's.
    const std::int64_t months = std::int64_t{f.month} - 1;
    const std::int64_t year = std::int64_t{f.year} + FloorDiv(months, 12);
    const std::int64_t month = months - FloorDiv(months, 12) * 12 + 1;
    const std::int64_t days = DaysFromCivil(year, month, 1) + std::int64_t{f.day} - 1;
    const std::int64_t secs = std::int64_t{f.hour} * 3600 + std::int64_t{f.minute} * 60 + f.second;
    // |days| stays below 2^42 for int years, so the product cannot overflow.
    utcSeconds = days * kSecondsPerDay + secs;
    return true;
}

bool LocalNow(TimeFields& out) noexcept {
    const Instant now = Now();
    if (!UtcToLocalFields(now.seconds, out)) return false;
    out.millisecond = now.nanoseconds / 1000000;
    return true;
}

bool FileTimeToLocalFileTime(std::uint64_t utc, std::uint64_t& local) noexcept {
    if (utc >= kFileTimeLimit) return false;
    const auto ticks = static_cast<std::int64_t>(utc);
    TimeFields f;
    if (!UtcToLocalFields(ticks / kFileTimeTicksPerSecond - kFileTimeEpochSeconds, f)) return false;
    const std::int64_t offset = std::int64_t{f.utcOffset} * kFileTimeTicksPerSecond;
    if (offset > 0 && ticks > INT64_MAX - offset) return false;
    const std::int64_t shifted = ticks + offset;
    if (shifted < 0) return false;
    local = static_cast<std::uint64_t>(shifted);
    return true;
}

bool LocalFileTimeToFileTime(std::uint64_t local, std::uint64_t& utc) noexcept {
    if (local >= kFileTimeLimit) return false;
    const auto ticks = static_cast<std::int64_t>(local);
    TimeFields f;
    if (!SplitSeconds(ticks / kFileTimeTicksPerSecond - kFileTimeEpochSeconds, f)) return false;
    std::int64_t utcSeconds = 0;
    if (!LocalFieldsToUtc(f, utcSeconds)) return false;
    const std::int64_t result =
        (utcSeconds + kFileTimeEpochSeconds) * kFileTimeTicksPerSecond + ticks % kFileTimeTicksPerSecond;
    if (result < 0) return false;
    utc = static_cast<std::uint64_t>(result);
    return true;
}

bool FileTimeToFields(std::uint64_t fileTime, TimeFields& out) noexcept {
    if (fileTime >= kFileTimeLimit) return false;
    const auto ticks = static_cast<std::int64_t>(fileTime);
    if (!SplitSeconds(ticks / kFileTimeTicksPerSecond - kFileTimeEpochSeconds, out)) return false;
    out.millisecond = static_cast<int>(ticks % kFileTimeTicksPerSecond / 10000);
    return true;
}

bool FieldsToFileTime(const TimeFields& f, std::uint64_t& fileTime) noexcept {
    if (f.year < 1601 || f.year > 30827 || f.month < 1 || f.month > 12 || f.day < 1 || f.hour < 0 || f.hour > 23 ||
        f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59 || f.millisecond < 0 || f.millisecond > 999)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (f.year % 4 == 0 && f.year % 100 != 0) || f.year % 400 == 0;
    if (f.day > kDays[f.month - 1] + (f.month == 2 && leap ? 1 : 0)) return false;
    std::int64_t seconds = 0;
    UtcFieldsToUtc(f, seconds);
    fileTime = static_cast<std::uint64_t>((seconds + kFileTimeEpochSeconds) * kFileTimeTicksPerSecond +
                                          std::int64_t{f.millisecond} * 10000);
    return true;
}

}  // namespace vutil::platform
