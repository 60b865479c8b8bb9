// Placeholders for the core (errors, paths, files, random, terminal, system) part of the Windows backend until it is written: each
// fails with ERROR_CALL_NOT_IMPLEMENTED. Remove this file with the real one.
#include "vutil/platform/win32/win32_util.h"
#include "vutil/platform/error.h"
#include "vutil/platform/path.h"
#include "vutil/platform/file.h"
#include "vutil/platform/random.h"
#include "vutil/platform/terminal.h"
#include "vutil/platform/system.h"

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

}  // namespace vutil::platform
