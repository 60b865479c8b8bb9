// PNG reading and writing for icons, on zlib's inflate, deflate and CRC-32.

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "vutil/framework/icon_image.h"

namespace vutil {

namespace {

constexpr BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

std::uint32_t Be32(const BYTE* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}
void PutBe32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

struct Header {
    std::uint32_t width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    int Channels() const {
        switch (colourType) {
            case 0: case 3: return 1;
            case 2: return 3;
            case 4: return 2;
            default: return 4;
        }
    }
    std::size_t BitsPerPixel() const { return static_cast<std::size_t>(Channels()) * depth; }
    std::size_t RowBytes(std::size_t w) const { return (w * BitsPerPixel() + 7) / 8; }
};

bool ValidHeader(const Header& h) {
    if (h.width == 0 || h.height == 0 || h.width > kMaxIconSide || h.height > kMaxIconSide) return false;
    if (h.interlace > 1) return false;
    switch (h.colourType) {
        case 0: return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8 || h.depth == 16;
        case 3: return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8;
        case 2: case 4: case 6: return h.depth == 8 || h.depth == 16;
        default: return false;
    }
}

int Paeth(int a, int b, int c) {
    int p = a + b - c, pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

// Undoes the row filters of one (sub)image in place; false on an unknown filter.
bool Unfilter(BYTE* data, std::size_t rows, std::size_t rowBytes, std::size_t bpp) {
    BYTE* prior = nullptr;
    for (std::size_t y = 0; y < rows; ++y) {
        BYTE* line = data + y * (rowBytes + 1);
        const int filter = line[0];
        BYTE* cur = line + 1;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= bpp ? cur[i - bpp] : 0;
            const int b = prior ? prior[i] : 0;
            const int c = (prior && i >= bpp) ? prior[i - bpp] : 0;
            int add;
            switch (filter) {
                case 0: add = 0; break;
                case 1: add = a; break;
                case 2: add = b; break;
                case 3: add = (a + b) / 2; break;
                case 4: add = Paeth(a, b, c); break;
                default: return false;
            }
            cur[i] = static_cast<BYTE>(cur[i] + add);
        }
        prior = cur;
    }
    return true;
}

struct Palette {
    BYTE rgba[256][4] = {};
    std::size_t count = 0;
};

// One sample (already unfiltered) at pixel x of a row, scaled to 8 bits.
void StorePixel(const Header& h, const BYTE* row, std::size_t x, const Palette& palette, bool keyed,
                const std::uint16_t key[3], BYTE* out) {
    auto sample = [&](std::size_t index) -> std::uint32_t {  // raw sample value
        if (h.depth == 16) return (static_cast<std::uint32_t>(row[index * 2]) << 8) | row[index * 2 + 1];
        if (h.depth == 8) return row[index];
        std::size_t bit = index * h.depth;
        return (row[bit / 8] >> (8 - h.depth - bit % 8)) & ((1u << h.depth) - 1);
    };
    auto to8 = [&](std::uint32_t v) -> BYTE {
        if (h.depth == 16) return static_cast<BYTE>(v >> 8);
        return static_cast<BYTE>(v * 255 / ((1u << h.depth) - 1));
    };
    const std::size_t n = static_cast<std::size_t>(h.Channels());
    switch (h.colourType) {
        case 0: {
            std::uint32_t v = sample(x);
            out[0] = out[1] = out[2] = to8(v);
            out[3] = (keyed && v == key[0]) ? 0 : 255;
            break;
        }
        case 2: {
            std::uint32_t r = sample(x * n), g = sample(x * n + 1), b = sample(x * n + 2);
            out[0] = to8(r);
            out[1] = to8(g);
            out[2] = to8(b);
            out[3] = (keyed && r == key[0] && g == key[1] && b == key[2]) ? 0 : 255;
            break;
        }
        case 3: {
            std::uint32_t i = sample(x);
            if (i < palette.count) std::memcpy(out, palette.rgba[i], 4);
            else out[0] = out[1] = out[2] = 0, out[3] = 255;
            break;
        }
        case 4:
            out[0] = out[1] = out[2] = to8(sample(x * 2));
            out[3] = to8(sample(x * 2 + 1));
            break;
        default:
            for (std::size_t c = 0; c < 4; ++c) out[c] = to8(sample(x * 4 + c));
    }
}

}  // namespace

bool DecodePng(const BYTE* data, std::size_t size, IconImage& image) {
    image = IconImage{};
    if (!data || size < 8 || std::memcmp(data, kSignature, 8) != 0) return false;
    Header h;
    Palette palette;
    bool keyed = false, seenHeader = false, seenData = false, dataEnded = false, ended = false;
    std::uint16_t key[3] = {};
    std::vector<BYTE> raw;
    std::size_t expected = 0;

    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    struct ZEnd {
        z_stream* z;
        ~ZEnd() { inflateEnd(z); }
    } zEnd{&z};
    bool streamDone = false;

    std::size_t pos = 8;
    while (!ended) {
        if (size - pos < 12) return false;
        const std::uint32_t length = Be32(data + pos);
        if (length > 0x7FFFFFFF || length > size - pos - 12) return false;
        const BYTE* type = data + pos + 4;
        const BYTE* body = type + 4;
        if (Be32(body + length) != crc32(crc32(0, nullptr, 0), type, length + 4)) return false;
        pos += 12 + length;
        const bool critical = !(type[0] & 0x20);
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (seenHeader || length != 13) return false;
            seenHeader = true;
            h.width = Be32(body);
            h.height = Be32(body + 4);
            h.depth = body[8];
            h.colourType = body[9];
            h.interlace = body[12];
            if (body[10] != 0 || body[11] != 0 || !ValidHeader(h)) return false;
            if (h.interlace == 0) {
                expected = static_cast<std::size_t>(h.height) * (h.RowBytes(h.width) + 1);
            } else {
                static const int kStart[7][2] = {{0, 0}, {4, 0}, {0, 4}, {2, 0}, {0, 2}, {1, 0}, {0, 1}};
                static const int kStep[7][2] = {{8, 8}, {8, 8}, {4, 8}, {4, 4}, {2, 4}, {2, 2}, {1, 2}};
                for (int p = 0; p < 7; ++p) {
                    std::size_t pw = (h.width + kStep[p][0] - 1 - kStart[p][0]) / kStep[p][0];
                    std::size_t ph = (h.height + kStep[p][1] - 1 - kStart[p][1]) / kStep[p][1];
                    if (h.width <= static_cast<std::uint32_t>(kStart[p][0])) pw = 0;
                    if (h.height <= static_cast<std::uint32_t>(kStart[p][1])) ph = 0;
                    if (pw && ph) expected += ph * (h.RowBytes(pw) + 1);
                }
            }
        } else if (!seenHeader) {
            return false;
        } else if (std::memcmp(type, "PLTE", 4) == 0) {
            if (seenData || length % 3 != 0 || length / 3 > 256 || length == 0) return false;
            palette.count = length / 3;
            for (std::size_t i = 0; i < palette.count; ++i) {
                std::memcpy(palette.rgba[i], body + i * 3, 3);
                palette.rgba[i][3] = 255;
            }
        } else if (std::memcmp(type, "tRNS", 4) == 0) {
            if (h.colourType == 3) {
                for (std::size_t i = 0; i < length && i < 256; ++i) palette.rgba[i][3] = body[i];
            } else if (h.colourType == 0 && length >= 2) {
                keyed = true;
                key[0] = static_cast<std::uint16_t>((body[0] << 8) | body[1]);
            } else if (h.colourType == 2 && length >= 6) {
                keyed = true;
                for (int c = 0; c < 3; ++c) key[c] = static_cast<std::uint16_t>((body[c * 2] << 8) | body[c * 2 + 1]);
            }
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            if (dataEnded || (h.colourType == 3 && palette.count == 0)) return false;
            seenData = true;
            if (streamDone) continue;  // trailing bytes after the stream end are ignored
            z.next_in = const_cast<BYTE*>(body);
            z.avail_in = length;
            while (z.avail_in > 0 && !streamDone) {
                // The buffer grows with the output, so memory follows what really inflates.
                std::size_t have = raw.size();
                BYTE spare = 0;  // catches output beyond what the image holds
                std::size_t grow = std::min<std::size_t>(expected - have, std::max<std::size_t>(have, 65536));
                raw.resize(have + grow);
                z.next_out = grow ? raw.data() + have : &spare;
                z.avail_out = grow ? static_cast<uInt>(grow) : 1;
                int rc = inflate(&z, Z_NO_FLUSH);
                if (!grow && z.avail_out == 0) return false;
                if (grow) raw.resize(have + (grow - z.avail_out));
                if (rc == Z_STREAM_END) streamDone = true;
                else if (rc != Z_OK && rc != Z_BUF_ERROR) return false;
                else if (rc == Z_BUF_ERROR) break;
            }
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            ended = true;
        } else if (critical) {
            return false;  // a critical chunk we cannot interpret
        }
        if (seenData && std::memcmp(type, "IDAT", 4) != 0) dataEnded = true;
    }
    if (!streamDone || raw.size() != expected) return false;

