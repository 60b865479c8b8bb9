#include "vutil/platform/posix/settings_handles.h"

#include <cstdint>

#include "vutil/platform/error.h"
#include "vutil/platform/settings.h"

namespace vutil::platform::settings {

const char* RootName(HKEY root) noexcept {
    switch (reinterpret_cast<std::uintptr_t>(root)) {
        case 0x80000000u: return "HKEY_CLASSES_ROOT";
        case 0x80000001u: return "HKEY_CURRENT_USER";
        case 0x80000002u: return "HKEY_LOCAL_MACHINE";
        case 0x80000003u: return "HKEY_USERS";
        case 0x80000005u: return "HKEY_CURRENT_CONFIG";
        default: return nullptr;
    }
}

DWORD ResolvePath(HKEY key, std::string_view subKey, std::vector<std::string>& path, DWORD* access) {
    if (!key) return kErrorInvalidHandle;
    if (const char* root = RootName(key)) {
        path.assign(1, root);
        if (access) *access = kKeyAllAccess;
    } else {
        const auto* h = reinterpret_cast<const KeyHandle*>(key);
        path = h->path;
        if (access) *access = h->access;
    }
    if (!subKey.empty() && subKey.front() == '\\') return kErrorBadPathname;
    std::vector<std::string_view> parts;
    if (!SplitPath(subKey, parts)) return kErrorBadPathname;
    if (path.size() + parts.size() > kMaxDepth) return kErrorBadPathname;
    for (auto p : parts) path.emplace_back(p);
    return 0;
}

Key* Walk(Tree& tree, const std::vector<std::string>& path) {
    Key* k = &tree.top;
    for (std::size_t i = 0; i < path.size() && k; ++i) {
        Key* next = k->Child(path[i]);
        if (!next && i == 0) next = k->AddChild(path[0], nullptr);
        k = next;
    }
    return k;
}

HKEY NewHandle(std::vector<std::string> path, DWORD access) {
    return reinterpret_cast<HKEY>(new KeyHandle{std::move(path), access});
}

void DeleteHandle(HKEY key) noexcept {
    if (key && !RootName(key)) delete reinterpret_cast<KeyHandle*>(key);
}

}  // namespace vutil::platform::settings
