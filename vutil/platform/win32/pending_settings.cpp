// Placeholders for the settings part of the Windows backend until it is written: each
// fails with ERROR_CALL_NOT_IMPLEMENTED. Remove this file with the real one.
#include "vutil/platform/win32/win32_util.h"
#include "vutil/platform/settings.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace vutil::platform {

LONG SettingsOpenKey(HKEY root, std::string_view subKey, DWORD access, HKEY* result) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG SettingsCreateKey(HKEY root, std::string_view subKey, DWORD access, HKEY* result, bool* created ) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG SettingsCloseKey(HKEY key) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG SettingsQueryValue(HKEY key, std::string_view name, DWORD* type, BYTE* data, DWORD* size) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG SettingsSetValue(HKEY key, std::string_view name, DWORD type, const BYTE* data, DWORD size) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG SettingsDeleteKey(HKEY key, std::string_view subKey) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG SettingsDeleteValue(HKEY key, std::string_view name) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG SettingsEnumKey(HKEY key, DWORD index, char* name, DWORD* nameSize) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG SettingsEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data, DWORD* dataSize) { return ERROR_CALL_NOT_IMPLEMENTED; }
std::string SettingsLocation() { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool SettingsParseForTesting(std::string_view bytes, std::string* rewritten) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }

}  // namespace vutil::platform
