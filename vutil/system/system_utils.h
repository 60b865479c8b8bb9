#pragma once
// CSystemUtils: system and shell error codes as sentences, and a few questions
// about the running system.

#include "vutil/framework/cstring.h"

namespace vutil {

class CSystemUtils {
public:
    // The sentence for a system or shell file-operation error code; 0 asks for the
    // thread's last error. Empty when there is no error or no text for it.
    static CString GetLastError(unsigned long code);
    static void GetOSVersion(bool& ver5x, bool& ver60, bool& ver61, bool& verNewer);
    static int GetMouseScrollLines();
    static void GetScreenWorkArea(int& width, int& height);
    static CString GetUserSID();
};

}  // namespace vutil
