// Placeholders for the clock and locale part of the Windows backend until it is written: each
// fails with ERROR_CALL_NOT_IMPLEMENTED. Remove this file with the real one.
#include "vutil/platform/win32/win32_util.h"
#include "vutil/platform/clock.h"
#include "vutil/platform/locale.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace vutil::platform {

Instant Now() noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
void PinClock(std::optional<std::int64_t> utcSeconds) noexcept {}
std::optional<std::int64_t> PinnedClock() noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool UtcToLocalFields(std::int64_t utcSeconds, TimeFields& out) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool UtcToUtcFields(std::int64_t utcSeconds, TimeFields& out) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool LocalFieldsToUtc(const TimeFields& fields, std::int64_t& utcSeconds) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool UtcFieldsToUtc(const TimeFields& fields, std::int64_t& utcSeconds) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::uint32_t TickCountMilliseconds() noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool LocalNow(TimeFields& out) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool FileTimeToLocalFileTime(std::uint64_t utc, std::uint64_t& local) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool LocalFileTimeToFileTime(std::uint64_t local, std::uint64_t& utc) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool FileTimeToFields(std::uint64_t fileTime, TimeFields& out) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool FieldsToFileTime(const TimeFields& fields, std::uint64_t& fileTime) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
int QueryLocaleText(DWORD type, char* buffer, int size) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool QueryLocaleNumber(DWORD type, unsigned int& value) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string LocaleName() { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
unsigned int LocaleGeneration() { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }

}  // namespace vutil::platform
