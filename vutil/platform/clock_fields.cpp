// The clock's pure arithmetic, the same on every backend: the pin, UTC fields, file
// times and their fields. The backends supply the system clock and the zone rules
// (Now, TickCountMilliseconds, UtcToLocalFields, LocalFieldsToUtc).

#include <atomic>
#include <climits>

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

}  // namespace

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

// False when the year does not fit an int.
bool UtcToUtcFields(std::int64_t seconds, TimeFields& out) noexcept {
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
    if (!UtcToUtcFields(ticks / kFileTimeTicksPerSecond - kFileTimeEpochSeconds, f)) return false;
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
    if (!UtcToUtcFields(ticks / kFileTimeTicksPerSecond - kFileTimeEpochSeconds, out)) return false;
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
