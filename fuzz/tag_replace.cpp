// Template tags, blocks and marked regions on arbitrary text. The input is "tag NUL
// text"; without a NUL the tag is "{T}". The text is cut into lines at line feeds.

#include <cstdint>
#include <map>
#include <string_view>

#include "vutil/web/tag_conv_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vutil::CString;
    using U = vutil::CTagConvUtils;
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string_view tag = "{T}";
    if (std::size_t cut = in.find('\0'); cut != std::string_view::npos) {
        tag = in.substr(0, cut);
        in.remove_prefix(cut + 1);
    }
    const CString t(tag), whole(in);
    CString a(whole), b(whole), c(whole), d(whole);
    U::HaveAnyTag(whole);
    U::ReplaceTitleTag(a, t, CString());
    U::ReplaceTagYesNo(b, t, true);
    U::RemoveAllTags(c, true, std::map<CString, CString>{{t, CString()}, {U::TAG_IMAGE_FILE, CString()}});
    U::RemoveHTMLSurroundTag(d, t);
    vutil::CStringList lines, cut;
    for (std::size_t at = 0; at <= in.size();) {
        std::size_t nl = in.find('\n', at);
        if (nl == std::string_view::npos) nl = in.size();
        lines.AddTail(CString(in.substr(at, nl - at)));
        at = nl + 1;
    }
    vutil::CStringList images(lines), urls(lines);
    U::ReplaceImageBlock(images, t, CString("{E}"), CString("a.gif"), 3, 0);
    U::ReplaceURLBlock(urls, t, CString("{E}"), U::TAG_BACKLINK, CString());
    int index = 0;
    U::ParseHTMLBetweenTags(lines, t, CString("{E}"), cut, index);
    return 0;
}
