#pragma once
// The Windows system's own answers, asked without the library, for tests to compare
// against. Kept apart because <windows.h> and the framework's types do not mix.

#ifdef _WIN32
#include <cstdint>
#include <string>

namespace vutil::test {

// "RHSA" with '-' for each bit the system does not report on the file.
std::string SystemAttributeFlags(const std::string& path);
// The file's last-write and last-access times (FILETIME ticks), false when unreadable.
bool SystemFileTimes(const std::string& path, std::uint64_t& write, std::uint64_t& access);
// A local wall-clock time in the system's zone as FILETIME ticks (UTC).
std::uint64_t SystemLocalToUtc(int year, int month, int day, int hour, int minute, int second);
// Opens a file for reading as another program would, letting nobody delete or replace
// it meanwhile; 0 on failure. CloseHeldFile lets it go.
std::uintptr_t HoldFileOpen(const std::string& path);
void CloseHeldFile(std::uintptr_t handle);

}  // namespace vutil::test
#endif
