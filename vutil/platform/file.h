#pragma once
// Files by handle. Paths are library paths (see path.h). Every failure sets the
// thread's last error (error.h) and returns an invalid handle or -1.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vutil::platform {

using FileHandle = std::intptr_t;
inline constexpr FileHandle kInvalidFile = -1;

enum FileOpenFlags : unsigned {
    kFileRead = 0x1,
    kFileWrite = 0x2,
    kFileCreate = 0x4,     // create when missing
    kFileTruncate = 0x8,   // with kFileCreate: empty an existing file
    kFileExclusive = 0x10  // with kFileCreate: fail when the file exists
};

enum class SeekOrigin { kBegin, kCurrent, kEnd };

FileHandle OpenFile(std::string_view path, unsigned flags) noexcept;
// Reads up to count bytes; returns the number read (0 at end) or -1.
std::int64_t ReadFile(FileHandle h, void* buffer, std::size_t count) noexcept;
// Writes all count bytes or fails; returns count or -1.
std::int64_t WriteFile(FileHandle h, const void* buffer, std::size_t count) noexcept;
// Returns the new position or -1.
std::int64_t SeekFile(FileHandle h, std::int64_t offset, SeekOrigin origin) noexcept;
std::int64_t GetFileSize(FileHandle h) noexcept;
bool SetFileSize(FileHandle h, std::int64_t size) noexcept;
bool FlushFile(FileHandle h) noexcept;
bool CloseFile(FileHandle h) noexcept;
// Renames a file over another in one step: readers see the old file or the new one,
// never a part. Both paths must be on one volume.
bool RenameReplacing(std::string_view from, std::string_view to) noexcept;

}  // namespace vutil::platform
