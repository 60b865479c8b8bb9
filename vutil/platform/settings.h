#pragma once
// The settings store: the key tree the library reads and writes as "the registry".
//
// The calls mirror the registry calls the library makes, with the same handles,
// value types and Windows return codes (0 success, 2 not found, 5 access denied,
// 234 more data, 259 no more items, ...), so code above this seam is the same on
// every backend. Names and texts are narrow Windows-1252 strings.
//
// The POSIX backend keeps the tree in one file in the registry export text format
// ("Windows Registry Editor Version 5.00", UTF-8), at $VUTIL_REGISTRY, else
// $XDG_CONFIG_HOME/vutil/registry.reg, else ~/.config/vutil/registry.reg. Codes it
// adds: 1015 the file is damaged (a line that does not parse refuses every write; a
// file over 64 MiB is not read at all), 1016 the path is not a regular file, 1018
// the key of an open handle was deleted, 5 the file is read-only or its folder is
// writable by others and not sticky, 170 another writer held the lock for 10 seconds,
// 8 out of memory. No call throws.

#include <string>
#include <string_view>

#include "vutil/platform/types.h"

namespace vutil::platform {

// Value types (the registry's numbers).
enum : DWORD {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
    kRegQword = 11,
};

// Access rights asked for when a key is opened (the registry's numbers). A handle
// opened for reading refuses changes with 5.
enum : DWORD {
    kKeyQueryValue = 0x0001,
    kKeySetValue = 0x0002,
    kKeyCreateSubKey = 0x0004,
    kKeyEnumerateSubKeys = 0x0008,
    kKeyRead = 0x20019,
    kKeyWrite = 0x20006,
    kKeyAllAccess = 0xF003F,
};

// Roots beside the four of the framework.
#ifndef HKEY_CURRENT_CONFIG
inline HKEY const HKEY_CURRENT_CONFIG = VUTIL_ROOT_KEY(0x80000005u);
#endif

// Every call returns 0 or a Windows error code and also sets the thread's last
// error to it. subKey paths use backslashes; key and value names compare without
// regard to case; the empty value name is the key's default value.
LONG SettingsOpenKey(HKEY root, std::string_view subKey, DWORD access, HKEY* result);
// Creates every missing key of the path; *created tells whether the last one is new.
LONG SettingsCreateKey(HKEY root, std::string_view subKey, DWORD access, HKEY* result,
                       bool* created = nullptr);
LONG SettingsCloseKey(HKEY key);
// With data null, reports type and size only. When *size is too small: 234 and
// *size is the size needed. String values always carry their terminating zero.
LONG SettingsQueryValue(HKEY key, std::string_view name, DWORD* type, BYTE* data, DWORD* size);
LONG SettingsSetValue(HKEY key, std::string_view name, DWORD type, const BYTE* data, DWORD size);
// Deletes the sub-key (a direct child path of key) when it has no sub-keys of its
// own; 5 otherwise, as the registry answers.
LONG SettingsDeleteKey(HKEY key, std::string_view subKey);
LONG SettingsDeleteValue(HKEY key, std::string_view name);
// The index-th sub-key in case-insensitive order; 259 past the end. *nameSize holds
// the buffer size in characters and receives the name's length without its zero.
LONG SettingsEnumKey(HKEY key, DWORD index, char* name, DWORD* nameSize);
// The index-th value in creation order; type, data and dataSize may be null.
LONG SettingsEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                       DWORD* dataSize);

// Where the store lives (a host path); for tools and messages.
std::string SettingsLocation();

// Parses bytes in the export format into a fresh tree and writes it back out;
// false when anything in them did not parse. For the fuzz target and tests.
bool SettingsParseForTesting(std::string_view bytes, std::string* rewritten);

}  // namespace vutil::platform
