#pragma once
// Icons as pixels, and the icon services a windowing system would offer: picking the
// image of an icon group that best fits a size, making an icon from one stored icon
// image (a bitmap with its AND mask, or PNG), and writing PNG and .ico files.

#include <cstddef>
#include <string>
#include <vector>

#include "vutil/framework/types.h"

namespace vutil {

// Straight (not premultiplied) RGBA, four bytes a pixel, rows top down.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<BYTE> rgba;

    bool IsEmpty() const noexcept { return width <= 0 || height <= 0; }
    bool operator==(const IconImage&) const = default;
};

// The largest side accepted from any stored image; an icon directory can say at most 256.
inline constexpr int kMaxIconSide = 1024;

// The identifier of the member of an icon group (6-byte header, 14-byte entries) that
// best fits cx × cy: the closest size first, then the most colours, then the first
// listed. 0 when the group names no member.
int LookupIconIdFromDirectoryEx(const BYTE* group, std::size_t size, int cx, int cy);

// Decodes one stored icon image (a 40- or 12-byte bitmap header at 1, 4, 8, 16, 24
// or 32 bits with its AND mask, or a PNG stream) and scales it to cx × cy (0 keeps
// the stored size). False when the bytes are not such an image.
bool CreateIconFromResourceEx(const BYTE* bits, std::size_t size, int cx, int cy, IconImage& icon);

// PNG: any colour type and bit depth, interlaced or not, chunks checked by CRC.
bool DecodePng(const BYTE* data, std::size_t size, IconImage& image);
// An 8-bit RGBA PNG; empty for an empty image.
std::string EncodePng(const IconImage& image);
// A one-image .ico file: 32-bit bitmap with AND mask up to 255 pixels a side, PNG above.
std::string EncodeIco(const IconImage& image);

// Nearest-pixel scaling.
IconImage ScaleIcon(const IconImage& image, int width, int height);

}  // namespace vutil
