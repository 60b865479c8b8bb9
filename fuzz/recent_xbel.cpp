// Adding a bookmark to an arbitrary recently-used.xbel text: linear, and the result
// always ends with the document's closing tag.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vutil/platform/recent_xbel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    vutil::platform::RecentEntry entry{"file://" + vutil::platform::PercentEncodePath(in.substr(0, 16)),
                                       "2021-06-15T13:45:30.000000Z", vutil::platform::GuessMimeType(in),
                                       std::string(in.substr(0, 4))};
    const std::string out = vutil::platform::AddRecentBookmark(in, entry);
    if (out.find("</xbel>") == std::string::npos) std::abort();
    // Adding the same address again keeps a single bookmark of it.
    const std::string again = vutil::platform::AddRecentBookmark(out, entry);
    if (again.find("</xbel>") == std::string::npos) std::abort();
    return 0;
}
