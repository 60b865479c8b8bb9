#include "vutil/framework/icon_image.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace vutil {

namespace {

std::uint32_t Le16(const BYTE* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const BYTE* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void Put16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

constexpr BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Bits a pixel of a group member; old directories leave the bit count 0 and give a
// colour count instead (0 meaning 256 or more).
int MemberBits(const BYTE* entry) {
    int bits = static_cast<int>(Le16(entry + 6));
    if (bits != 0) return bits;
    int colours = entry[2];
    if (colours == 0) return 8;
    int b = 0;
    while ((1 << b) < colours) ++b;
    return b;
}

bool DecodeBitmap(const BYTE* bits, std::size_t size, IconImage& icon) {
    if (size < 12) return false;
    const std::uint32_t headerSize = Le32(bits);
    std::int64_t width, height2;
    unsigned bitCount;
    std::size_t paletteEntry, paletteCount;
    if (headerSize == 40) {
        if (size < 40) return false;
        width = static_cast<std::int32_t>(Le32(bits + 4));
        height2 = static_cast<std::int32_t>(Le32(bits + 8));
        bitCount = Le16(bits + 14);
        if (Le32(bits + 16) != 0) return false;  // only uncompressed colour bits
        std::uint32_t used = Le32(bits + 32);
        paletteEntry = 4;
        if (bitCount <= 8) {
            if (used > (1u << bitCount)) return false;
            paletteCount = used ? used : (std::size_t{1} << bitCount);
        } else {
            // A table for palette-based displays may precede true-colour bits.
            if (used > 256) return false;
            paletteCount = used;
        }
    } else if (headerSize == 12) {
        width = Le16(bits + 4);
        height2 = Le16(bits + 6);
        bitCount = Le16(bits + 10);
        paletteEntry = 3;
        paletteCount = bitCount <= 8 ? (std::size_t{1} << bitCount) : 0;
    } else {
        return false;
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return false;
    // The stored height counts the colour rows and the mask rows.
    const std::int64_t height = height2 / 2;
    if (width < 1 || height < 1 || width > kMaxIconSide || height > kMaxIconSide) return false;

    const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    const std::size_t paletteOffset = headerSize;
    const std::size_t colourOffset = paletteOffset + paletteCount * paletteEntry;
    const std::size_t colourStride = ((w * bitCount + 31) / 32) * 4;
    const std::size_t maskOffset = colourOffset + colourStride * h;
    const std::size_t maskStride = ((w + 31) / 32) * 4;
    if (maskOffset > size) return false;
    // Without its mask the image is taken as opaque.
    const bool hasMask = maskOffset + maskStride * h <= size;

    icon.width = static_cast<int>(w);
    icon.height = static_cast<int>(h);
    icon.rgba.assign(w * h * 4, 0);
    const BYTE* palette = bits + paletteOffset;
    bool anyAlpha = false;
    for (std::size_t y = 0; y < h; ++y) {
        const BYTE* row = bits + colourOffset + (h - 1 - y) * colourStride;  // stored bottom up
        BYTE* out = icon.rgba.data() + y * w * 4;
        for (std::size_t x = 0; x < w; ++x, out += 4) {
            std::uint32_t r = 0, g = 0, b = 0, a = 255;
            if (bitCount <= 8) {
                std::size_t bitPos = x * bitCount;
                unsigned index = (row[bitPos / 8] >> (8 - bitCount - bitPos % 8)) & ((1u << bitCount) - 1);
                if (index < paletteCount) {
                    const BYTE* c = palette + index * paletteEntry;
                    b = c[0];
                    g = c[1];
                    r = c[2];
                }
            } else if (bitCount == 16) {
                std::uint32_t v = Le16(row + x * 2);
                r = ((v >> 10) & 31) * 255 / 31;
                g = ((v >> 5) & 31) * 255 / 31;
                b = (v & 31) * 255 / 31;
            } else {
                const BYTE* c = row + x * (bitCount / 8);
                b = c[0];
                g = c[1];
                r = c[2];
                if (bitCount == 32) {
                    a = c[3];
                    anyAlpha |= a != 0;
                }
            }
            out[0] = static_cast<BYTE>(r);
            out[1] = static_cast<BYTE>(g);
            out[2] = static_cast<BYTE>(b);
            out[3] = static_cast<BYTE>(a);
        }
    }
    // The mask decides transparency unless the colour bits carry their own alpha.
    if (bitCount == 32 && anyAlpha) return true;
    for (std::size_t y = 0; y < h; ++y) {
        const BYTE* mask = hasMask ? bits + maskOffset + (h - 1 - y) * maskStride : nullptr;
        BYTE* out = icon.rgba.data() + y * w * 4;
        for (std::size_t x = 0; x < w; ++x, out += 4) {
            bool transparent = mask && ((mask[x / 8] >> (7 - x % 8)) & 1);
            out[3] = transparent ? 0 : 255;
        }
    }
    return true;
}

}  // namespace

int LookupIconIdFromDirectoryEx(const BYTE* group, std::size_t size, int cx, int cy) {
    if (!group || size < 6) return 0;
    const std::size_t count = Le16(group + 4);
    int best = 0;
    std::int64_t bestDistance = 0;
    int bestBits = 0;
    for (std::size_t i = 0; i < count && 6 + (i + 1) * 14 <= size; ++i) {
        const BYTE* e = group + 6 + i * 14;
        const int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
        const std::int64_t distance = std::llabs(std::int64_t{w} - cx) + std::llabs(std::int64_t{h} - cy);
        const int bitsPerPixel = MemberBits(e);
        const int id = static_cast<int>(Le16(e + 12));
        if (best == 0 || distance < bestDistance || (distance == bestDistance && bitsPerPixel > bestBits)) {
            if (id == 0) continue;
            best = id;
            bestDistance = distance;
            bestBits = bitsPerPixel;
        }
    }
    return best;
}

bool CreateIconFromResourceEx(const BYTE* bits, std::size_t size, int cx, int cy, IconImage& icon) {
    icon = IconImage{};
    if (!bits || cx < 0 || cy < 0 || cx > kMaxIconSide || cy > kMaxIconSide) return false;
    IconImage decoded;
    bool ok = size >= sizeof kPngSignature && std::memcmp(bits, kPngSignature, sizeof kPngSignature) == 0
                  ? DecodePng(bits, size, decoded)
                  : DecodeBitmap(bits, size, decoded);
    if (!ok || decoded.width > kMaxIconSide || decoded.height > kMaxIconSide) return false;
    const int w = cx ? cx : decoded.width, h = cy ? cy : decoded.height;
    icon = (w == decoded.width && h == decoded.height) ? std::move(decoded) : ScaleIcon(decoded, w, h);
    return true;
}

IconImage ScaleIcon(const IconImage& image, int width, int height) {
    IconImage out;
    if (image.IsEmpty() || width <= 0 || height <= 0) return out;
    out.width = width;
    out.height = height;
    out.rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
        // Pixel centres map to pixel centres.
        const std::size_t sy = static_cast<std::size_t>((2 * std::int64_t{y} + 1) * image.height / (2 * std::int64_t{height}));
        for (int x = 0; x < width; ++x) {
            const std::size_t sx = static_cast<std::size_t>((2 * std::int64_t{x} + 1) * image.width / (2 * std::int64_t{width}));
            std::memcpy(&out.rgba[(static_cast<std::size_t>(y) * width + x) * 4],
                        &image.rgba[(sy * static_cast<std::size_t>(image.width) + sx) * 4], 4);
        }
    }
    return out;
}

std::string EncodeIco(const IconImage& image) {
    if (image.IsEmpty() || image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4) return {};
    std::string body;
    const std::size_t w = static_cast<std::size_t>(image.width), h = static_cast<std::size_t>(image.height);
    if (w > 255 || h > 255) {
        body = EncodePng(image);
    } else {
        const std::size_t maskStride = ((w + 31) / 32) * 4;
        Put32(body, 40);
        Put32(body, static_cast<std::uint32_t>(w));
        Put32(body, static_cast<std::uint32_t>(h * 2));
        Put16(body, 1);
        Put16(body, 32);
        Put32(body, 0);
        Put32(body, static_cast<std::uint32_t>(w * h * 4 + maskStride * h));
        for (int i = 0; i < 4; ++i) Put32(body, 0);
        for (std::size_t y = h; y-- > 0;) {
            for (std::size_t x = 0; x < w; ++x) {
                const BYTE* p = &image.rgba[(y * w + x) * 4];
                body.push_back(static_cast<char>(p[2]));
                body.push_back(static_cast<char>(p[1]));
                body.push_back(static_cast<char>(p[0]));
                body.push_back(static_cast<char>(p[3]));
            }
        }
        for (std::size_t y = h; y-- > 0;) {
            std::string row(maskStride, '\0');
            for (std::size_t x = 0; x < w; ++x)
                if (image.rgba[(y * w + x) * 4 + 3] == 0) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
            body += row;
        }
    }
    std::string out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(static_cast<char>(w >= 256 ? 0 : w));
    out.push_back(static_cast<char>(h >= 256 ? 0 : h));
    out.push_back(0);  // colour count: not palette-based
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<std::uint32_t>(body.size()));
    Put32(out, 6 + 16);
    return out + body;
}

}  // namespace vutil