    const std::size_t w = h.width, hgt = h.height;
    const std::size_t bpp = std::max<std::size_t>(1, h.BitsPerPixel() / 8);
    image.width = static_cast<int>(w);
    image.height = static_cast<int>(hgt);
    image.rgba.assign(w * hgt * 4, 0);
    if (h.interlace == 0) {
        if (!Unfilter(raw.data(), hgt, h.RowBytes(w), bpp)) return image = IconImage{}, false;
        for (std::size_t y = 0; y < hgt; ++y) {
            const BYTE* row = raw.data() + y * (h.RowBytes(w) + 1) + 1;
            for (std::size_t x = 0; x < w; ++x) StorePixel(h, row, x, palette, keyed, key, &image.rgba[(y * w + x) * 4]);
        }
        return true;
    }
    static const int kStart[7][2] = {{0, 0}, {4, 0}, {0, 4}, {2, 0}, {0, 2}, {1, 0}, {0, 1}};
    static const int kStep[7][2] = {{8, 8}, {8, 8}, {4, 8}, {4, 4}, {2, 4}, {2, 2}, {1, 2}};
    std::size_t offset = 0;
    for (int p = 0; p < 7; ++p) {
        if (w <= static_cast<std::size_t>(kStart[p][0]) || hgt <= static_cast<std::size_t>(kStart[p][1])) continue;
        const std::size_t pw = (w + kStep[p][0] - 1 - kStart[p][0]) / kStep[p][0];
        const std::size_t ph = (hgt + kStep[p][1] - 1 - kStart[p][1]) / kStep[p][1];
        const std::size_t rb = h.RowBytes(pw);
        if (!Unfilter(raw.data() + offset, ph, rb, bpp)) return image = IconImage{}, false;
        for (std::size_t y = 0; y < ph; ++y) {
            const BYTE* row = raw.data() + offset + y * (rb + 1) + 1;
            const std::size_t iy = kStart[p][1] + y * kStep[p][1];
            for (std::size_t x = 0; x < pw; ++x) {
                const std::size_t ix = kStart[p][0] + x * kStep[p][0];
                StorePixel(h, row, x, palette, keyed, key, &image.rgba[(iy * w + ix) * 4]);
            }
        }
        offset += ph * (rb + 1);
    }
    return true;
}

