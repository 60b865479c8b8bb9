// vutil reg: reads and writes the settings store through CRegistryUtils.

#include <iostream>
#include <string>

#include "command.h"
#include "vutil/core/text_array.h"
#include "vutil/platform/error.h"
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

// The store nests keys no deeper than this, the root counted as the first level.
constexpr std::size_t kMaxKeyDepth = 512;

// What is wrong with a key path that names a value's key, or empty when nothing is.
std::string KeyProblem(const CString& subKey) {
    if (subKey.IsEmpty()) return "a value needs a key below the root";
    std::size_t depth = 2;  // the root and the first part
    for (int i = 0; i < subKey.GetLength(); ++i) {
        if (subKey[i] != '\\') continue;
        if (i == 0 || i + 1 == subKey.GetLength() || subKey[i + 1] == '\\') return "the key has an empty part";
        ++depth;
    }
    if (depth > kMaxKeyDepth) return "the key is deeper than " + std::to_string(kMaxKeyDepth) + " levels";
    return {};
}

// Closes a key the command opened.
struct Key {
    vutil::HKEY h = nullptr;
    ~Key() {
        if (h) vutil::platform::SettingsCloseKey(h);
    }
};

int StoreError(const char* what, long code) {
    return vutil::cli::SystemError("reg", std::string("cannot ") + what + " " + vutil::platform::SettingsLocation(),
                                   static_cast<unsigned long>(code));
}

constexpr long kNotFound = vutil::platform::kErrorFileNotFound;
constexpr long kBadPathname = vutil::platform::kErrorBadPathname;  // a key the store cannot hold

int RunReg(const std::vector<std::string>& args) {
    const char* name = "reg";
    if (args.size() < 2) return vutil::cli::UsageError(name, "expected get|set|delete|list and a key");
    const std::string& verb = args[0];
    vutil::HKEY root = nullptr;
    CString subKey;
    if (!SplitKey(args[1], root, subKey))
        return vutil::cli::UsageError(name, "the key must start with HKEY_CURRENT_USER, HKCU, HKLM, HKCR or HKU");
    if ((verb == "get" && args.size() == 3) || (verb == "set" && args.size() == 4)) {
        if (std::string problem = KeyProblem(subKey); !problem.empty()) return vutil::cli::UsageError(name, problem);
    }
    namespace pf = vutil::platform;
    if (verb == "get" && args.size() == 3) {
        // Asked of the store directly, so that a store it cannot read is told apart
        // from a value that is not there.
        Key key;
        long rc = pf::SettingsOpenKey(root, subKey.view(), pf::kKeyRead, &key.h);
        vutil::DWORD type = 0, size = 0;
        if (rc == 0) rc = pf::SettingsQueryValue(key.h, CString(args[2]).view(), &type, nullptr, &size);
        if (rc == kNotFound) {
            std::cerr << "vutil reg: no value '" << args[2] << "' under " << args[1] << '\n';
            return 1;
        }
        if (rc == kBadPathname) return vutil::cli::UsageError(name, "the key is not valid");
        if (rc != 0) return StoreError("read", rc);
        Print(CRegistryUtils::GetKeyValue(root, subKey, CString(args[2]), false));
        return 0;
    }
    if (verb == "set" && args.size() == 4) {
        if (CRegistryUtils::CreateKeyAndValue(root, subKey, CString(args[2]), CString(args[3]), false)) return 0;
        // Again through the store itself, for its reason.
        Key key;
        long rc = pf::SettingsCreateKey(root, subKey.view(), pf::kKeyAllAccess, &key.h);
        const CString value(args[3]);
        if (rc == 0) {
            rc = pf::SettingsSetValue(key.h, CString(args[2]).view(), pf::kRegSz,
                                      reinterpret_cast<const vutil::BYTE*>(value.GetString()),
                                      static_cast<vutil::DWORD>(value.GetLength() + 1));
        }
        if (rc == kBadPathname) return vutil::cli::UsageError(name, "the key is not valid");
        return rc == 0 ? 0 : StoreError("write", rc);
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
