#pragma once
// Test scaffolding for drives: a drive table, and a
// fake /proc, /sys and /dev under a system root.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "vutil/platform/path.h"
#include "vutil/platform/system.h"
#include "support/test_support.h"

namespace vutil::test {

// VUTIL_DRIVES for the object's lifetime; the table is re-read on both ends.
class ScopedDrives {
public:
    explicit ScopedDrives(const std::string& table) : m_env("VUTIL_DRIVES", table) { platform::ReloadDriveTable(); }

private:
    // Destroyed after the variable is restored.
    struct Reload {
        ~Reload() { platform::ReloadDriveTable(); }
    } m_reload;
    ScopedEnv m_env;
};

// Answers volume questions from a fake tree while it lives.
class ScopedSystemRoot {
public:
    explicit ScopedSystemRoot(const std::filesystem::path& root) {
        platform::SystemOverrides o;
        o.systemRoot = root.string();
        platform::SetSystemOverridesForTesting(&o);
    }
    ~ScopedSystemRoot() { platform::SetSystemOverridesForTesting(nullptr); }
    ScopedSystemRoot(const ScopedSystemRoot&) = delete;
    ScopedSystemRoot& operator=(const ScopedSystemRoot&) = delete;
};

// A symbolic link at `at` with the relative target sysfs and udev use.
inline void Link(const std::filesystem::path& at, const std::filesystem::path& target) {
    std::filesystem::create_directories(at.parent_path());
    std::filesystem::create_symlink(std::filesystem::relative(target, at.parent_path()), at);
}

}  // namespace vutil::test
