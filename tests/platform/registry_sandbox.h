#pragma once
// An empty settings store for one test. On POSIX the TempDir's private file already is
// one. On Windows the store is the real registry, so the test gets a fresh key under
// HKCU\Software that stands in for HKEY_CURRENT_USER in this process, and the key goes
// when the test ends. Other processes (reg.exe) reach it by its full path.

#include <algorithm>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <random>
#endif

namespace vutil::test {

class RegistrySandbox {
public:
#ifdef _WIN32
    RegistrySandbox() {
        std::random_device rd;
        m_name = "Software\\vutil-test-" + std::to_string(rd()) + std::to_string(rd() % 1000);
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, m_name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                              nullptr) == ERROR_SUCCESS)
            ::RegOverridePredefKey(HKEY_CURRENT_USER, m_key);
    }
    ~RegistrySandbox() {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (m_key) ::RegCloseKey(m_key);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_name.c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, m_name.c_str());
    }
    // What HKEY_CURRENT_USER\<sub> is to other processes.
    std::string Full(const std::string& sub) const { return "HKEY_CURRENT_USER\\" + m_name + "\\" + sub; }
#else
    RegistrySandbox() {}  // user-provided, so an unused sandbox draws no warning
    std::string Full(const std::string& sub) const { return "HKEY_CURRENT_USER\\" + sub; }
#endif
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

private:
#ifdef _WIN32
    std::string m_name;
    HKEY m_key = nullptr;
#endif
};

inline bool UnderWine() {
#ifdef _WIN32
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

// Windows lists a key's values in creation order and its sub-keys folded to upper
// case, as the POSIX store does; Wine sorts values by name and folds sub-keys to lower
// case. Under Wine an order check compares the names only.
inline std::vector<std::string> EnumOrder(std::vector<std::string> names) {
    if (UnderWine()) std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vutil::test
