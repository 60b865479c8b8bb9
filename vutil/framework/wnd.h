#pragma once
// CWnd: one window. A default-constructed CWnd stands for one of the application's
// own windows (the owner a call asks for); FromHandle gives the object of a
// top-level window found on the display.

#include <cstdint>

#include "vutil/framework/cstring.h"

namespace vutil {

struct HWND__;
using HWND = HWND__*;

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND handle) : m_hWnd(handle) {}
    virtual ~CWnd() = default;

    HWND GetSafeHwnd() const { return m_hWnd; }
    void GetWindowText(CString& text) const;
    CString GetWindowText() const;

    // One object per handle, kept for the life of the process.
    static CWnd* FromHandle(HWND handle);

    HWND m_hWnd = nullptr;
};

}  // namespace vutil
