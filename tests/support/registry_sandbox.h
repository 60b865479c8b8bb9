#pragma once
// An empty settings store for one test. On POSIX the TempDir's private file already is
// one. On Windows the store is the real registry, so the test gets a fresh key under
// HKCU\Software that stands in for HKEY_CURRENT_USER in this process, and the key goes
// when the test ends. Other processes (reg.exe) reach it by its full path.
// The system's headers stay in registry_sandbox.cpp: their macros would rename the
// library's members in the test files.

#include <algorithm>
#include <string>
#include <vector>

namespace vutil::test {

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // What HKEY_CURRENT_USER\<sub> is to other processes.
    std::string Full(const std::string& sub) const;

private:
    std::string m_name;   // Windows: the stand-in key under HKCU\Software
    void* m_key = nullptr;
};

bool UnderWine();

// Windows lists a key's values in creation order and its sub-keys folded to upper
// case, as the POSIX store does; Wine sorts values by name and folds sub-keys to lower
// case. Under Wine an order check compares the names only.
inline std::vector<std::string> EnumOrder(std::vector<std::string> names) {
    if (UnderWine()) std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vutil::test
