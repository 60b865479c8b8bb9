#pragma once
// Writing files beneath a destination folder without ever leaving it: every level is
// opened relative to the one above and no symbolic link is followed, so a link planted
// inside the destination cannot redirect a write elsewhere. Files are written under a
// temporary name and renamed into place, so a failed write leaves nothing behind.
// Handles are FileHandle values (file.h) and are closed with CloseFile.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vutil/platform/dir.h"
#include "vutil/platform/file.h"

namespace vutil::platform {

// Opens an existing folder (links followed: the caller chose it), or kInvalidFile.
FileHandle OpenFolder(std::string_view path) noexcept;
// Opens (creating each missing level when create is set) the folder reached from dir
// through parts; a part that is a link, "." or ".." or holds a separator fails.
FileHandle OpenFolderBeneath(FileHandle dir, const std::vector<std::string>& parts, bool create) noexcept;
// Creates a new empty file for writing in dir under a fresh temporary name.
FileHandle CreateTempFileIn(FileHandle dir, std::string& tempName) noexcept;
// Renames tempName over name inside dir (an existing file or link is replaced, never
// followed); false leaves tempName in place for the caller to remove.
bool CommitFileIn(FileHandle dir, const std::string& tempName, const std::string& name) noexcept;
bool RemoveFileIn(FileHandle dir, const std::string& name) noexcept;
// Sets a file's last-write (and access) time; FILETIME ticks (UTC).
bool SetFileWriteTime(FileHandle h, std::uint64_t fileTime) noexcept;
// What an open handle is: a regular disk file (diskFile) or something else, with the
// attribute bits (read-only, directory) and times that the handle alone can give.
bool GetHandleInfo(FileHandle h, EntryInfo& info, bool& diskFile) noexcept;

}  // namespace vutil::platform
