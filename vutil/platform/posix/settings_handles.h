#pragma once
// Open key handles: each names a key by its path from the root, so a handle outlives
// re-reads of the file and notices when its key was deleted. Internal to the POSIX
// backend; callers hold StoreMutex().

#include <string>
#include <string_view>
#include <vector>

#include "vutil/platform/settings_file_internal.h"

namespace vutil::platform::settings {

struct KeyHandle {
    std::vector<std::string> path;  // root name first
    DWORD access = 0;
};

// The file's name of a root handle, or null for anything else.
const char* RootName(HKEY root) noexcept;

// The full path of a handle plus a relative sub-key path, and the handle's access
// (roots allow everything). 0 or an error code.
DWORD ResolvePath(HKEY key, std::string_view subKey, std::vector<std::string>& path, DWORD* access);

// The key at path in tree, or null; roots always exist, whether or not the file
// names them.
Key* Walk(Tree& tree, const std::vector<std::string>& path);

HKEY NewHandle(std::vector<std::string> path, DWORD access);
void DeleteHandle(HKEY key) noexcept;

}  // namespace vutil::platform::settings
