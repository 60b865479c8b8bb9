// Anchor look-up over arbitrary bytes: the first line is the anchor, the rest the page.
// Also every result code's title and explanation.

#include <cstdint>
#include <string_view>

#include "vutil/core/text_array.h"
#include "vutil/web/html_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::size_t first = in.find('\n');
    vutil::CString anchor(in.substr(0, first == std::string_view::npos ? in.size() : first));
    vutil::TextArray lines;
    for (std::size_t from = first == std::string_view::npos ? in.size() + 1 : first + 1; from <= in.size();) {
        std::size_t end = in.find('\n', from);
        if (end == std::string_view::npos) end = in.size();
        lines.Add(vutil::CString(in.substr(from, end - from)));
        from = end + 1;
    }
    vutil::CString found;
    std::uint32_t code = vutil::CHTMLUtils::ValidateAnchor(anchor, lines, found);
    // Any match is the anchor itself up to case.
    if (code != vutil::CHTMLUtils::HTTP_LINK_ANCHORREF_NOANCHOR && found.CompareNoCase(anchor) != 0) __builtin_trap();
    std::uint32_t any = size >= 4 ? (std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 | std::uint32_t(data[2]) << 16 |
                                     std::uint32_t(data[3]) << 24)
                                  : static_cast<std::uint32_t>(size);
    vutil::CHTMLUtils::GetValidationDescription(any % 11000, true);
    vutil::CHTMLUtils::GetValidationDescription(any, false);
    return 0;
}
