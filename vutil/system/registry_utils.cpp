#include "vutil/system/registry_utils.h"

#include <algorithm>
#include <cstring>

#include "vutil/core/app_logger.h"
#include "vutil/framework/collections.h"
#include "vutil/files/dir_utils.h"
#include "vutil/persist/crypto.h"
#include "vutil/persist/persist_text.h"
#include "vutil/platform/settings.h"
#include "vutil/system/system_utils.h"
#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace pf = platform;

namespace {

void Log(const char* site) {
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(site);
}

// The site followed directly by the system's text for the code.
void LogCode(const char* site, LONG code) {
    if (CAppLogger* log = CAppLogger::GetInstance())
        log->AddLine(CString(site) + CSystemUtils::GetLastError(static_cast<unsigned long>(code)));
}

bool BadKey(HKEY root, const CString& subKey) { return !root || CStringUtils::IsEffectivelyEmpty(subKey); }

// Closes an open key when the scope ends, on every path.
class KeyGuard {
public:
    KeyGuard() = default;
    ~KeyGuard() {
        if (m_key) pf::SettingsCloseKey(m_key);
    }
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;
    HKEY* out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// Reads a value through the fixed buffer; false when it is missing or too long.
bool QueryFixed(HKEY key, const CString& valueName, DWORD& type, char (&buffer)[CRegistryUtils::kValueBufferSize + 1]) {
    std::memset(buffer, 0, sizeof buffer);
    DWORD size = CRegistryUtils::kValueBufferSize;
    return pf::SettingsQueryValue(key, valueName.view(), &type, reinterpret_cast<BYTE*>(buffer), &size) == 0;
}

}  // namespace

CString CRegistryUtils::GetKeyValue(HKEY root, const CString& subKey, const CString& valueName, bool decrypt) {
    if (BadKey(root, subKey)) {
        Log("{74009101-A17A-4454-8253-6B4EFD417B90}");
        return CString();
    }
    KeyGuard key;
    if (LONG rc = pf::SettingsOpenKey(root, subKey.view(), pf::kKeyRead, key.out())) {
        LogCode("{874D4612-D9C9-4D56-A2C4-A7FDF9CD2C40}", rc);
        return CString();
    }
    char buffer[kValueBufferSize + 1];
    DWORD type = 0;
    if (!QueryFixed(key.get(), valueName, type, buffer)) return CString();
    CString text;
    if (type == pf::kRegDword) {
        DWORD number = 0;
        DWORD size = sizeof number;
        DWORD again = 0;
        pf::SettingsQueryValue(key.get(), valueName.view(), &again, reinterpret_cast<BYTE*>(&number), &size);
        text = CNumberTextConv::NumberToString(static_cast<std::uint64_t>(number));
    } else {
        text = CString(buffer);
    }
    if (decrypt && !text.IsEmpty()) {
        // The value holds the cipher bytes as space-separated decimal numbers.
        CByteArray bytes;
        persist_text::DecimalTextToBytes(text, CStringUtils::m_csSpace, bytes);
        CCrypto* crypto = CCrypto::GetInstance();
        if (!crypto) {
            Log("{99E4632B-7C6E-4DD6-99A2-E5C0EDCF8D8A}");
            return CString();
        }
        CString plain;
        if (!crypto->Decrypt(bytes, plain)) {
            Log("{3BFB2708-ECBF-4296-B4B3-526E57DCC97B}");
            return CString();
        }
        return plain;
    }
    return text;
}

bool CRegistryUtils::CreateKeyAndValue(HKEY root, const CString& subKey, const CString& valueName, const CString& value,
                                       bool encrypt) {
    if (BadKey(root, subKey)) {
        Log("{E46FF258-E68C-4B7A-B37E-EECE45A01187}");
        return false;
    }
    KeyGuard key;
    if (LONG rc = pf::SettingsCreateKey(root, subKey.view(), pf::kKeyAllAccess, key.out())) {
        LogCode("{331A46C8-3158-479F-987D-DA6AF4009F88}", rc);
        return false;
    }
    // Plain values are written as they are; encrypted ones as their cipher byte text.
    const CString* data = &value;
    CString cipherText;
    if (encrypt) {
        CCrypto* crypto = CCrypto::GetInstance();
        if (!crypto) {
            Log("{69F26F05-8636-46C4-B2D4-4BBFBDE165DF}");
            return false;
        }
        CByteArray bytes;
        if (!crypto->Encrypt(value, bytes)) {
            Log("{B73AAA84-CB14-4BCD-B996-F25B7CF73EE9}");
            return false;
        }
        cipherText = persist_text::BytesToDecimalText(bytes, CStringUtils::m_csSpace);
        data = &cipherText;
    }
    LONG rc = pf::SettingsSetValue(key.get(), valueName.view(), pf::kRegSz, reinterpret_cast<const BYTE*>(data->GetString()),
                                   static_cast<DWORD>(data->GetLength()));
    if (rc != 0) {
        LogCode("{D6D4128D-0906-4E46-A6AD-D13DD58676A4}", rc);
        return false;
    }
    return true;
}

bool CRegistryUtils::DeleteKey(HKEY root, const CString& keyPath) {
    if (BadKey(root, keyPath)) {
        Log("{EDAA58A8-3D81-4E7B-AEEA-40EE27F4746C}");
        return false;
    }
    CString parent = CDirUtils::ParseParentDir(keyPath);
    // The last component is what follows the last separator: "a\b\" has none.
    int lastSep = keyPath.FindOneOf("\\/") < 0 ? -1 : std::max(keyPath.ReverseFind('\\'), keyPath.ReverseFind('/'));
    CString last = keyPath.Mid(lastSep + 1);
    if (last.IsEmpty()) {
        Log("{AD5B6FBA-96A5-4EB8-AD49-C867F1DA2CDE}");
        return false;
    }
    if (!parent.IsEmpty() && parent[parent.GetLength() - 1] == '\\') parent.Truncate(parent.GetLength() - 1);
    KeyGuard parentKey;
    HKEY base = root;
    if (!parent.IsEmpty()) {
        if (LONG rc = pf::SettingsOpenKey(root, parent.view(), pf::kKeyAllAccess, parentKey.out())) {
            LogCode("{3CBD3212-0E66-4166-B722-46F79CCEC6EA}", rc);
            return false;
        }
        base = parentKey.get();
    }
    if (LONG rc = pf::SettingsDeleteKey(base, last.view())) {
        LogCode("{42803202-9935-40AA-AFFC-5D71FD62F0A7}", rc);
        return false;
    }
    return true;
}

bool CRegistryUtils::DeleteValue(HKEY root, const CString& subKey, const CString& valueName) {
    if (!root) {
        Log("{E611228C-C948-4C9C-8A96-0B0D2170AE41}");
        return false;
    }
    if (CStringUtils::IsEffectivelyEmpty(subKey)) {
        Log("{444BF591-0C28-4A4C-8FF5-560D171BF31C}");
        return false;
    }
    if (valueName.IsEmpty()) {
        Log("{1D651E34-69C9-43C2-A9F8-7C3CC9B9D356}");
        return false;
    }
    KeyGuard key;
    if (LONG rc = pf::SettingsOpenKey(root, subKey.view(), pf::kKeyAllAccess, key.out())) {
        LogCode("{31F45E41-CBD4-4ED8-B14C-2776D87F52FA}", rc);
        return false;
    }
    if (LONG rc = pf::SettingsDeleteValue(key.get(), valueName.view())) {
        LogCode("{711F2D72-8D7A-4F5D-B790-0139EA9C11F3}", rc);
        return false;
    }
    return true;
}

bool CRegistryUtils::HaveKey(HKEY root, const CString& subKey) {
    if (BadKey(root, subKey)) {
        Log("{61509DDF-B209-4FA4-9FFE-64BE43E21548}");
        return false;
    }
    KeyGuard key;
    return pf::SettingsOpenKey(root, subKey.view(), pf::kKeyRead, key.out()) == 0;
}

bool CRegistryUtils::HaveValue(HKEY root, const CString& subKey, const CString& valueName) {
    if (BadKey(root, subKey)) {
        Log("{5997B7CA-0584-4062-A3D1-4258554A02F2}");
        return false;
    }
    KeyGuard key;
    if (LONG rc = pf::SettingsOpenKey(root, subKey.view(), pf::kKeyRead, key.out())) {
        LogCode("{8A07628D-DE2E-4BEB-B53B-49E6A2A3B09A}", rc);
        return false;
    }
    char buffer[kValueBufferSize + 1];
    DWORD type = 0;
    return QueryFixed(key.get(), valueName, type, buffer);
}

void CRegistryUtils::GetKeyValues(HKEY root, const CString& subKey, TextArray& names) {
    if (BadKey(root, subKey)) {
        Log("{ED7C3262-0134-4B3D-A94D-83A646205408}");
        return;
    }
    KeyGuard key;
    if (LONG rc = pf::SettingsOpenKey(root, subKey.view(), pf::kKeyRead, key.out())) {
        LogCode("{BF5CD8F0-6A35-4ADB-AD5B-4C640BCE0C40}", rc);
        return;
    }
    char name[kNameBufferSize];
    for (DWORD index = 0;; ++index) {
        DWORD size = kNameBufferSize;
        if (pf::SettingsEnumValue(key.get(), index, name, &size, nullptr, nullptr, nullptr) != 0) break;
        names.Add(CString(name, static_cast<int>(size)));
    }
}

void CRegistryUtils::GetSubKeys(HKEY root, const CString& subKey, TextArray& names, bool recursive) {
    if (!root) {
        Log("{F16F92DD-CDD7-4D22-802D-9342BEEDD5F6}");
        return;
    }
    if (!subKey.IsEmpty()) {
        GetSubKeysPrivate(root, subKey, names, recursive);
        return;
    }
    char name[kNameBufferSize];
    for (DWORD index = 0;; ++index) {
        DWORD size = kNameBufferSize;
        if (pf::SettingsEnumKey(root, index, name, &size) != 0) break;
        CString child(name, static_cast<int>(size));
        names.Add(child);
        GetSubKeysPrivate(root, child, names, recursive);
    }
}

void CRegistryUtils::GetSubKeysPrivate(HKEY root, const CString& path, TextArray& names, bool recursive) {
    KeyGuard key;
    LONG rc = pf::SettingsOpenKey(root, path.view(), pf::kKeyEnumerateSubKeys, key.out());
    if (rc != 0 || !key.get()) {
        LogCode("{B0211EA9-AC4C-425D-AF30-542BA4924BFE}", rc);
        return;
    }
    char name[kNameBufferSize];
    for (DWORD index = 0;; ++index) {
        DWORD size = kNameBufferSize;
        if (pf::SettingsEnumKey(key.get(), index, name, &size) != 0) break;
        CString child(name, static_cast<int>(size));
        if (recursive) {
            CString full;
            full.Format("%s\\%s", path, child);
            names.Add(full);
            GetSubKeysPrivate(root, full, names, recursive);
        } else {
            names.Add(child);
        }
    }
}

}  // namespace vutil
