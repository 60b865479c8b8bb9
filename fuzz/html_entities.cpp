// Character-entity decoding of arbitrary text in its three modes, with the result
// checked against what decoding may do to a text's length.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vutil/web/html_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vutil::CString text(std::string_view(reinterpret_cast<const char*>(data), size));
    vutil::CString decoded(text), removed(text), blanked(text);
    vutil::CHTMLUtils::ReplaceHTMLReservedChars(decoded, false, false);
    vutil::CHTMLUtils::ReplaceHTMLReservedChars(removed, true, false);
    vutil::CHTMLUtils::ReplaceHTMLReservedChars(blanked, false, true);
    // Entities only shrink, and blanking keeps every length.
    if (decoded.GetLength() > text.GetLength() || removed.GetLength() > text.GetLength() ||
        blanked.GetLength() != text.GetLength())
        std::abort();
    return 0;
}