std::string EncodePng(const IconImage& image) {
    if (image.IsEmpty() || image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4) return {};
    const std::size_t w = static_cast<std::size_t>(image.width), h = static_cast<std::size_t>(image.height);
    // Each row with the "up" filter: icons have long runs that repeat row to row.
    std::vector<BYTE> filtered(h * (w * 4 + 1));
    for (std::size_t y = 0; y < h; ++y) {
        BYTE* out = filtered.data() + y * (w * 4 + 1);
        const BYTE* cur = image.rgba.data() + y * w * 4;
        const BYTE* above = y ? cur - w * 4 : nullptr;
        out[0] = y ? 2 : 0;
        for (std::size_t i = 0; i < w * 4; ++i) out[1 + i] = static_cast<BYTE>(cur[i] - (above ? above[i] : 0));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(filtered.size()));
    std::vector<BYTE> packed(packedSize);
    if (compress2(packed.data(), &packedSize, filtered.data(), static_cast<uLong>(filtered.size()), 9) != Z_OK)
        return {};
    std::string out(reinterpret_cast<const char*>(kSignature), 8);
    auto chunk = [&](const char* type, const BYTE* body, std::size_t length) {
        PutBe32(out, static_cast<std::uint32_t>(length));
        std::size_t start = out.size();
        out.append(type, 4);
        if (length) out.append(reinterpret_cast<const char*>(body), length);
        PutBe32(out, static_cast<std::uint32_t>(
                         crc32(crc32(0, nullptr, 0), reinterpret_cast<const BYTE*>(out.data()) + start, static_cast<uInt>(length + 4))));
    };
    BYTE ihdr[13] = {};
    for (int i = 0; i < 4; ++i) {
        ihdr[i] = static_cast<BYTE>(w >> (24 - 8 * i));
        ihdr[4 + i] = static_cast<BYTE>(h >> (24 - 8 * i));
    }
    ihdr[8] = 8;
    ihdr[9] = 6;
    chunk("IHDR", ihdr, sizeof ihdr);
    chunk("IDAT", packed.data(), packedSize);
    chunk("IEND", nullptr, 0);
    return out;
}

}  // namespace vutil
