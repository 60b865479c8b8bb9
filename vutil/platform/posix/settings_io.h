#pragma once
// The store file on disk: safe reads of a file others may have planted, and the
// atomic replacement that every change goes through. Internal to the POSIX backend.

#include <sys/stat.h>

#include <cstddef>
#include <string>

#include "vutil/platform/error.h"  // DWORD and the codes

namespace vutil::platform::settings {

// A larger store is a damaged one; reading it whole would cost the process its memory.
inline constexpr std::size_t kMaxStoreBytes = std::size_t{64} << 20;

// What identifies one version of the file without reading it.
struct Stamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};
    bool operator==(const Stamp& o) const;
};
Stamp MakeStamp(const struct stat& st);
// 0 with a stamp (exists false when there is no file), or the error of stat.
DWORD StatStore(const std::string& path, Stamp& stamp);

// Reads the whole store. 0 (no file: empty bytes, stamp.exists false), 1016 for
// anything but a regular file (a FIFO must not hang us), 1015 past kMaxStoreBytes,
// or the mapped errno. *mode receives the file's permission bits.
DWORD ReadStoreFile(const std::string& path, std::string& bytes, Stamp& stamp, mode_t* mode = nullptr);

// The file a write replaces: the store path itself, or the end of the chain of
// symbolic links at it, so the link survives and its target gets the new text.
DWORD ResolveWriteTarget(const std::string& path, std::string& target);

// 5 when users other than the owner can plant files in the folder (writable by
// others and not sticky): they could swap the file or its temporary under us.
DWORD CheckFolder(const std::string& folder);

std::string FolderOf(const std::string& path);

// Creates the folders of a host file path that are missing, private to the user.
void MakeParentFolders(const std::string& file);

// Temporary files of writers that died before their rename. Only the lock holder
// writes one, so under the lock every one found is stale.
void RemoveStaleTemporaries(const std::string& target);

// Writes text to a fresh, exclusively created temporary file with an unpredictable
// name beside target, flushes it, renames it over target and flushes the folder.
// 0 or the mapped errno; on failure target is untouched and the temporary is gone.
DWORD ReplaceStoreFile(const std::string& target, const std::string& text, mode_t mode);

}  // namespace vutil::platform::settings
