// Anchors, tag texts and the base address of arbitrary page bytes. The first byte splits
// off a tag pair for the text search: "open NUL close NUL page" when two NULs lead.

#include <cstdint>
#include <string_view>

#include "vutil/web/html_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string_view open = "<title", close = "</title>";
    std::size_t a = in.find('\0');
    std::size_t b = a == std::string_view::npos ? a : in.find('\0', a + 1);
    if (b != std::string_view::npos) {
        open = in.substr(0, a);
        close = in.substr(a + 1, b - a - 1);
        in.remove_prefix(b + 1);
    }
    vutil::TextArray lines;
    for (std::size_t at = 0; at <= in.size();) {
        std::size_t nl = in.find('\n', at);
        if (nl == std::string_view::npos) nl = in.size();
        lines.Add(vutil::CString(in.substr(at, nl - at)));
        at = nl + 1;
    }
    vutil::TextArray anchors, texts;
    bool duplicates = false;
    vutil::CHTMLUtils::GetAnchors(lines, anchors, duplicates);
    vutil::CHTMLUtils::ParseTextBetweenHTMLTags(lines, vutil::CString(open), vutil::CString(close), texts);
    vutil::CHTMLUtils::GetHTMLBasePathFromLines(lines);
    vutil::CHTMLUtils::GetAnchorIndex(vutil::CString(in));
    return 0;
}
