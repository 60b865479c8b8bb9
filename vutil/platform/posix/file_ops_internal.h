#pragma once
// Pieces the file-operation sources of the POSIX backend share. Internal to the backend.

#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "vutil/platform/dir.h"
#include "vutil/platform/posix/fd.h"

namespace vutil::platform::posix {

// The host path of a library path without trailing slashes; false (last error set) when
// the drive table cannot place it.
bool HostOf(std::string_view path, std::string& host);
std::string ParentOf(const std::string& host);
std::string BaseOf(const std::string& host);
void SyncDirectory(const std::string& dir);

// File times (100 ns ticks since 1601, UTC) and back; a time before 1601 reads as 0.
std::uint64_t FileTimeOf(const struct timespec& ts);
struct timespec TimespecOf(std::uint64_t fileTime);
// Size (regular files only), times and identity of a stat result; attributes are left to the caller.
void FillEntryInfo(const struct stat& st, EntryInfo& info);

// A temporary file beside a target, removed unless committed by rename.
class TempFile {
public:
    TempFile() = default;
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool Create(const std::string& target);
    // Records err as the last error and returns false.
    bool Fail(int err);
    // Flushes, closes and renames over the target.
    bool Commit();

    FileDescriptor fd;

private:
    std::string m_path, m_target;
};

// Writes bytes over host through a temporary file; like gives mode and times to keep.
bool WriteReplacing(const std::string& host, std::string_view bytes, const struct stat* like);

}  // namespace vutil::platform::posix
