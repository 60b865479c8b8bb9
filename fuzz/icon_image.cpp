// Decodes arbitrary bytes as a stored icon image (bitmap with mask, or PNG) and as an
// icon group; what decodes must survive a PNG round trip unchanged.

#include <cstdint>
#include <cstdlib>

#include "vutil/framework/icon_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!data) return 0;
    vutil::LookupIconIdFromDirectoryEx(data, size, 32, 32);
    vutil::IconImage icon;
    if (!vutil::CreateIconFromResourceEx(data, size, 0, 0, icon)) return 0;
    const std::string png = vutil::EncodePng(icon);
    vutil::IconImage back;
    if (!vutil::DecodePng(reinterpret_cast<const std::uint8_t*>(png.data()), png.size(), back) || !(back == icon))
        std::abort();
    vutil::IconImage scaled;
    vutil::CreateIconFromResourceEx(data, size, 16, 16, scaled);
    if (scaled.width != 16 || scaled.rgba.size() != 16 * 16 * 4) std::abort();
    return 0;
}
