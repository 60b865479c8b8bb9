#pragma once
// Directories and file attributes. Paths are library paths (see path.h); failures set
// the thread's last error (error.h). Attributes are the Windows bits whatever the host:
// directory from the entry type, read-only from the owner's write permission, hidden
// for a dot name, and hidden/system/archive from the Samba "user.DOSATTRIB" attribute
// when the file carries one.

#include <cstdint>
#include <string>
#include <string_view>

#include "vutil/platform/types.h"

namespace vutil::platform {

enum : DWORD {
    kAttrReadOnly = 0x1,
    kAttrHidden = 0x2,
    kAttrSystem = 0x4,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
    kAttrNormal = 0x80,
    kAttrReparsePoint = 0x400,  // a symbolic link
};
inline constexpr DWORD kInvalidAttributes = 0xFFFFFFFF;

// What a directory listing or a path query tells about one entry. Times are FILETIME
// ticks (100 ns since 1601, UTC).
struct EntryInfo {
    DWORD attributes = 0;
    std::uint64_t size = 0;
    std::uint64_t creationTime = 0, accessTime = 0, writeTime = 0;
    std::uint64_t device = 0, inode = 0;  // identity, for loop detection in walks
};

// Attributes of a path (links followed, with kAttrReparsePoint added for a link), or
// kInvalidAttributes.
DWORD GetAttributes(std::string_view path) noexcept;
// Sets read-only (and, where the file system keeps them, hidden/system/archive).
bool SetAttributes(std::string_view path, DWORD attributes) noexcept;
bool GetEntryInfo(std::string_view path, EntryInfo& info) noexcept;
// The path names something (file or directory).
bool PathExists(std::string_view path) noexcept;

// Directory enumeration, one entry at a time in the order of the file system; "." and
// ".." are reported as the system reports them.
using DirHandle = void*;
DirHandle OpenDirectory(std::string_view dir) noexcept;  // null on failure
// Next entry name; false at the end, which also releases the system's directory stream
// (entry queries still work until CloseDirectory). The type is known without a further query on
// most file systems: isDir/isLink are filled from it (or from lstat when unknown).
bool ReadDirectory(DirHandle h, std::string& name, bool& isDir, bool& isLink) noexcept;
// Full information about an entry of an open directory (links followed).
bool GetDirectoryEntryInfo(DirHandle h, const std::string& name, EntryInfo& info) noexcept;
// Only the hidden/system/archive bits the Samba attribute gives an entry (0 without one).
// plainFile: the entry is neither a directory nor a link, so it lives on the directory's
// own file system; once that file system has said it keeps no user attributes, such
// entries are not asked again.
DWORD GetDirectoryEntryDosBits(DirHandle h, const std::string& name, bool plainFile = false) noexcept;
void CloseDirectory(DirHandle h) noexcept;

bool MakeDirectory(std::string_view path) noexcept;
// Removes an empty directory; a symbolic link to a directory is removed as a link.
bool RemoveEmptyDirectory(std::string_view path) noexcept;
// Removes a file or a symbolic link (never what the link points to).
bool RemoveFile(std::string_view path) noexcept;
// Renames a file or directory; fails when the target exists.
bool MovePath(std::string_view from, std::string_view to) noexcept;

// Creates an empty file named dir + prefix (first three characters) + hexadecimal
// number + ".tmp", exclusively, and returns its path; unique != 0 uses that number
// without creating the file. Empty string on failure.
std::string CreateTempFileName(std::string_view dir, std::string_view prefix, unsigned int unique,
                               unsigned int& used) noexcept;

// The library form of a path: a drive path with backslashes, and a host path
// ("/home/a/") turned into its drive form ("C:\home\a\") through the drive table.
// Relative paths only get backslashes.
std::string LibraryPath(std::string_view path);

// Folder paths in library form, each ending with a backslash; empty when unknown.
std::string SpecialFolderPath(int folderId);  // shell folder ids (CSIDL numbers)
std::string TempDirectoryPath();
std::string WindowsDirectoryPath();
std::string SystemDirectoryPath();
// The long form of a path that exists (here: the path itself), or empty when missing.
std::string LongPathName(std::string_view path);

}  // namespace vutil::platform
