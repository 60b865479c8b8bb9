#pragma once
// CExeUtils: starting programs directly or through the desktop's handlers, the
// program an extension opens with, top-level windows, and sentences for launch
// failures.

#include "vutil/framework/cstring.h"
#include "vutil/framework/process_handle.h"
#include "vutil/framework/wnd.h"

namespace vutil {

class CExeUtils {
public:
    enum LaunchCommand { LC_OPEN = 0, LC_EDIT = 1, LC_EXPLORE = 2, LC_FIND = 3, LC_PRINT = 4, LC_PROPERTIES = 5,
                         LC_RUNAS = 6 };

    // Handles come back as CProcessHandle handles; the caller closes both.
    static bool LaunchApp(const CString& exe, const CString& arguments, const CString& initialDir,
                          const CString& windowTitle, bool wait, void*& threadHandle, void*& processHandle);
    static bool ShellLaunchApp(const CString& file, const CString& parameters, const CString& dir, bool plainInvoke,
                               LaunchCommand command, int showCommand, CString& error, HWND owner);
    static CString GetFileAssocExe(const CString& extension, LaunchCommand command);
    static CWnd* FindAppWindow(const CString& className, const CString& title, bool exactTitle);
    static int FindAppWindowCount(const CString& className, const CString& title, bool exactTitle);

    // The shell verb of a command ("open" for values without one).
    static const char* GetVerb(LaunchCommand command, bool forAssociation);

protected:
    static CString GetDisplayError(const CString& text);
};

}  // namespace vutil
