// Link extraction on arbitrary page bytes. The first byte picks the page kind (page,
// style sheet, server script, feed); the rest is the page, cut into lines at line feeds.

#include <cstdint>
#include <string_view>

#include "vutil/web/html_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const char* const kinds[] = {"htm", "css", "php", "xml"};
    const char* ext = kinds[data[0] % 4];
    std::string_view page(reinterpret_cast<const char*>(data) + 1, size - 1);
    vutil::TextArray lines;
    for (std::size_t at = 0; at <= page.size();) {
        std::size_t nl = page.find('\n', at);
        if (nl == std::string_view::npos) nl = page.size();
        lines.Add(vutil::CString(page.substr(at, nl - at)));
        at = nl + 1;
    }
    for (bool unverified : {false, true}) {
        vutil::TextArray links;
        vutil::CHTMLUtils::ParseLinksFromLines(lines, vutil::CString(ext), links, unverified);
        for (const vutil::CString& link : links) vutil::CHTMLUtils::GetAnchorIndex(link);
    }
    vutil::TextArray one;
    vutil::CHTMLUtils::ParseLink(vutil::CString(page), one, true);
    return 0;
}
