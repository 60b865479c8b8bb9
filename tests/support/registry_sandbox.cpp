#include "support/registry_sandbox.h"

#ifdef _WIN32
#include <windows.h>

#include <random>
#endif

namespace vutil::test {

#ifdef _WIN32
RegistrySandbox::RegistrySandbox() {
    std::random_device rd;
    m_name = "Software\\vutil-test-" + std::to_string(rd()) + std::to_string(rd() % 1000);
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, m_name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        m_key = key;
        ::RegOverridePredefKey(HKEY_CURRENT_USER, key);
    }
}

RegistrySandbox::~RegistrySandbox() {
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (m_key) ::RegCloseKey(static_cast<HKEY>(m_key));
    ::RegDeleteTreeA(HKEY_CURRENT_USER, m_name.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, m_name.c_str());
}

std::string RegistrySandbox::Full(const std::string& sub) const { return "HKEY_CURRENT_USER\\" + m_name + "\\" + sub; }

bool UnderWine() {
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}
#else
RegistrySandbox::RegistrySandbox() = default;
RegistrySandbox::~RegistrySandbox() = default;
std::string RegistrySandbox::Full(const std::string& sub) const { return "HKEY_CURRENT_USER\\" + sub; }
bool UnderWine() { return false; }
#endif

}  // namespace vutil::test
