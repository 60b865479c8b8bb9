// The connection state: an interface that is up, running, not the loopback and has an
// address counts as a LAN connection; a proxy in the environment adds the proxy flag.
// Dial-up links are not told apart here.

#include <ifaddrs.h>
#include <net/if.h>

#include <cstdlib>

#include "vutil/platform/http.h"

namespace vutil::platform {

bool QueryInternetConnectedState(std::uint32_t& flags) {
    flags = 0;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) == 0) {
        for (const ifaddrs* i = list; i; i = i->ifa_next) {
            if (!i->ifa_addr || (i->ifa_flags & IFF_LOOPBACK)) continue;
            if ((i->ifa_flags & IFF_UP) && (i->ifa_flags & IFF_RUNNING)) {
                flags |= kConnectionLan;
                break;
            }
        }
        freeifaddrs(list);
    }
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
        if (const char* v = std::getenv(name); v && *v) {
            flags |= kConnectionProxy;
            break;
        }
    }
    return (flags & kConnectionLan) != 0;
}

}  // namespace vutil::platform
