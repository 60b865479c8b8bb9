#pragma once
// Web and e-mail addresses: validation and repair of typed addresses, addresses found
// in free text, local paths as "file:///" addresses, the connection state and the
// Internet session the link checker uses.

#include "vutil/core/text_array.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class CInternetSession;

class CInternetUtils {
public:
    static bool IsValidEmailAddress(const CString& address);
    // Repairs common typing errors and normalises to scheme + host + path in place.
    static bool IsValidWebSiteAddress(CString& address);

    static void ParseEmailAddresses(const CString& text, TextArray& found);
    static void ParseWebSiteAddresses(const CString& text, TextArray& found);

    static bool IsInternetFile(const CString& name);
    static CString ConvertFromLocalPathToURL(const CString& path);
    static CString ConvertFromURLToLocalPath(const CString& url);

    static bool HaveInternetConnection(bool& modem, bool& lan, bool& proxy);
    static CString GetUserAgent();
    // The caller owns the session and deletes it; null on failure.
    static CInternetSession* CreateInternetSession();

protected:
    static void ParseHTTPFromServer(const CString& address, CString& scheme, CString& rest, bool& isNumeric);
};

}  // namespace vutil
