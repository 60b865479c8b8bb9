#pragma once
// CKeyboard: the state of the modifier and toggle keys.

namespace vutil {

class CKeyboard {
public:
    static bool IsShiftKeyDown();
    static bool IsCtrlKeyDown();
    static bool IsCapsLockOn();
    static bool IsNumLockOn();
    static bool IsInsertOn();
};

}  // namespace vutil
