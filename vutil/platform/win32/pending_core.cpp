// Placeholders for the core part of the Windows backend until it is written: each
// fails with ERROR_CALL_NOT_IMPLEMENTED. Remove this file with the real one.
#include "vutil/platform/win32/win32_util.h"
#include "vutil/platform/error.h"
#include "vutil/platform/path.h"
#include "vutil/platform/file.h"
#include "vutil/platform/random.h"
#include "vutil/platform/terminal.h"
#include "vutil/platform/system.h"
#include "vutil/platform/clock.h"
#include "vutil/platform/locale.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace vutil::platform {

DWORD GetLastErrorCode() noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
void SetLastErrorCode(DWORD code) noexcept {}
DWORD ErrnoToError(int err, ErrorContext context ) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
DWORD SetLastErrorFromErrno(int err, ErrorContext context ) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
int ErrorToErrno(DWORD code) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string GetErrorMessage(DWORD code) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::optional<std::string> ToHostPath(std::string_view path) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string FromHostPath(std::string_view hostPath) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
void ReloadDriveTable() {}
FileHandle OpenFile(std::string_view path, unsigned flags) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return kInvalidFile; }
std::int64_t ReadFile(FileHandle h, void* buffer, std::size_t count) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return -1; }
std::int64_t WriteFile(FileHandle h, const void* buffer, std::size_t count) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return -1; }
std::int64_t SeekFile(FileHandle h, std::int64_t offset, SeekOrigin origin) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return -1; }
std::int64_t GetFileSize(FileHandle h) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return -1; }
bool SetFileSize(FileHandle h, std::int64_t size) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool FlushFile(FileHandle h) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool CloseFile(FileHandle h) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool RenameReplacing(std::string_view from, std::string_view to) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
RandomSource OpenRandomSource() noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
void CloseRandomSource(RandomSource source) noexcept {}
bool FillRandom(RandomSource source, void* buffer, std::size_t size) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool StreamIsTerminal(StdStream stream) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool QueryOSVersion(unsigned int& major, unsigned int& minor) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool QueryWheelScrollLines(int& lines) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool QueryVirtualScreenSize(int& width, int& height) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool QueryIconSize(bool small, int& width, int& height) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
short QueryKeyState(int virtualKey) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string UserAppDataFolder() { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
void SetSystemOverridesForTesting(const SystemOverrides* overrides) {}
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
