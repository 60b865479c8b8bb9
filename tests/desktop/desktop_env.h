#pragma once
// Environment settings that last for one test, and a private XDG tree.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace vutil::test {

inline void WriteText(const std::filesystem::path& path, const std::string& text, bool executable = false) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    if (executable)
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
}

inline std::string ReadText(const std::filesystem::path& path) { return ReadFileBytes(path.string()); }

// Waits for a file that a detached handler writes; the test's own limit bounds it.
std::string WaitForFile(const std::filesystem::path& path);

}  // namespace vutil::test
