#include "vutil/platform/posix/settings_store.h"

#include "vutil/platform/error.h"
#include "vutil/platform/posix/settings_lock.h"
#include "vutil/platform/settings.h"

namespace vutil::platform::settings {

Store& TheStore() {
    static Store* store = new Store;  // lives until unload; handles may outlive statics
    return *store;
}

std::mutex& StoreMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

void Store::Follow(const std::string& path) {
    if (path != m_path) {
        m_path = path;
        m_loaded = false;
    }
}

void Store::Reset(bool clean) {
    m_tree = Tree{};
    m_tree.clean = clean;
    m_raw.clear();
    m_stamp = Stamp{};
    m_loaded = false;
}

void Store::Adopt(std::string bytes, const Stamp& stamp) {
    Reset(true);
    m_raw = std::move(bytes);
    Parse(m_raw, m_tree);
    m_stamp = stamp;
    m_loaded = true;
}

DWORD Store::Refresh() {
    Follow(SettingsLocation());
    Stamp now;
    if (DWORD err = StatStore(m_path, now)) {
        Reset(false);
        return err;
    }
    if (m_loaded && now == m_stamp) return 0;
    std::string bytes;
    Stamp stamp;
    if (DWORD err = ReadStoreFile(m_path, bytes, stamp)) {
        Reset(false);
        return err;
    }
    Adopt(std::move(bytes), stamp);
    return 0;
}

DWORD Store::Modify(const std::function<DWORD(Tree&, bool& changed)>& change) {
    Follow(SettingsLocation());
    MakeParentFolders(m_path);
    std::string target;
    if (DWORD err = ResolveWriteTarget(m_path, target)) return err;
    if (DWORD err = CheckFolder(FolderOf(target))) return err;
    StoreLock lock;
    if (DWORD err = lock.Acquire(target + ".lock")) return err;
    RemoveStaleTemporaries(target);

    // Under the lock the file's bytes decide, not its stamp: a rewrite within one
    // clock tick may reuse the inode number and the size.
    std::string current;
    Stamp stamp;
    mode_t mode = 0;
    if (DWORD err = ReadStoreFile(target, current, stamp, &mode)) return err;
    if (!m_loaded || current != m_raw || stamp.exists != m_stamp.exists) Adopt(std::move(current), stamp);
    if (!m_tree.clean) return kErrorRegistryCorrupt;

    bool changed = false;
    DWORD rc = change(m_tree, changed);
    if (rc != 0 || !changed) return rc;
    m_loaded = false;  // the tree now holds a change the file does not, yet
    // A store the user made read-only stays as it is, as the file system would keep it.
    if (stamp.exists && !(mode & S_IWUSR)) return kErrorAccessDenied;
    std::string text = Serialize(m_tree);
    if (DWORD err = ReplaceStoreFile(target, text, stamp.exists ? (mode & 0777) : 0600)) return err;
    m_raw = std::move(text);
    // The rename touched the inode's change time; the stamp must be the one readers
    // will see. No writer can come between: we hold the lock.
    m_loaded = StatStore(m_path, m_stamp) == 0 && m_stamp.exists;
    return 0;
}

}  // namespace vutil::platform::settings
