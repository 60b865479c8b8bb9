// The PE resource walk and the version-tree query on arbitrary bytes: as a whole image,
// as a version resource alone, and spliced into a valid image at offsets the input picks.

#include <cstdint>
#include <string>
#include <string_view>

#include "vutil/files/version_resource.h"

namespace {

void Put(std::string& s, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A PE32 image with one .rsrc section at file offset 0x200 (address 0x1000) holding a
// three-level tree whose data entry points at the version bytes.
std::string Image(std::string_view version) {
    std::string pe(0x200 + 0x58, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    Put(pe, 0x3C, 0x40, 4);
    Put(pe, 0x40, 0x00004550, 4);
    Put(pe, 0x46, 1, 2);      // one section
    Put(pe, 0x54, 0xE0, 2);   // optional header size
    Put(pe, 0x58, 0x10B, 2);  // PE32
    Put(pe, 0x58 + 92, 16, 4);
    const std::uint32_t rsrcSize = static_cast<std::uint32_t>(0x58 + version.size());
    Put(pe, 0x58 + 96 + 16, 0x1000, 4);
    Put(pe, 0x58 + 96 + 20, rsrcSize, 4);
    const std::size_t sec = 0x58 + 0xE0;
    Put(pe, sec + 8, rsrcSize, 4);
    Put(pe, sec + 12, 0x1000, 4);
    Put(pe, sec + 16, rsrcSize, 4);
    Put(pe, sec + 20, 0x200, 4);
    const std::size_t r = 0x200;
    Put(pe, r + 14, 1, 2);
    Put(pe, r + 16, 16, 4);
    Put(pe, r + 20, 0x80000018, 4);
    Put(pe, r + 0x18 + 14, 1, 2);
    Put(pe, r + 0x18 + 16, 1, 4);
    Put(pe, r + 0x18 + 20, 0x80000030, 4);
    Put(pe, r + 0x30 + 14, 1, 2);
    Put(pe, r + 0x30 + 16, 0x409, 4);
    Put(pe, r + 0x30 + 20, 0x48, 4);
    Put(pe, r + 0x48, 0x1058, 4);
    Put(pe, r + 0x4C, static_cast<std::uint32_t>(version.size()), 4);
    pe.append(version);
    return pe;
}

void Query(std::string_view resource) {
    std::string value;
    for (const char* key : {"CompanyName", "ProductName", "FileVersion"})
        vutil::version_resource::QueryVersionString(resource, "040904b0", key, value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace vr = vutil::version_resource;
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string_view resource;
    if (vr::FindVersionResource(in, resource)) Query(resource);
    Query(in);
    std::string image = Image(in);
    if (vr::FindVersionResource(image, resource)) Query(resource);
    // Header and tree bytes overwritten where the input says.
    for (std::size_t i = 0; i + 1 < size && i < 64; i += 2)
        image[(static_cast<std::size_t>(data[i]) * 3) % 0x258] = static_cast<char>(data[i + 1]);
    if (vr::FindVersionResource(image, resource)) Query(resource);
    return 0;
}
