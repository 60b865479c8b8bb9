// The settings store on POSIX: the Settings* calls. The tree and its text form live
// in ../settings_file.cpp, the cache in settings_store.cpp, handles in
// settings_handles.cpp, the lock in settings_lock.cpp and the file I/O in settings_io.cpp.

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "vutil/platform/error.h"
#include "vutil/platform/posix/settings_handles.h"
#include "vutil/platform/posix/settings_store.h"
#include "vutil/platform/settings.h"

namespace vutil::platform {

namespace {

using settings::Key;
using settings::Tree;

LONG Done(DWORD code) {
    SetLastErrorCode(code);
    return static_cast<LONG>(code);
}

// Runs one call under the store's lock. Nothing escapes: a store too large for
// memory, or any other surprise, is an error code like every other failure.
template <typename F>
LONG Guarded(F&& body) noexcept {
    try {
        std::lock_guard lock(settings::StoreMutex());
        return Done(body(settings::TheStore()));
    } catch (...) {
        DWORD code = kErrorGenFailure;
        try {
            throw;
        } catch (const std::bad_alloc&) {
            code = kErrorNotEnoughMemory;
        } catch (...) {
        }
        std::lock_guard lock(settings::StoreMutex());
        settings::TheStore().Invalidate();
        return Done(code);
    }
}

// Finds the key of an open handle in the fresh tree; 1018 when it has gone.
DWORD HandleKey(settings::Store& store, HKEY key, DWORD needAccess, Key*& out) {
    std::vector<std::string> path;
    DWORD access = 0;
    if (DWORD rc = settings::ResolvePath(key, {}, path, &access)) return rc;
    if ((access & needAccess) != needAccess) return kErrorAccessDenied;
    if (DWORD err = store.Refresh()) return err;
    out = settings::Walk(store.tree(), path);
    return out ? DWORD{0} : DWORD{kErrorKeyDeleted};
}

bool ValidName(std::string_view name) {
    return name.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

DWORD CopyOut(std::string_view bytes, BYTE* data, DWORD* size) {
    if (data && !size) return kErrorInvalidParameter;
    if (!size) return 0;
    auto need = static_cast<DWORD>(bytes.size());
    if (data && *size < need) {
        *size = need;
        return kErrorMoreData;
    }
    if (data && need) std::memcpy(data, bytes.data(), need);
    *size = need;
    return 0;
}

DWORD CopyName(std::string_view name, char* buffer, DWORD* size) {
    if (!buffer || !size) return kErrorInvalidParameter;
    if (name.size() >= *size) return kErrorMoreData;
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *size = static_cast<DWORD>(name.size());
    return 0;
}

}  // namespace

std::string SettingsLocation() {
    try {
        if (const char* env = std::getenv("VUTIL_REGISTRY"); env && *env) return env;
        if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/vutil/registry.reg";
        const char* home = std::getenv("HOME");
        return std::string(home && *home ? home : "") + "/.config/vutil/registry.reg";
    } catch (...) {
        return std::string();
    }
}

LONG SettingsOpenKey(HKEY root, std::string_view subKey, DWORD access, HKEY* result) {
    if (!result) return Done(kErrorInvalidParameter);
    *result = nullptr;
    return Guarded([&](settings::Store& store) -> DWORD {
        std::vector<std::string> path;
        if (DWORD rc = settings::ResolvePath(root, subKey, path, nullptr)) return rc;
        if (DWORD err = store.Refresh()) return err;
        if (!settings::Walk(store.tree(), path)) return kErrorFileNotFound;
        *result = settings::NewHandle(std::move(path), access);
        return 0;
    });
}

LONG SettingsCreateKey(HKEY root, std::string_view subKey, DWORD access, HKEY* result, bool* created) {
    if (!result) return Done(kErrorInvalidParameter);
    *result = nullptr;
    if (created) *created = false;
    return Guarded([&](settings::Store& store) -> DWORD {
        std::vector<std::string> path;
        DWORD parentAccess = 0;
        if (DWORD rc = settings::ResolvePath(root, subKey, path, &parentAccess)) return rc;
        if (DWORD err = store.Refresh()) return err;
        if (!settings::Walk(store.tree(), path)) {
            if (!(parentAccess & kKeyCreateSubKey)) return kErrorAccessDenied;
            DWORD rc = store.Modify([&](Tree& tree, bool& changed) -> DWORD {
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
        *result = settings::NewHandle(std::move(path), access);
        return 0;
    });
}

LONG SettingsCloseKey(HKEY key) {
    if (!key) return Done(kErrorInvalidHandle);
    settings::DeleteHandle(key);
    return Done(0);
}

LONG SettingsQueryValue(HKEY key, std::string_view name, DWORD* type, BYTE* data, DWORD* size) {
    return Guarded([&](settings::Store& store) -> DWORD {
        Key* k = nullptr;
        if (DWORD rc = HandleKey(store, key, kKeyQueryValue, k)) return rc;
        const settings::Value* v = k->FindValue(name);
        if (!v) return kErrorFileNotFound;
        if (type) *type = v->type;
        return CopyOut(v->data, data, size);
    });
}

LONG SettingsSetValue(HKEY key, std::string_view name, DWORD type, const BYTE* data, DWORD size) {
    if (!ValidName(name) || (!data && size)) return Done(kErrorInvalidParameter);
    return Guarded([&](settings::Store& store) -> DWORD {
        std::vector<std::string> path;
        DWORD access = 0;
        if (DWORD rc = settings::ResolvePath(key, {}, path, &access)) return rc;
        if (!(access & kKeySetValue)) return kErrorAccessDenied;
        std::string bytes = settings::NormaliseData(type, std::string_view(reinterpret_cast<const char*>(data), size));
        return store.Modify([&](Tree& tree, bool& changed) -> DWORD {
            Key* k = settings::Walk(tree, path);
            if (!k) return kErrorKeyDeleted;
            const settings::Value* old = k->FindValue(name);
            if (old && old->type == type && old->data == bytes) return 0;
            k->SetValue(name, type, std::move(bytes));
            changed = true;
            return 0;
        });
    });
}

LONG SettingsDeleteKey(HKEY key, std::string_view subKey) {
    return Guarded([&](settings::Store& store) -> DWORD {
        std::vector<std::string> path;
        if (DWORD rc = settings::ResolvePath(key, subKey, path, nullptr)) return rc;
        if (subKey.empty() || path.size() < 2) return kErrorInvalidParameter;
        if (DWORD err = store.Refresh()) return err;
        Key* target = settings::Walk(store.tree(), path);
        if (!target) return kErrorFileNotFound;
        // The registry's answer for a key with sub-keys of its own: access denied.
        if (!target->Children().empty()) return kErrorAccessDenied;
        return store.Modify([&](Tree& tree, bool& changed) -> DWORD {
            std::vector<std::string> parentPath(path.begin(), path.end() - 1);
            Key* parent = settings::Walk(tree, parentPath);
            Key* k = parent ? parent->Child(path.back()) : nullptr;
            if (!k) return kErrorFileNotFound;
            if (!k->Children().empty()) return kErrorAccessDenied;
            parent->RemoveChild(path.back());
            changed = true;
            return 0;
        });
    });
}

LONG SettingsDeleteValue(HKEY key, std::string_view name) {
    return Guarded([&](settings::Store& store) -> DWORD {
        std::vector<std::string> path;
        DWORD access = 0;
        if (DWORD rc = settings::ResolvePath(key, {}, path, &access)) return rc;
        if (!(access & kKeySetValue)) return kErrorAccessDenied;
        if (DWORD err = store.Refresh()) return err;
        Key* k = settings::Walk(store.tree(), path);
        if (!k) return kErrorKeyDeleted;
        if (!k->FindValue(name)) return kErrorFileNotFound;
        return store.Modify([&](Tree& tree, bool& changed) -> DWORD {
            Key* fresh = settings::Walk(tree, path);
            if (!fresh) return kErrorKeyDeleted;
            if (!fresh->RemoveValue(name)) return kErrorFileNotFound;
            changed = true;
            return 0;
        });
    });
}

LONG SettingsEnumKey(HKEY key, DWORD index, char* name, DWORD* nameSize) {
    return Guarded([&](settings::Store& store) -> DWORD {
        Key* k = nullptr;
        if (DWORD rc = HandleKey(store, key, kKeyEnumerateSubKeys, k)) return rc;
        const auto& children = k->Children();
        if (index >= children.size()) return kErrorNoMoreItems;
        return CopyName(children[index]->Name(), name, nameSize);
    });
}

LONG SettingsEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                       DWORD* dataSize) {
    return Guarded([&](settings::Store& store) -> DWORD {
        Key* k = nullptr;
        if (DWORD rc = HandleKey(store, key, kKeyQueryValue, k)) return rc;
        const auto& values = k->Values();
        if (index >= values.size()) return kErrorNoMoreItems;
        const settings::Value& v = values[index];
        if (DWORD rc = CopyName(v.name, name, nameSize)) return rc;
        if (type) *type = v.type;
        return CopyOut(v.data, data, dataSize);
    });
}

}  // namespace vutil::platform
