// The system clock and the zone rules on Windows; the arithmetic is in clock_fields.cpp.
//
// With TZ set ("JST-9", "EST5EDT") local time goes through the C runtime, which reads it;
// without, through the system's own zone and its present rules. The runtime is never
// asked with TZ unset: some runtimes keep the system zone's rules once they have read
// them and would then drop summer time from a TZ set later. Both convert only years from
// 1970 to 3000 or so; other instants are moved by whole 400-year cycles into that span
// and back, which keeps weekdays and the dates of every rule.

#include <climits>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

#include "vutil/platform/clock.h"
#include "vutil/platform/win32/env_watch_internal.h"
#include "vutil/platform/win32/win32_util.h"

namespace vutil::platform {

namespace {

constexpr std::int64_t kSecondsPerCycle = std::int64_t{146097} * 86400;  // 400 Gregorian years
constexpr std::int64_t kCycleYears = 400;
// Instants (or local readings) the runtime is asked about directly: 1971-01-01 up to
// 3000-01-01, a day clear of either end of its range whatever the zone.
constexpr std::int64_t kDirectFirst = 31536000;
constexpr std::int64_t kDirectEnd = 32503680000;

// The runtime's zone state is the process's, so one lock covers re-reading it and every
// conversion that uses it.
std::mutex g_zoneLock;
win32::EnvSpot g_tzSpot;
std::string g_tzValue;
bool g_tzRead = false;
bool g_tzSet = false;  // TZ names the zone; else the system's zone answers
TIME_ZONE_INFORMATION g_systemZone{};
bool g_systemZoneKnown = false;
ULONGLONG g_systemZoneRead = 0;

constexpr char kTzName[] = "TZ=";
constexpr std::size_t kTzLength = sizeof kTzName - 1;

// _tzset reads the whole environment and takes microseconds: it runs only when TZ
// changed. The system's zone is read again at most once a second (reading it costs
// more than a conversion), so that a change of it is still seen soon. Called with
// g_zoneLock held.
void RefreshZone() noexcept {
    char** env = _environ;
    const char* value = g_tzRead ? win32::StillAt(g_tzSpot, env, kTzName, kTzLength) : nullptr;
    if (!value || !win32::SameText(g_tzValue.c_str(), value)) {
        value = env ? win32::Locate(g_tzSpot, env, kTzName, kTzLength) : std::getenv("TZ");
        if (!value) value = "";
        try {
            g_tzValue = value;
            g_tzRead = env != nullptr;
        } catch (...) {
            g_tzRead = false;  // no memory for the copy: look again next time
        }
        g_tzSet = *value != 0;
        if (g_tzSet) {
            const DWORD saved = ::GetLastError();
            ::_tzset();
            ::SetLastError(saved);
        }
    }
    if (!g_tzSet && (!g_systemZoneKnown || ::GetTickCount64() - g_systemZoneRead >= 1000)) {
        g_systemZoneKnown = ::GetTimeZoneInformation(&g_systemZone) != TIME_ZONE_ID_INVALID;
        g_systemZoneRead = ::GetTickCount64();
    }
}

SYSTEMTIME ToSystemTime(const TimeFields& f) noexcept {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(f.year);
    st.wMonth = static_cast<WORD>(f.month);
    st.wDay = static_cast<WORD>(f.day);
    st.wHour = static_cast<WORD>(f.hour);
    st.wMinute = static_cast<WORD>(f.minute);
    st.wSecond = static_cast<WORD>(f.second);
    return st;
}

TimeFields FromSystemTime(const SYSTEMTIME& st) noexcept {
    TimeFields f;
    f.year = st.wYear;
    f.month = st.wMonth;
    f.day = st.wDay;
    f.hour = st.wHour;
    f.minute = st.wMinute;
    f.second = st.wSecond;
    return f;
}

// `inside` (within the span) to local fields; utcOffset and dayOfWeek are set by the
// caller. Called with g_zoneLock held.
bool LocalReading(__time64_t inside, TimeFields& local) noexcept {
    if (!g_tzSet) {
        TimeFields utc;
        SYSTEMTIME st{};
        if (!g_systemZoneKnown || !UtcToUtcFields(inside, utc)) return false;
        const SYSTEMTIME in = ToSystemTime(utc);
        if (!::SystemTimeToTzSpecificLocalTime(&g_systemZone, &in, &st)) return false;
        local = FromSystemTime(st);
        return true;
    }
    std::tm tm{};
    if (::_localtime64_s(&tm, &inside) != 0) return false;
    local.year = tm.tm_year + 1900;
    local.month = tm.tm_mon + 1;
    local.day = tm.tm_mday;
    local.hour = tm.tm_hour;
    local.minute = tm.tm_min;
    local.second = tm.tm_sec;
    return true;
}

// Local fields (normalised, within the span) to UTC seconds. Called with g_zoneLock held.
bool UtcOfReading(const TimeFields& f, std::int64_t& utc) noexcept {
    if (!g_tzSet) {
        SYSTEMTIME st{};
        const SYSTEMTIME in = ToSystemTime(f);
        if (!g_systemZoneKnown || !::TzSpecificLocalTimeToSystemTime(&g_systemZone, &in, &st)) return false;
        return UtcFieldsToUtc(FromSystemTime(st), utc);
    }
    std::tm tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    tm.tm_isdst = -1;
    const __time64_t t = ::_mktime64(&tm);
    if (t == -1) return false;  // never a valid answer inside the span
    utc = static_cast<std::int64_t>(t);
    return true;
}

// Splits `t` into a part inside the runtime's span and whole cycles: t = inside + cycles
// * kSecondsPerCycle. Inside the direct span nothing moves.
std::int64_t Fold(std::int64_t t, std::int64_t& cycles) noexcept {
    cycles = 0;
    if (t >= kDirectFirst && t < kDirectEnd) return t;
    std::int64_t q = t / kSecondsPerCycle;
    std::int64_t r = t % kSecondsPerCycle;
    if (r < 0) {
        r += kSecondsPerCycle;
        --q;
    }
    // One cycle up: 2370 ... 2770, well inside the span.
    cycles = q - 1;
    return r + kSecondsPerCycle;
}

}  // namespace

Instant Now() noexcept {
    if (const auto pinned = PinnedClock()) return Instant{*pinned, 0};
    FILETIME ft{};
    ::GetSystemTimePreciseAsFileTime(&ft);
    const auto ticks = static_cast<std::int64_t>((std::uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime) -
                       kFileTimeUnixEpoch;
    std::int64_t seconds = ticks / kFileTimeTicksPerSecond;
    std::int64_t rest = ticks % kFileTimeTicksPerSecond;
    if (rest < 0) {
        rest += kFileTimeTicksPerSecond;
        --seconds;
    }
    return Instant{seconds, static_cast<std::int32_t>(rest * 100)};
}

std::uint32_t TickCountMilliseconds() noexcept { return static_cast<std::uint32_t>(::GetTickCount64()); }

bool UtcToLocalFields(std::int64_t utcSeconds, TimeFields& out) noexcept {
    std::int64_t cycles = 0;
    const __time64_t inside = Fold(utcSeconds, cycles);
    TimeFields local;
    {
        std::lock_guard lock(g_zoneLock);
        RefreshZone();
        if (!LocalReading(inside, local)) return false;
    }
    const std::int64_t year = std::int64_t{local.year} + cycles * kCycleYears;
    if (year < INT_MIN || year > INT_MAX) return false;
    std::int64_t reading = 0;
    UtcFieldsToUtc(local, reading);
    TimeFields weekday;
    UtcToUtcFields(reading, weekday);
    local.year = static_cast<int>(year);
    local.millisecond = 0;
    local.dayOfWeek = weekday.dayOfWeek;
    local.utcOffset = static_cast<int>(reading - inside);
    out = local;
    return true;
}

bool LocalFieldsToUtc(const TimeFields& fields, std::int64_t& utcSeconds) noexcept {
    // Carry out-of-range fields first, as mktime would, then fold the reading.
    std::int64_t reading = 0;
    UtcFieldsToUtc(fields, reading);
    std::int64_t cycles = 0;
    TimeFields f;
    if (!UtcToUtcFields(Fold(reading, cycles), f)) return false;
    std::int64_t inside = 0;
    {
        std::lock_guard lock(g_zoneLock);
        RefreshZone();
        if (!UtcOfReading(f, inside)) return false;
    }
    utcSeconds = inside + cycles * kSecondsPerCycle;
    return true;
}

}  // namespace vutil::platform
