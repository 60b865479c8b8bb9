#include "vutil/system/keyboard.h"

#include "vutil/platform/system.h"

namespace vutil {

namespace {
// Held: any bit besides the toggle bit. On: the toggle bit.
bool Held(int vk) { return (platform::QueryKeyState(vk) & ~1) != 0; }
bool Toggled(int vk) { return (platform::QueryKeyState(vk) & 1) != 0; }
}  // namespace

bool CKeyboard::IsShiftKeyDown() { return Held(platform::kVkShift); }
bool CKeyboard::IsCtrlKeyDown() { return Held(platform::kVkControl); }
bool CKeyboard::IsCapsLockOn() { return Toggled(platform::kVkCapital); }
bool CKeyboard::IsNumLockOn() { return Toggled(platform::kVkNumLock); }
bool CKeyboard::IsInsertOn() { return Toggled(platform::kVkInsert); }

}  // namespace vutil
