#ifdef _WIN32
#include "system_view.h"

#include <windows.h>

#include <filesystem>

namespace vutil::test {

namespace {
std::uint64_t Ticks(const FILETIME& ft) { return (std::uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime; }
}  // namespace

std::string SystemAttributeFlags(const std::string& path) {
    const DWORD a = ::GetFileAttributesW(std::filesystem::path(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return "?";
    return std::string(a & FILE_ATTRIBUTE_READONLY ? "R" : "-") + (a & FILE_ATTRIBUTE_HIDDEN ? "H" : "-") +
           (a & FILE_ATTRIBUTE_SYSTEM ? "S" : "-") + (a & FILE_ATTRIBUTE_ARCHIVE ? "A" : "-");
}

bool SystemFileTimes(const std::string& path, std::uint64_t& write, std::uint64_t& access) {
    HANDLE f = ::CreateFileW(std::filesystem::path(path).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    FILETIME w{}, a{};
    const bool ok = ::GetFileTime(f, nullptr, &a, &w);
    ::CloseHandle(f);
    write = Ticks(w);
    access = Ticks(a);
    return ok;
}

std::uint64_t SystemLocalToUtc(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME local{}, utc{};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(day);
    local.wHour = static_cast<WORD>(hour);
    local.wMinute = static_cast<WORD>(minute);
    local.wSecond = static_cast<WORD>(second);
    FILETIME ft{};
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !::SystemTimeToFileTime(&utc, &ft)) return 0;
    return Ticks(ft);
}

std::uintptr_t HoldFileOpen(const std::string& path) {
    HANDLE f = ::CreateFileW(std::filesystem::path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             0, nullptr);
    return f == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<std::uintptr_t>(f);
}

void CloseHeldFile(std::uintptr_t handle) {
    if (handle) ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

}  // namespace vutil::test
#endif
