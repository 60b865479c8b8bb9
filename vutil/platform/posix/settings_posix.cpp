// The settings store on POSIX: one export-format file, cached in memory and
// re-read when its stat stamp changes; every change rewrites the file through a
// temporary file and a rename, under an advisory lock on "<file>.lock".

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "vutil/platform/error.h"
#include "vutil/platform/posix/settings_file.h"
#include "vutil/platform/settings.h"

namespace vutil::platform {

namespace {

using settings::Key;
using settings::Tree;

struct KeyHandle {
    std::vector<std::string> path;  // root name first
    DWORD access = 0;
};

const char* RootName(HKEY root) {
    switch (reinterpret_cast<std::uintptr_t>(root)) {
        case 0x80000000u: return "HKEY_CLASSES_ROOT";
        case 0x80000001u: return "HKEY_CURRENT_USER";
        case 0x80000002u: return "HKEY_LOCAL_MACHINE";
        case 0x80000003u: return "HKEY_USERS";
        case 0x80000005u: return "HKEY_CURRENT_CONFIG";
        default: return nullptr;
    }
}

struct Stamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};
    bool operator==(const Stamp& o) const {
        return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size &&
               mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
               ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

Stamp MakeStamp(const struct stat& st) {
    Stamp s;
    s.exists = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime = st.st_mtim;
    s.ctime = st.st_ctim;
    return s;
}

LONG Fail(DWORD code) {
    SetLastErrorCode(code);
    return static_cast<LONG>(code);
}

LONG FailErrno(int err) { return Fail(ErrnoToError(err)); }

LONG Ok() {
    SetLastErrorCode(kErrorSuccess);
    return 0;
}

// Reads a whole file; errno-style result (0, or the errno of the failure).
int ReadAll(int fd, std::string& out) {
    out.clear();
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        out.append(buf, static_cast<std::size_t>(n));
    }
}

int WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Creates the directories of a host path, like "mkdir -p" of its parent.
void MakeParentDirs(const std::string& file) {
    for (std::size_t i = 1; i < file.size(); ++i) {
        if (file[i] != '/') continue;
        std::string dir = file.substr(0, i);
        ::mkdir(dir.c_str(), 0700);
    }
}

class Store {
public:
    // Brings the cache up to date with the file. 0, or the error that left the
    // cache empty and the store read-only.
    DWORD Refresh() {
        std::string path = SettingsLocation();
        if (path != m_path) {
            m_path = path;
            m_loaded = false;
        }
        struct stat st {};
        Stamp now;
        if (::stat(m_path.c_str(), &st) == 0) {
            now = MakeStamp(st);
        } else if (errno != ENOENT) {
            Reset(false);
            return ErrnoToError(errno);
        }
        if (m_loaded && now == m_stamp) return m_loadError;
        return Load();
    }

    Tree& tree() { return m_tree; }

    // Applies change to the freshest tree under the file lock and writes the result.
    template <typename Change>
    LONG Modify(Change&& change) {
        std::string path = SettingsLocation();
        if (path != m_path) {
            m_path = path;
            m_loaded = false;
        }
        MakeParentDirs(m_path);
        std::string lockPath = m_path + ".lock";
        int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lockFd < 0) return FailErrno(errno);
        while (::flock(lockFd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                int err = errno;
                ::close(lockFd);
                return FailErrno(err);
            }
        }
        LONG rc = ModifyLocked(change);
        ::flock(lockFd, LOCK_UN);
        ::close(lockFd);
        return rc;
    }

private:
    void Reset(bool clean) {
        m_tree = Tree{};
        m_tree.clean = clean;
        m_raw.clear();
        m_loaded = false;
    }

