#pragma once
// The clock and the time zone.
//
// Instants are UTC seconds since 1 January 1970 (with a sub-second part where the
// caller wants one) or file times: 100-nanosecond intervals since 1 January 1601.
// Broken-down fields follow the proleptic Gregorian calendar. Local time is the
// process's time zone, re-read before every conversion so a changed TZ takes effect.
//
// Every "now" and "today" in the library goes through Now(); tests pin it to a fixed
// instant so relative dates come out the same on every run.

#include <cstdint>
#include <optional>

namespace vutil::platform {

struct Instant {
    std::int64_t seconds = 0;      // UTC seconds since 1970
    std::int32_t nanoseconds = 0;  // 0 ... 999999999, added to seconds
};

// Calendar fields of an instant, UTC or local.
struct TimeFields {
    int year = 0;          // full year
    int month = 0;         // 1 ... 12
    int day = 0;           // 1 ... 31
    int hour = 0;          // 0 ... 23
    int minute = 0;        // 0 ... 59
    int second = 0;        // 0 ... 59 (60 only if the zone data has leap seconds)
    int millisecond = 0;   // 0 ... 999
    int dayOfWeek = 0;     // 0 = Sunday ... 6 = Saturday
    int utcOffset = 0;     // seconds east of UTC in effect at the instant (0 for UTC fields)
};

// The current instant: the system clock, or the pinned instant when one is set.
Instant Now() noexcept;

// Pins Now() to a fixed UTC second (sub-second part 0); nullopt releases the pin.
void PinClock(std::optional<std::int64_t> utcSeconds) noexcept;
std::optional<std::int64_t> PinnedClock() noexcept;

// Pins the clock for one scope and restores the previous pin after it.
class ScopedClockPin {
public:
    explicit ScopedClockPin(std::int64_t utcSeconds) noexcept : m_previous(PinnedClock()) { PinClock(utcSeconds); }
    ~ScopedClockPin() { PinClock(m_previous); }
    ScopedClockPin(const ScopedClockPin&) = delete;
    ScopedClockPin& operator=(const ScopedClockPin&) = delete;

private:
    std::optional<std::int64_t> m_previous;
};

// Seconds since 1970 to calendar fields. False when the zone conversion fails or the
// year does not fit an int.
bool UtcToLocalFields(std::int64_t utcSeconds, TimeFields& out) noexcept;
bool UtcToUtcFields(std::int64_t utcSeconds, TimeFields& out) noexcept;
// Calendar fields back to seconds since 1970. Local fields go through the zone rules
// (a time in a skipped hour is normalised, as the C library does); UTC fields are pure
// arithmetic. Fields out of range are normalised by carrying, not rejected.
bool LocalFieldsToUtc(const TimeFields& fields, std::int64_t& utcSeconds) noexcept;
bool UtcFieldsToUtc(const TimeFields& fields, std::int64_t& utcSeconds) noexcept;

// Milliseconds of a monotonic clock, wrapping at 2^32 (about 49.7 days); only
// differences mean anything. Not affected by PinClock or by changes of the wall clock.
std::uint32_t TickCountMilliseconds() noexcept;

// The current local time (through Now()).
bool LocalNow(TimeFields& out) noexcept;

// File times. Values at or above 2^63 are rejected, as the system does.
inline constexpr std::int64_t kFileTimeTicksPerSecond = 10000000;
inline constexpr std::int64_t kFileTimeUnixEpoch = 116444736000000000;  // 1970-01-01 as a file time
// UTC file time to local file time with the zone's offset in effect at that instant,
// and back (the offset is found for the local reading, as mktime does).
bool FileTimeToLocalFileTime(std::uint64_t utc, std::uint64_t& local) noexcept;
bool LocalFileTimeToFileTime(std::uint64_t local, std::uint64_t& utc) noexcept;
// A file time to its calendar fields without zone conversion, and back. Years outside
// 1601 ... 30827 are rejected.
bool FileTimeToFields(std::uint64_t fileTime, TimeFields& out) noexcept;
bool FieldsToFileTime(const TimeFields& fields, std::uint64_t& fileTime) noexcept;

}  // namespace vutil::platform
