#pragma once
// The parsed store kept in memory, refreshed when the file changes, and the one
// path by which every change reaches the file. Internal to the POSIX backend.

#include <functional>
#include <mutex>
#include <string>

#include "vutil/platform/settings_file_internal.h"
#include "vutil/platform/posix/settings_io.h"

namespace vutil::platform::settings {

class Store {
public:
    // Brings the cache up to date with the file: 0, or the error that left the cache
    // empty (and the store unreadable until the file is fixed).
    DWORD Refresh();

    Tree& tree() noexcept { return m_tree; }

    // Under the file lock: reads the freshest file, lets change edit the tree (it
    // sets changed when it did, and answers 0 or an error code) and writes the
    // result through a temporary file and a rename. 0 or an error code.
    DWORD Modify(const std::function<DWORD(Tree&, bool& changed)>& change);

    // Forgets the cache, for when a failure may have left it unlike the file.
    void Invalidate() noexcept { m_loaded = false; }

private:
    void Follow(const std::string& path);
    void Reset(bool clean);
    void Adopt(std::string bytes, const Stamp& stamp);

    std::string m_path;
    Tree m_tree;
    std::string m_raw;  // the file bytes the tree was parsed from
    Stamp m_stamp;
    bool m_loaded = false;
};

// The one store of the process and the lock every Settings* call holds.
Store& TheStore();
std::mutex& StoreMutex();

}  // namespace vutil::platform::settings