    DWORD Load() {
        Reset(true);
        int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT) {
                m_stamp = Stamp{};
                m_loaded = true;
                m_loadError = 0;
                return 0;
            }
            DWORD code = ErrnoToError(errno);
            m_tree.clean = false;
            return code;
        }
        struct stat st {};
        int err = ::fstat(fd, &st) == 0 ? ReadAll(fd, m_raw) : errno;
        ::close(fd);
        if (err != 0) {
            Reset(false);
            return ErrnoToError(err);
        }
        settings::Parse(m_raw, m_tree);
        m_stamp = MakeStamp(st);
        m_loaded = true;
        m_loadError = 0;
        return 0;
    }

    template <typename Change>
    LONG ModifyLocked(Change& change) {
        // Under the lock the file's bytes decide, not its stamp: a rewrite within one
        // clock tick may reuse the inode number and the size.
        std::string current;
        bool exists = false;
        struct stat st {};
        int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            exists = true;
            int err = ::fstat(fd, &st) == 0 ? ReadAll(fd, current) : errno;
            ::close(fd);
            if (err != 0) return FailErrno(err);
        } else if (errno != ENOENT) {
            return FailErrno(errno);
        }
        if (!m_loaded || current != m_raw || (exists != m_stamp.exists)) {
            Reset(true);
            m_raw = std::move(current);
            settings::Parse(m_raw, m_tree);
            m_stamp = exists ? MakeStamp(st) : Stamp{};
            m_loaded = true;
            m_loadError = 0;
        }
        if (!m_tree.clean) return Fail(kErrorRegistryCorrupt);

        bool changed = false;
        LONG rc = change(m_tree, changed);
        if (rc != 0 || !changed) return rc == 0 ? Ok() : Fail(static_cast<DWORD>(rc));

        std::string text = settings::Serialize(m_tree);
        std::string tmp = m_path + ".tmp." + std::to_string(::getpid());
        mode_t mode = exists ? (st.st_mode & 07777) : 0600;
        int out = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
        int err = out < 0 ? errno : 0;
        if (out >= 0) {
            if (exists) ::fchmod(out, mode);
            err = WriteAll(out, text);
            if (err == 0 && ::fsync(out) != 0) err = errno;
            struct stat written {};
            if (err == 0 && ::fstat(out, &written) == 0) st = written;
            if (::close(out) != 0 && err == 0) err = errno;
            if (err == 0 && ::rename(tmp.c_str(), m_path.c_str()) != 0) err = errno;
            if (err != 0) ::unlink(tmp.c_str());
        }
        if (err != 0) {
            m_loaded = false;  // the tree holds a change the file does not
            return FailErrno(err);
        }
        m_raw = std::move(text);
        // The rename touched the inode's change time; the stamp must be the one
        // readers will see. No writer can come between: we hold the lock.
        if (::stat(m_path.c_str(), &st) == 0) m_stamp = MakeStamp(st);
        else m_loaded = false;
        return Ok();
    }

    std::string m_path;
    Tree m_tree;
    std::string m_raw;  // the file bytes the tree was parsed from
    Stamp m_stamp;
    bool m_loaded = false;
    DWORD m_loadError = 0;
};

std::mutex g_storeLock;
Store& TheStore() {
    static Store* store = new Store;  // lives until unload; handles may outlive statics
    return *store;
}

bool IsRoot(HKEY key) { return RootName(key) != nullptr; }

// The full component path of a handle plus a relative sub-key path.
LONG ResolvePath(HKEY key, std::string_view subKey, std::vector<std::string>& path, DWORD* access) {
    if (!key) return Fail(kErrorInvalidHandle);
    if (const char* root = RootName(key)) {
        path.assign(1, root);
        if (access) *access = kKeyAllAccess;
    } else {
        auto* h = reinterpret_cast<KeyHandle*>(key);
        path = h->path;
        if (access) *access = h->access;
    }
    if (!subKey.empty() && subKey.front() == '\\') return Fail(kErrorBadPathname);
    std::vector<std::string_view> parts;
    if (!settings::SplitPath(subKey, parts)) return Fail(kErrorBadPathname);
    if (path.size() + parts.size() > settings::kMaxDepth) return Fail(kErrorBadPathname);
    for (auto p : parts) path.emplace_back(p);
    return 0;
}

Key* Walk(Tree& tree, const std::vector<std::string>& path) {
    Key* k = &tree.top;
    for (std::size_t i = 0; i < path.size() && k; ++i) {
        Key* next = k->Child(path[i]);
        // Roots always exist, whether or not the file names them.
        if (!next && i == 0) next = k->AddChild(path[0], nullptr);
        k = next;
    }
    return k;
}

