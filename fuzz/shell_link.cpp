// The shell link reader on arbitrary bytes, and on valid links with bytes overwritten
// where the input says, so random inputs reach the link info and the extra blocks.

#include <cstdint>
#include <string>
#include <string_view>

#include "vutil/files/shell_link.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace sl = vutil::shell_link;
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string target, relative;
    sl::ReadLinkTarget(in, target, &relative);

    sl::LinkFields fields;
    fields.target = std::string(in.substr(0, 24));
    fields.description = std::string(in.substr(0, 8));
    std::string link = sl::BuildLink(fields);
    // Flags that switch on every optional part, so the walk meets them all.
    if (size > 0) link[20] = static_cast<char>(data[0] | 0x02);
    if (size > 1) link[21] = static_cast<char>(data[1] & 0x03);
    for (std::size_t i = 2; i + 1 < size; i += 2) link[data[i] % link.size()] = static_cast<char>(data[i + 1]);
    sl::ReadLinkTarget(link, target, &relative);
    link.resize(size % (link.size() + 1));
    sl::ReadLinkTarget(link, target, &relative);
    sl::BuildUrlShortcut(in);
    return 0;
}
