#pragma once
// Questions about the running system: version, input settings, screen, key states,
// the user's folders. Each query says whether the system could answer; where this
// platform has no such notion the answer is "no" and callers use their neutral result.

#include <map>
#include <optional>
#include <string>
#include <utility>

namespace vutil::platform {

// Windows version numbers (5.1, 6.1, 10.0...). POSIX: there is none; false.
bool QueryOSVersion(unsigned int& major, unsigned int& minor);
// Lines scrolled per wheel notch. POSIX: no system setting; false.
bool QueryWheelScrollLines(int& lines);
// Size of the bounding box of all monitors. POSIX: no display is asked; false.
bool QueryVirtualScreenSize(int& width, int& height);

// Icon sizes in pixels, small (menus, lists) or normal. POSIX: no system setting; false.
bool QueryIconSize(bool small, int& width, int& height);

// Virtual-key codes the library asks about.
enum : int { kVkShift = 0x10, kVkControl = 0x11, kVkCapital = 0x14, kVkInsert = 0x2D, kVkNumLock = 0x90 };
// The key state word: 0x8000 while the key is down, bit 0 the toggle state.
// POSIX: no keyboard is asked; 0 (up, not toggled).
short QueryKeyState(int virtualKey);

// The user's roaming application-data folder in library form, ending in a
// backslash. POSIX: $XDG_CONFIG_HOME, else ~/.config.
std::string UserAppDataFolder();

// Answers that replace the system's, for tests (null restores the system's).
struct SystemOverrides {
    std::optional<std::pair<unsigned int, unsigned int>> osVersion;
    std::optional<int> wheelScrollLines;
    std::optional<std::pair<int, int>> virtualScreen;
    std::map<int, short> keyStates;
    // A folder that stands for the system's own tables (/proc, /sys, /dev on POSIX),
    // so volumes can be answered from a fake tree.
    std::string systemRoot;
    std::optional<std::pair<int, int>> iconSize, smallIconSize;
};
void SetSystemOverridesForTesting(const SystemOverrides* overrides);

}  // namespace vutil::platform
