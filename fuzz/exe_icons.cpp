// Walks arbitrary bytes as an executable's resource tree, as the icon loader does
// over its read-only view, and looks resources up by position and by identifier.

#include <cstdint>
#include <cstdlib>

#include "vutil/files/file_utils.h"

namespace {

struct Walk : vutil::CFileUtils {
    using CFileUtils::ExtractIcons;
    using CFileUtils::FindResourceA;
    using CFileUtils::LoadResourceTable;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!data) return 0;
    const auto* image = reinterpret_cast<const vutil::IMAGE_DOS_HEADER*>(data);
    const auto* root = Walk::LoadResourceTable(image, size);
    if (!root) return 0;
    for (bool small : {false, true}) {
        vutil::CImageList images;
        int count = 0;
        Walk::ExtractIcons(image, size, root, count, images, small);
        if (images.GetImageCount() > count) std::abort();  // at most one icon per group
        for (int i = 0; i < images.GetImageCount(); ++i)
            if (images.GetImage(i)->width != (small ? 16 : 32)) std::abort();
    }
    for (int which : {0, 1, 2, -1, -2, -3, 1000, -65535}) {
        unsigned long length = 0;
        int count = 0;
        for (unsigned long type : {3ul, 14ul, 16ul}) {
            const std::uint8_t* found = Walk::FindResourceA(image, size, root, which, type, length, count);
            // Whatever is found lies whole inside the bytes.
            if (found && (found < data || found + length > data + size)) std::abort();
        }
    }
    return 0;
}
