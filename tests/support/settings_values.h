#pragma once
// Writing one raw value into the settings store, creating its key.

#include <string>

#include "vutil/platform/settings.h"

namespace vutil::test {

inline LONG SetSettingsValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                             const std::string& data) {
    HKEY h = nullptr;
    LONG rc = platform::SettingsCreateKey(root, key, platform::kKeyAllAccess, &h);
    if (rc != 0) return rc;
    rc = platform::SettingsSetValue(h, name, type, reinterpret_cast<const BYTE*>(data.data()),
                                    static_cast<DWORD>(data.size()));
    platform::SettingsCloseKey(h);
    return rc;
}

}  // namespace vutil::test
