// CInternetUtils: connection state, user agent and the session for link validation.

#include <exception>

#include "vutil/framework/internet_session.h"
#include "vutil/framework/types.h"
#include "vutil/platform/http.h"
#include "vutil/system/registry_utils.h"
#include "vutil/web/internet_utils.h"

namespace vutil {

bool CInternetUtils::HaveInternetConnection(bool& modem, bool& lan, bool& proxy) {
    modem = lan = proxy = false;
    std::uint32_t flags = 0;
    if (platform::QueryInternetConnectedState(flags)) {
        modem = (flags & platform::kConnectionModem) != 0;
        proxy = (flags & platform::kConnectionProxy) != 0;
        lan = (flags & platform::kConnectionLan) != 0;
        return true;
    }
    if (flags & platform::kConnectionLan) {
        lan = true;
        return true;
    }
    return false;
}

CString CInternetUtils::GetUserAgent() {
    CString agent = CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER,
                                                "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                                                "User Agent", false);
    if (agent.IsEmpty()) agent = "Mozilla/4.0 (compatible; MSIE 6.1; Windows 32";
    return agent;
}

CInternetSession* CInternetUtils::CreateInternetSession() {
    try {
        return new CInternetSession(GetUserAgent(), 1, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    } catch (const std::exception&) {
        return nullptr;
    }
}

}  // namespace vutil
