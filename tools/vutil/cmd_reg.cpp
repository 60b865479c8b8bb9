// vutil reg: reads and writes the settings store through CRegistryUtils.

#include <iostream>

#include "command.h"
#include "vutil/core/text_array.h"
#include "vutil/platform/settings.h"
#include "vutil/system/registry_utils.h"

namespace {

using vutil::CRegistryUtils;
using vutil::CString;

struct RootName {
    const char* longName;
    const char* shortName;
    vutil::HKEY root;
};

const RootName kRoots[] = {
    {"HKEY_CURRENT_USER", "HKCU", vutil::HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", "HKLM", vutil::HKEY_LOCAL_MACHINE},
    {"HKEY_CLASSES_ROOT", "HKCR", vutil::HKEY_CLASSES_ROOT},
    {"HKEY_USERS", "HKU", vutil::HKEY_USERS},
};

// "HKCU\Software\X" -> root and "Software\X".
bool SplitKey(const std::string& key, vutil::HKEY& root, CString& subKey) {
    std::size_t sep = key.find('\\');
    CString first(key.substr(0, sep));
    subKey = sep == std::string::npos ? CString() : CString(key.substr(sep + 1));
    for (const auto& r : kRoots) {
        if (first.CompareNoCase(r.longName) == 0 || first.CompareNoCase(r.shortName) == 0) {
            root = r.root;
            return true;
        }
    }
    return false;
}

void Print(const CString& s) { std::cout.write(s.GetString(), s.GetLength()) << '\n'; }

int RunReg(const std::vector<std::string>& args) {
    const char* name = "reg";
    if (args.size() < 2) return vutil::cli::UsageError(name, "expected get|set|delete|list and a key");
    const std::string& verb = args[0];
    vutil::HKEY root = nullptr;
    CString subKey;
    if (!SplitKey(args[1], root, subKey))
        return vutil::cli::UsageError(name, "the key must start with HKEY_CURRENT_USER, HKCU, HKLM, HKCR or HKU");
    if (verb == "get" && args.size() == 3) {
        CString valueName(args[2]);
        if (!CRegistryUtils::HaveValue(root, subKey, valueName)) {
            std::cerr << "vutil reg: no value '" << args[2] << "' under " << args[1] << '\n';
            return 1;
        }
        Print(CRegistryUtils::GetKeyValue(root, subKey, valueName, false));
        return 0;
    }
    if (verb == "set" && args.size() == 4) {
        if (CRegistryUtils::CreateKeyAndValue(root, subKey, CString(args[2]), CString(args[3]), false)) return 0;
        std::cerr << "vutil reg: could not write to " << vutil::platform::SettingsLocation() << '\n';
        return 1;
    }
    if (verb == "delete" && (args.size() == 2 || args.size() == 3)) {
        bool ok = args.size() == 3 ? CRegistryUtils::DeleteValue(root, subKey, CString(args[2]))
                                   : CRegistryUtils::DeleteKey(root, subKey);
        if (ok) return 0;
        std::cerr << "vutil reg: nothing deleted (missing, or a key that still has sub-keys)\n";
        return 1;
    }
    if (verb == "list" && args.size() == 2) {
        vutil::TextArray keys, values;
        CRegistryUtils::GetSubKeys(root, subKey, keys, false);
        if (!subKey.IsEmpty()) CRegistryUtils::GetKeyValues(root, subKey, values);
        for (const auto& k : keys) Print(k + "\\");
        for (const auto& v : values) Print((v.IsEmpty() ? CString("@") : v) + "=" + CRegistryUtils::GetKeyValue(root, subKey, v, false));
        return 0;
    }
    return vutil::cli::UsageError(name, "usage: reg get <key> <name> | set <key> <name> <value> | delete <key> [name] | list <key>");
}

vutil::cli::Register reg({"reg", "get|set|delete|list <key> [name] [value]",
                          "read and write the settings store (keys like HKCU\\Software\\Vendor)", RunReg});

}  // namespace