// Finds the key of an open handle in the fresh tree; 1018 when it has gone.
LONG HandleKey(HKEY key, DWORD needAccess, Key*& out) {
    std::vector<std::string> path;
    DWORD access = 0;
    if (LONG rc = ResolvePath(key, {}, path, &access)) return rc;
    if ((access & needAccess) != needAccess) return Fail(kErrorAccessDenied);
    if (DWORD err = TheStore().Refresh()) return Fail(err);
    out = Walk(TheStore().tree(), path);
    if (!out) return Fail(kErrorKeyDeleted);
    return 0;
}

HKEY NewHandle(std::vector<std::string> path, DWORD access) {
    return reinterpret_cast<HKEY>(new KeyHandle{std::move(path), access});
}

bool ValidName(std::string_view name) {
    return name.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

LONG CopyOut(std::string_view bytes, BYTE* data, DWORD* size) {
    if (data && !size) return Fail(kErrorInvalidParameter);
    if (!size) return 0;
    auto need = static_cast<DWORD>(bytes.size());
    if (data && *size < need) {
        *size = need;
        return Fail(kErrorMoreData);
    }
    if (data && need) std::memcpy(data, bytes.data(), need);
    *size = need;
    return 0;
}

LONG CopyName(std::string_view name, char* buffer, DWORD* size) {
    if (!buffer || !size) return Fail(kErrorInvalidParameter);
    if (name.size() >= *size) {
        return Fail(kErrorMoreData);
    }
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *size = static_cast<DWORD>(name.size());
    return 0;
}

}  // namespace

std::string SettingsLocation() {
    if (const char* env = std::getenv("VUTIL_REGISTRY"); env && *env) return env;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/vutil/registry.reg";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "") + "/.config/vutil/registry.reg";
}

LONG SettingsOpenKey(HKEY root, std::string_view subKey, DWORD access, HKEY* result) {
    if (!result) return Fail(kErrorInvalidParameter);
    *result = nullptr;
    std::lock_guard lock(g_storeLock);
    std::vector<std::string> path;
    if (LONG rc = ResolvePath(root, subKey, path, nullptr)) return rc;
    if (DWORD err = TheStore().Refresh()) return Fail(err);
    if (!Walk(TheStore().tree(), path)) return Fail(kErrorFileNotFound);
    *result = NewHandle(std::move(path), access);
    return Ok();
}

LONG SettingsCreateKey(HKEY root, std::string_view subKey, DWORD access, HKEY* result, bool* created) {
    if (!result) return Fail(kErrorInvalidParameter);
    *result = nullptr;
    if (created) *created = false;
    std::lock_guard lock(g_storeLock);
    std::vector<std::string> path;
    DWORD parentAccess = 0;
    if (LONG rc = ResolvePath(root, subKey, path, &parentAccess)) return rc;
    Store& store = TheStore();
    store.Refresh();
    if (!Walk(store.tree(), path)) {
        if (!(parentAccess & kKeyCreateSubKey)) return Fail(kErrorAccessDenied);
        LONG rc = store.Modify([&](Tree& tree, bool& changed) -> LONG {
            Key* k = &tree.top;
            for (const auto& part : path) {
                bool made = false;
                k = k->AddChild(part, &made);
                changed |= made;
            }
            if (created) *created = changed;
            return 0;
        });
        if (rc != 0) return rc;
    }
    *result = NewHandle(std::move(path), access);
    return Ok();
}

LONG SettingsCloseKey(HKEY key) {
    if (!key) return Fail(kErrorInvalidHandle);
    if (!IsRoot(key)) delete reinterpret_cast<KeyHandle*>(key);
    return Ok();
}

LONG SettingsQueryValue(HKEY key, std::string_view name, DWORD* type, BYTE* data, DWORD* size) {
    std::lock_guard lock(g_storeLock);
    Key* k = nullptr;
    if (LONG rc = HandleKey(key, kKeyQueryValue, k)) return rc;
    const settings::Value* v = k->FindValue(name);
    if (!v) return Fail(kErrorFileNotFound);
    if (type) *type = v->type;
    if (LONG rc = CopyOut(v->data, data, size)) return rc;
    return Ok();
}

