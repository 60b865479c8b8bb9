#pragma once
// CBrowserUtils: the user's default web browser and the well-known browsers that
// are registered. The settings store's start-menu registrations answer first; when
// it holds none, the desktop's default browser does.

#include "vutil/framework/cstring.h"

namespace vutil {

class CBrowserUtils {
public:
    static CString GetDefaultBrowserName();
    static CString GetDefaultBrowserPath();
    static CString GetDefaultBrowserIcon(int& iconIndex);
    static void GetInstalledBrowsers(bool& ie, bool& firefox, bool& opera, bool& chrome);

protected:
    // The registration key of the default browser; on the desktop, its entry's name.
    static CString GetDefaultBrowser();
};

}  // namespace vutil
