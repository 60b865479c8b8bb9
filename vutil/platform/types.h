#pragma once
// The scalar aliases and handle types the platform seam speaks. They live at the
// bottom so the seam needs nothing above it; framework/types.h re-exports them.

#include <cstdint>

namespace vutil {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONGLONG = std::uint64_t;
using LONGLONG = std::int64_t;
using BOOL = int;

// Registry roots. Opaque handles; the settings store maps them to key names. On
// Windows the type is the system's own and the values are its predefined keys, so a
// program may pass either; a program that includes <windows.h> first gets the
// system's macros for these names, with the same values.
#ifdef _WIN32
}  // namespace vutil
struct HKEY__;  // the tag the system headers declare
namespace vutil {
using HKEY = ::HKEY__*;
#define VUTIL_ROOT_KEY(value) reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)))
#else
struct HKEY__;
using HKEY = HKEY__*;
#define VUTIL_ROOT_KEY(value) reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(value))
#endif
#ifndef HKEY_CLASSES_ROOT
inline HKEY const HKEY_CLASSES_ROOT = VUTIL_ROOT_KEY(0x80000000u);
inline HKEY const HKEY_CURRENT_USER = VUTIL_ROOT_KEY(0x80000001u);
inline HKEY const HKEY_LOCAL_MACHINE = VUTIL_ROOT_KEY(0x80000002u);
inline HKEY const HKEY_USERS = VUTIL_ROOT_KEY(0x80000003u);
#endif

}  // namespace vutil