LONG SettingsSetValue(HKEY key, std::string_view name, DWORD type, const BYTE* data, DWORD size) {
    if (!ValidName(name) || (!data && size)) return Fail(kErrorInvalidParameter);
    std::lock_guard lock(g_storeLock);
    std::vector<std::string> path;
    DWORD access = 0;
    if (LONG rc = ResolvePath(key, {}, path, &access)) return rc;
    if (!(access & kKeySetValue)) return Fail(kErrorAccessDenied);
    std::string bytes = settings::NormaliseData(type, std::string_view(reinterpret_cast<const char*>(data), size));
    return TheStore().Modify([&](Tree& tree, bool& changed) -> LONG {
        Key* k = Walk(tree, path);
        if (!k) return kErrorKeyDeleted;
        const settings::Value* old = k->FindValue(name);
        if (old && old->type == type && old->data == bytes) return 0;
        k->SetValue(name, type, std::move(bytes));
        changed = true;
        return 0;
    });
}

LONG SettingsDeleteKey(HKEY key, std::string_view subKey) {
    std::lock_guard lock(g_storeLock);
    std::vector<std::string> path;
    if (LONG rc = ResolvePath(key, subKey, path, nullptr)) return rc;
    if (subKey.empty() || path.size() < 2) return Fail(kErrorInvalidParameter);
    Store& store = TheStore();
    store.Refresh();
    Key* target = Walk(store.tree(), path);
    if (!target) return Fail(kErrorFileNotFound);
    // Like the registry: a key with sub-keys of its own is not deleted.
    if (!target->Children().empty()) return Fail(kErrorAccessDenied);
    return store.Modify([&](Tree& tree, bool& changed) -> LONG {
        std::vector<std::string> parentPath(path.begin(), path.end() - 1);
        Key* parent = Walk(tree, parentPath);
        Key* k = parent ? parent->Child(path.back()) : nullptr;
        if (!k) return kErrorFileNotFound;
        if (!k->Children().empty()) return kErrorAccessDenied;
        parent->RemoveChild(path.back());
        changed = true;
        return 0;
    });
}

LONG SettingsDeleteValue(HKEY key, std::string_view name) {
    std::lock_guard lock(g_storeLock);
    std::vector<std::string> path;
    DWORD access = 0;
    if (LONG rc = ResolvePath(key, {}, path, &access)) return rc;
    if (!(access & kKeySetValue)) return Fail(kErrorAccessDenied);
    Store& store = TheStore();
    store.Refresh();
    Key* k = Walk(store.tree(), path);
    if (!k) return Fail(kErrorKeyDeleted);
    if (!k->FindValue(name)) return Fail(kErrorFileNotFound);
    return store.Modify([&](Tree& tree, bool& changed) -> LONG {
        Key* fresh = Walk(tree, path);
        if (!fresh) return kErrorKeyDeleted;
        if (!fresh->RemoveValue(name)) return kErrorFileNotFound;
        changed = true;
        return 0;
    });
}

LONG SettingsEnumKey(HKEY key, DWORD index, char* name, DWORD* nameSize) {
    std::lock_guard lock(g_storeLock);
    Key* k = nullptr;
    if (LONG rc = HandleKey(key, kKeyEnumerateSubKeys, k)) return rc;
    if (index >= k->Children().size()) return Fail(kErrorNoMoreItems);
    if (LONG rc = CopyName(k->Children()[index]->Name(), name, nameSize)) return rc;
    return Ok();
}

LONG SettingsEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                       DWORD* dataSize) {
    std::lock_guard lock(g_storeLock);
    Key* k = nullptr;
    if (LONG rc = HandleKey(key, kKeyQueryValue, k)) return rc;
    if (index >= k->Values().size()) return Fail(kErrorNoMoreItems);
    const settings::Value& v = k->Values()[index];
    if (LONG rc = CopyName(v.name, name, nameSize)) return rc;
    if (type) *type = v.type;
    if (LONG rc = CopyOut(v.data, data, dataSize)) return rc;
    return Ok();
}

bool SettingsParseForTesting(std::string_view bytes, std::string* rewritten) {
    Tree tree;
    settings::Parse(bytes, tree);
    if (rewritten) *rewritten = settings::Serialize(tree);
    return tree.clean;
}

}  // namespace vutil::platform
