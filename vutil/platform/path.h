#pragma once
// Windows path syntax to host paths.
//
// The library speaks Windows paths ("C:\dir\file.txt", "\\server\share", "dir/x").
// A drive prefix maps through the drive table: "C:" is "/" unless VUTIL_DRIVES says
// otherwise ("D=/mnt/data;E=/media/usb"). A path that starts with a separator is a
// host absolute path. Backslashes become slashes.

#include <optional>
#include <string>
#include <string_view>

namespace vutil::platform {

// The host path for a library path. An unknown drive letter gives no path (the
// caller reports "path not found").
std::optional<std::string> ToHostPath(std::string_view path);

// The library form of a host path: the drive whose root is the longest prefix of the
// path, backslashes as separators ("/home/a" -> "C:\home\a").
std::string FromHostPath(std::string_view hostPath);

// Re-reads VUTIL_DRIVES (tests change it between cases).
void ReloadDriveTable();

}  // namespace vutil::platform
