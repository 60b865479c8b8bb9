// Placeholders for the desktop part of the Windows backend until it is written: each
// fails with ERROR_CALL_NOT_IMPLEMENTED. Remove this file with the real one.
#include "vutil/platform/win32/win32_util.h"
#include "vutil/platform/process.h"
#include "vutil/platform/desktop.h"
#include "vutil/platform/clipboard.h"
#include "vutil/platform/volume.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace vutil::platform {

bool StartProcess(const std::vector<std::string>& argv, std::string_view dir, ProcessId& pid) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool WaitForProcess(ProcessId pid, std::uint32_t& exitCode) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool ReapIfExited(ProcessId pid, std::uint32_t& exitCode) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string FindProgram(std::string_view name) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::optional<DesktopApp> AppForExtension(std::string_view extension, std::string_view verb) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::optional<DesktopApp> DefaultBrowser() { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
DWORD OpenWithHandler(std::string_view target, std::string_view parameters, std::string_view dir, std::string_view verb) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::vector<TopWindow> ListTopWindows() { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string WindowTitle(std::uintptr_t id) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool ClipboardPublish(const ClipboardFormats& formats) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::optional<std::string> ClipboardRead(std::string_view format) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string DriveLetters() { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
unsigned int QueryDriveKind(char letter) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool QueryVolumeFacts(char letter, VolumeFacts& facts) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool QueryDiskSpace(char letter, std::uint64_t& freeToCaller, std::uint64_t& total) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool QueryClusterGeometry(char letter, std::uint32_t& sectorsPerCluster, std::uint32_t& bytesPerSector) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool QueryDiskFacts(char letter, DiskFacts& facts) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::vector<TrashFolder> UserTrashFolders(const std::string& driveLetters) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }

}  // namespace vutil::platform
