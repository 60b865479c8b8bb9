#pragma once
// Acting on whole files: safe copies, the desktop's trash and recent documents, file
// times, the attribute bits a file system keeps beside the mode, mapped views, and a few
// questions about the running program. Paths are library paths (see path.h); every
// failure sets the thread's last error (error.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "vutil/framework/types.h"
#include "vutil/platform/file.h"

namespace vutil::platform {

// Copies source over target without ever exposing a partial target: the bytes go to a
// temporary file beside the target, which is flushed and then renamed into place. The
// copy keeps the source's permission bits and modification time. On failure an existing
// target is untouched and the temporary file is gone.
bool CopyFileSafely(std::string_view source, std::string_view target) noexcept;

// Replaces a file's contents the same way (temporary file, flush, rename).
bool ReplaceFileContents(std::string_view path, std::string_view bytes) noexcept;

// Both paths on one file system (false when either cannot be asked).
bool SameFileSystem(std::string_view a, std::string_view b) noexcept;

// Sets the access and modification times (file times: 100 ns since 1601, UTC). The
// creation time is kept where the file system allows it to be set.
bool SetFileTimes(std::string_view path, std::uint64_t creation, std::uint64_t access,
                  std::uint64_t write) noexcept;

// Stores hidden, system and archive in the Samba "user.DOSATTRIB" attribute; other bits
// are ignored. Fails (kErrorNotSupported) where the file system keeps no such attribute.
bool SetDosAttributeBits(std::string_view path, DWORD bits) noexcept;

// Moves a file into the user's trash, where a desktop lists and restores it: the
// freedesktop.org Trash in the home, or the volume's own .Trash-<uid> when the file is on
// another file system. deletionTime is the local time as "YYYY-MM-DDThh:mm:ss".
bool MoveToTrash(std::string_view path) noexcept;

// Adds the file to the desktop's recent documents (recently-used.xbel).
bool AddRecentDocument(std::string_view path) noexcept;

// Expands %NAME% references from the environment; unknown names stay as written.
std::string ExpandEnvironmentText(std::string_view text);

// Maps length bytes of an open file from offset 0 (read-only unless writable); null on
// failure. Views are released with UnmapFileView, which knows each view's length.
void* MapFileView(FileHandle h, std::size_t length, bool writable) noexcept;
bool UnmapFileView(void* view) noexcept;

// The running program's file in library form ("C:\opt\app\bin\app"), empty when unknown.
std::string HostProgramPath();

// Marks a file for deletion at the next restart; no such service here (kErrorNotSupported).
bool DeleteFileAtRestart(std::string_view path) noexcept;

}  // namespace vutil::platform
