// Placeholders for the files part of the Windows backend until it is written: each
// fails with ERROR_CALL_NOT_IMPLEMENTED. Remove this file with the real one.
#include "vutil/platform/win32/win32_util.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/dir_attrib.h"
#include "vutil/platform/file_ops.h"
#include "vutil/platform/file_tree.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace vutil::platform {

DWORD GetAttributes(std::string_view path) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return kInvalidAttributes; }
bool SetAttributes(std::string_view path, DWORD attributes) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool GetEntryInfo(std::string_view path, EntryInfo& info) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool PathExists(std::string_view path) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
DirHandle OpenDirectory(std::string_view dir) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool ReadDirectory(DirHandle h, std::string& name, bool& isDir, bool& isLink) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool GetDirectoryEntryInfo(DirHandle h, const std::string& name, EntryInfo& info) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
DWORD GetDirectoryEntryDosBits(DirHandle h, const std::string& name, bool plainFile ) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
void CloseDirectory(DirHandle h) noexcept {}
bool MakeDirectory(std::string_view path) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool RemoveEmptyDirectory(std::string_view path) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool RemoveFile(std::string_view path) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool MovePath(std::string_view from, std::string_view to) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string CreateTempFileName(std::string_view dir, std::string_view prefix, unsigned int unique, unsigned int& used) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string LibraryPath(std::string_view path) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string SpecialFolderPath(int folderId) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string TempDirectoryPath() { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string WindowsDirectoryPath() { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string SystemDirectoryPath() { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string LongPathName(std::string_view path) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
DWORD ParseDosAttrib(std::string_view blob) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool CopyFileSafely(std::string_view source, std::string_view target) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool ReplaceFileContents(std::string_view path, std::string_view bytes) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool SameFileSystem(std::string_view a, std::string_view b) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool SetFileTimes(std::string_view path, std::uint64_t creation, std::uint64_t access, std::uint64_t write) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool SetDosAttributeBits(std::string_view path, DWORD bits) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool MoveToTrash(std::string_view path) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool AddRecentDocument(std::string_view path) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string ExpandEnvironmentText(std::string_view text) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
void* MapFileView(FileHandle h, std::size_t length, bool writable) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool UnmapFileView(void* view) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string HostProgramPath() { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool DeleteFileAtRestart(std::string_view path) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
FileHandle OpenFolder(std::string_view path) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return kInvalidFile; }
FileHandle OpenFolderBeneath(FileHandle dir, const std::vector<std::string>& parts, bool create) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return kInvalidFile; }
FileHandle CreateTempFileIn(FileHandle dir, std::string& tempName) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return kInvalidFile; }
bool CommitFileIn(FileHandle dir, const std::string& tempName, const std::string& name) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool RemoveFileIn(FileHandle dir, const std::string& name) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool SetFileWriteTime(FileHandle h, std::uint64_t fileTime) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool GetHandleInfo(FileHandle h, EntryInfo& info, bool& diskFile) noexcept { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }

}  // namespace vutil::platform
