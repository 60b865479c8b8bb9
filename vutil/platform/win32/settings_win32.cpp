// The settings store on Windows: the Settings* calls go straight to the registry. Our
// handles are the system's, so access rights, deleted keys and the refusal to delete a
// key with sub-keys are the system's own answers. What this file adds is the seam's
// text form: names and string data are Windows-1252 here and UTF-16 in the registry,
// and sizes are counted in Windows-1252 bytes, terminating zero included.

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "vutil/platform/settings.h"
#include "vutil/platform/settings_file_internal.h"
#include "vutil/platform/win32/win32_util.h"

namespace vutil::platform {

namespace {

LONG Done(LONG code) {
    ::SetLastError(static_cast<::DWORD>(code));
    return code;
}

// Conversions allocate; running out of memory is an answer like any other.
template <typename F>
LONG Guarded(F&& body) noexcept {
    try {
        return Done(body());
    } catch (const std::bad_alloc&) {
        return Done(ERROR_NOT_ENOUGH_MEMORY);
    } catch (...) {
        return Done(ERROR_GEN_FAILURE);
    }
}

// The wide API stops at the first zero, so a name carrying one would silently name
// something else.
bool HasZero(std::string_view s) { return s.find('\0') != std::string_view::npos; }

bool IsText(::DWORD type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// Registry bytes as the seam's bytes: UTF-16 text narrowed (an odd last byte cannot be
// a character and is dropped), single strings ending in their zero.
std::string FromRegistry(::DWORD type, const std::vector<BYTE>& raw, ::DWORD size) {
    if (!IsText(type)) return std::string(reinterpret_cast<const char*>(raw.data()), size);
    std::wstring units(size / 2, L'\0');
    if (!units.empty()) std::memcpy(units.data(), raw.data(), units.size() * sizeof(wchar_t));
    std::string text = win32::Narrow(units);
    if (type != kRegMultiSz && (text.empty() || text.back() != '\0')) text += '\0';
    return text;
}

// Reads a value whole, growing the buffer while the value grows under us.
LONG ReadValue(HKEY key, const std::wstring& name, ::DWORD* type, std::string* out) {
    std::vector<BYTE> raw(256);
    for (;;) {
        ::DWORD size = static_cast<::DWORD>(raw.size());
        LONG rc = ::RegQueryValueExW(key, name.c_str(), nullptr, type, raw.data(), &size);
        if (rc == ERROR_MORE_DATA) {
            raw.resize(std::max<std::size_t>(size, raw.size() * 2));
            continue;
        }
        if (rc != ERROR_SUCCESS) return rc;
        *out = FromRegistry(*type, raw, size);
        return ERROR_SUCCESS;
    }
}

// The seam's size protocol: with data, *size must hold the bytes or 234 tells the size
// needed; without, *size receives it.
LONG CopyOut(std::string_view bytes, BYTE* data, DWORD* size) {
    if (data && !size) return ERROR_INVALID_PARAMETER;
    if (!size) return ERROR_SUCCESS;
    auto need = static_cast<DWORD>(bytes.size());
    if (data && *size < need) {
        *size = need;
        return ERROR_MORE_DATA;
    }
    if (data && need) std::memcpy(data, bytes.data(), need);
    *size = need;
    return ERROR_SUCCESS;
}

LONG CopyName(std::string_view name, char* buffer, DWORD* size) {
    if (!buffer || !size) return ERROR_INVALID_PARAMETER;
    if (name.size() >= *size) return ERROR_MORE_DATA;
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// The registry's limits on names, in characters with the zero.
constexpr ::DWORD kMaxKeyName = 256;
constexpr ::DWORD kMaxValueName = 16384;

}  // namespace

std::string SettingsLocation() { return "Windows registry"; }

LONG SettingsOpenKey(HKEY root, std::string_view subKey, DWORD access, HKEY* result) {
    if (!result) return Done(ERROR_INVALID_PARAMETER);
    *result = nullptr;
    if (HasZero(subKey)) return Done(ERROR_INVALID_PARAMETER);
    return Guarded([&] { return ::RegOpenKeyExW(root, win32::Wide(subKey).c_str(), 0, access, result); });
}

LONG SettingsCreateKey(HKEY root, std::string_view subKey, DWORD access, HKEY* result, bool* created) {
    if (!result) return Done(ERROR_INVALID_PARAMETER);
    *result = nullptr;
    if (created) *created = false;
    if (HasZero(subKey)) return Done(ERROR_INVALID_PARAMETER);
    return Guarded([&] {
        ::DWORD disposition = 0;
        LONG rc = ::RegCreateKeyExW(root, win32::Wide(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                    nullptr, result, &disposition);
        if (rc == ERROR_SUCCESS && created) *created = disposition == REG_CREATED_NEW_KEY;
        return rc;
    });
}

LONG SettingsCloseKey(HKEY key) { return Done(::RegCloseKey(key)); }

LONG SettingsQueryValue(HKEY key, std::string_view name, DWORD* type, BYTE* data, DWORD* size) {
    if (HasZero(name)) return Done(ERROR_INVALID_PARAMETER);
    return Guarded([&]() -> LONG {
        ::DWORD t = 0;
        std::string bytes;
        if (LONG rc = ReadValue(key, win32::Wide(name), &t, &bytes)) return rc;
        if (type) *type = t;
        return CopyOut(bytes, data, size);
    });
}

LONG SettingsSetValue(HKEY key, std::string_view name, DWORD type, const BYTE* data, DWORD size) {
    if (HasZero(name) || (!data && size)) return Done(ERROR_INVALID_PARAMETER);
    return Guarded([&] {
        std::string_view given(reinterpret_cast<const char*>(data), size);
        std::string bytes;
        if (IsText(type)) {
            std::wstring units = win32::Wide(settings::NormaliseData(type, given));
            bytes.assign(reinterpret_cast<const char*>(units.data()), units.size() * sizeof(wchar_t));
        } else {
            bytes.assign(given);
        }
        return ::RegSetValueExW(key, win32::Wide(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                static_cast<::DWORD>(bytes.size()));
    });
}

LONG SettingsDeleteKey(HKEY key, std::string_view subKey) {
    if (HasZero(subKey)) return Done(ERROR_INVALID_PARAMETER);
    return Guarded([&] { return ::RegDeleteKeyW(key, win32::Wide(subKey).c_str()); });
}

LONG SettingsDeleteValue(HKEY key, std::string_view name) {
    if (HasZero(name)) return Done(ERROR_INVALID_PARAMETER);
    return Guarded([&] { return ::RegDeleteValueW(key, win32::Wide(name).c_str()); });
}

LONG SettingsEnumKey(HKEY key, DWORD index, char* name, DWORD* nameSize) {
    return Guarded([&]() -> LONG {
        wchar_t buffer[kMaxKeyName];
        ::DWORD length = kMaxKeyName;
        if (LONG rc = ::RegEnumKeyExW(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr)) return rc;
        return CopyName(win32::Narrow(std::wstring_view(buffer, length)), name, nameSize);
    });
}

LONG SettingsEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                       DWORD* dataSize) {
    return Guarded([&]() -> LONG {
        std::vector<wchar_t> buffer(kMaxValueName);
        std::vector<BYTE> raw(256);
        ::DWORD t = 0;
        for (;;) {
            ::DWORD length = kMaxValueName;
            ::DWORD size = static_cast<::DWORD>(raw.size());
            LONG rc = ::RegEnumValueW(key, index, buffer.data(), &length, nullptr, &t, raw.data(), &size);
            if (rc == ERROR_MORE_DATA) {
                raw.resize(std::max<std::size_t>(size, raw.size() * 2));
                continue;
            }
            if (rc != ERROR_SUCCESS) return rc;
            if (LONG bad = CopyName(win32::Narrow(std::wstring_view(buffer.data(), length)), name, nameSize)) return bad;
            if (type) *type = t;
            return CopyOut(FromRegistry(t, raw, size), data, dataSize);
        }
    });
}

}  // namespace vutil::platform
