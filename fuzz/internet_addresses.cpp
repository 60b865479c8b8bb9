// Address validation, repair and extraction over arbitrary bytes taken as lines.

#include <cstdint>
#include <string_view>

#include "vutil/core/text_array.h"
#include "vutil/web/internet_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using U = vutil::CInternetUtils;
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    vutil::TextArray found;
    U::ParseEmailAddresses(vutil::CString(in), found);
    U::ParseWebSiteAddresses(vutil::CString(in), found);
    for (std::size_t from = 0; from <= in.size();) {
        std::size_t end = in.find('\n', from);
        if (end == std::string_view::npos) end = in.size();
        vutil::CString line(in.substr(from, end - from));
        U::IsValidEmailAddress(line);
        U::IsInternetFile(line);
        U::ConvertFromURLToLocalPath(U::ConvertFromLocalPathToURL(line));
        vutil::CString address(line);
        // Repaired addresses go round once more: they are new text for the splitter.
        if (U::IsValidWebSiteAddress(address)) U::IsValidWebSiteAddress(address);
        from = end + 1;
    }
    return 0;
}
