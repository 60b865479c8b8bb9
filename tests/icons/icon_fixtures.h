#pragma once
// Executables and icon images built byte by byte, the way the published formats lay
// them out, so the tests need no toolchain.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "vutil/framework/icon_image.h"

namespace vutil::test {

inline void Put16(std::string& s, std::uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void Put32(std::string& s, std::uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}
inline void Set32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The test pattern every fixture image carries: each pixel's expected RGBA.
struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};
inline Rgba PaletteColour(int i) { return {(i * 37 + 11) % 256, (i * 91 + 7) % 256, (i * 53 + 3) % 256, 255}; }
inline bool MaskedOut(int x, int y) { return (x + y) % 3 == 0; }
inline int PaletteIndex(int x, int y, int bits) { return (x + 2 * y) % (1 << bits); }
// The colour of pixel (x, y), rows top down, of an image of that bit depth; tint sets
// images apart.
inline Rgba Expected(int x, int y, int bits, int tint) {
    Rgba c = bits <= 8 ? PaletteColour(PaletteIndex(x, y, bits) + tint) : Rgba{x * 8 % 256, y * 8 % 256, (x ^ y) * 4 % 256, 255};
    if (bits > 8) c.b = (c.b + tint) % 256;
    if (bits == 32) c.a = (x * 7 + y * 5 + 1) % 256;
    else if (MaskedOut(x, y)) c.a = 0;
    return c;
}

inline Rgba At(const IconImage& icon, int x, int y) {
    const BYTE* p = &icon.rgba[(std::size_t(y) * icon.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

// Every pixel of the icon carries the pattern of that depth and tint.
inline void ExpectPattern(const IconImage& icon, int bits, int tint) {
    ASSERT_EQ(icon.rgba.size(), std::size_t(icon.width) * icon.height * 4);
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x)
            ASSERT_EQ(At(icon, x, y), Expected(x, y, bits, tint)) << x << "," << y << " bits " << bits;
}

// A 40-byte-header icon image: colour rows bottom up, then the AND mask.
inline std::string BmpIcon(int w, int h, int bits, int tint = 0) {
    std::string s;
    Put32(s, 40);
    Put32(s, static_cast<std::uint32_t>(w));
    Put32(s, static_cast<std::uint32_t>(h * 2));
    Put16(s, 1);
    Put16(s, static_cast<std::uint32_t>(bits));
    for (int i = 0; i < 6; ++i) Put32(s, 0);
    if (bits <= 8)
        for (int i = 0; i < (1 << bits); ++i) {
            Rgba c = PaletteColour(i + tint);
            s += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r), 0};
        }
    const int stride = (w * bits + 31) / 32 * 4, maskStride = (w + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(stride), '\0');
        for (int x = 0; x < w; ++x) {
            Rgba c = Expected(x, y, bits, tint);
            if (bits <= 8) {
                int bit = x * bits;
                row[bit / 8] = static_cast<char>(row[bit / 8] | (PaletteIndex(x, y, bits) << (8 - bits - bit % 8)));
            } else {
                char* p = &row[static_cast<std::size_t>(x * bits / 8)];
                p[0] = static_cast<char>(c.b), p[1] = static_cast<char>(c.g), p[2] = static_cast<char>(c.r);
                if (bits == 32) p[3] = static_cast<char>(c.a);
            }
        }
        s += row;
    }
    for (int y = h - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(maskStride), '\0');
        for (int x = 0; x < w; ++x)
            if (MaskedOut(x, y)) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        s += row;
    }
    return s;
}

// One member of an icon group: its size, bit count and the icon resource it names.
struct GroupMember {
    int w, h, bits;
    std::uint16_t id;
    std::uint32_t bytes = 0;  // the image's size, which other readers check
};
inline std::string IconGroup(const std::vector<GroupMember>& members, std::uint16_t type = 1) {
    std::string s;
    Put16(s, 0);
    Put16(s, type);
    Put16(s, static_cast<std::uint32_t>(members.size()));
    for (const auto& m : members) {
        s += {static_cast<char>(m.w & 0xFF), static_cast<char>(m.h & 0xFF), static_cast<char>(m.bits >= 1 && m.bits <= 8 ? (1 << m.bits) & 0xFF : 0), 0};
        Put16(s, 1);
        Put16(s, static_cast<std::uint32_t>(m.bits));
        Put32(s, m.bytes);
        Put16(s, m.id);
    }
    return s;
}

struct Resource {
    std::uint32_t type;
    std::uint32_t id;   // used when name is empty
    std::string name;   // a named entry (ASCII)
    std::string data;
};

// A resource section at sectionRva: root, type and name directories, one language
// each (1033), data entries, names, data. Types appear in the order first given;
// within a type, entries in the order given.
inline std::string ResourceSection(const std::vector<Resource>& res, std::uint32_t sectionRva) {
    std::vector<std::uint32_t> types;
    for (const auto& r : res)
        if (std::find(types.begin(), types.end(), r.type) == types.end()) types.push_back(r.type);
    auto dirHeader = [](std::string& s, std::size_t named, std::size_t ids) {
        for (int i = 0; i < 3; ++i) Put32(s, 0);
        Put16(s, static_cast<std::uint32_t>(named));
        Put16(s, static_cast<std::uint32_t>(ids));
    };
    const std::size_t rootSize = 16 + 8 * types.size();
    std::size_t size = rootSize;
    std::vector<std::size_t> typeAt;
    for (auto t : types) {
        typeAt.push_back(size);
        size += 16 + 8 * std::count_if(res.begin(), res.end(), [t](const Resource& r) { return r.type == t; });
    }
    const std::size_t langDirs = size;
    size += res.size() * 24;
    const std::size_t dataEntries = size;
    size += res.size() * 16;
    std::vector<std::size_t> nameAt, dataAt;
    for (const auto& r : res) {
        nameAt.push_back(size);
        if (!r.name.empty()) size += (2 + 2 * r.name.size() + 3) / 4 * 4;
    }
    for (const auto& r : res) {
        size = (size + 7) / 8 * 8;
        dataAt.push_back(size);
        size += r.data.size();
    }
    std::string s;
    dirHeader(s, 0, types.size());
    for (std::size_t t = 0; t < types.size(); ++t) {
        Put32(s, types[t]);
        Put32(s, 0x80000000u | static_cast<std::uint32_t>(typeAt[t]));
    }
    for (auto t : types) {
        std::size_t named = 0, ids = 0;
        for (const auto& r : res)
            if (r.type == t) (r.name.empty() ? ids : named)++;
        dirHeader(s, named, ids);
        for (std::size_t i = 0; i < res.size(); ++i) {
            if (res[i].type != t) continue;
            Put32(s, res[i].name.empty() ? res[i].id : 0x80000000u | static_cast<std::uint32_t>(nameAt[i]));
            Put32(s, 0x80000000u | static_cast<std::uint32_t>(langDirs + 24 * i));
        }
    }
    for (std::size_t i = 0; i < res.size(); ++i) {
        dirHeader(s, 0, 1);
        Put32(s, 1033);
        Put32(s, static_cast<std::uint32_t>(dataEntries + 16 * i));
    }
    for (std::size_t i = 0; i < res.size(); ++i) {
        Put32(s, sectionRva + static_cast<std::uint32_t>(dataAt[i]));
        Put32(s, static_cast<std::uint32_t>(res[i].data.size()));
        Put32(s, 0);
        Put32(s, 0);
    }
    for (const auto& r : res) {
        if (r.name.empty()) continue;
        std::string n;
        Put16(n, static_cast<std::uint32_t>(r.name.size()));
        for (char c : r.name) Put16(n, static_cast<unsigned char>(c));
        n.resize((n.size() + 3) / 4 * 4, '\0');
        s += n;
    }
    for (std::size_t i = 0; i < res.size(); ++i) {
        s.resize(dataAt[i], '\0');
        s += res[i].data;
    }
    return s;
}

// Six icon images and three groups (a named one first, as resource order puts names
// before numbers); tints tell which image a walk took. At 32 pixels the groups give
// 8 bits tint 1, 32 bits tint 3 and 24 bits tint 6; at 16, 4 bits tint 2 first.
inline std::vector<Resource> ThreeGroups() {
    std::vector<Resource> r = {
        {3, 1, "", BmpIcon(32, 32, 8, 1)},  {3, 2, "", BmpIcon(16, 16, 4, 2)},
        {3, 3, "", BmpIcon(32, 32, 32, 3)}, {3, 4, "", BmpIcon(32, 32, 4, 4)},
        {3, 5, "", BmpIcon(32, 32, 24, 6)}, {3, 6, "", BmpIcon(48, 48, 32, 7)},
    };
    auto m = [&](int w, int bits, std::uint16_t id) {
        return GroupMember{w, w, bits, id, static_cast<std::uint32_t>(r[id - 1u].data.size())};
    };
    r.push_back({14, 0, "MAIN", IconGroup({m(16, 4, 2), m(32, 8, 1)})});
    r.push_back({14, 7, "", IconGroup({m(32, 4, 4), m(32, 32, 3), m(48, 32, 6)})});
    r.push_back({14, 9, "", IconGroup({m(32, 24, 5)})});
    return r;
}

enum class PeKind { k32, k64 };

// An executable image with one section, ".rsrc", at 0x3000 (a ".text" section of raw
// size 0 comes first so the walk must choose); the resource directory entry points
// at it unless rsrc is empty.
inline std::string Executable(const std::string& rsrc, PeKind kind = PeKind::k32, bool dll = false) {
    constexpr std::uint32_t kRva = 0x3000, kRaw = 0x400;
    const bool is64 = kind == PeKind::k64;
    const std::uint32_t optionalSize = is64 ? 240 : 224;
    std::string s(64, '\0');
    s[0] = 'M', s[1] = 'Z';
    Set32(s, 60, 0x80);
    s.resize(0x80, '\0');
    s += std::string("PE\0\0", 4);
    Put16(s, is64 ? 0x8664 : 0x14C);
    Put16(s, 2);
    Put32(s, 0), Put32(s, 0), Put32(s, 0);
    Put16(s, optionalSize);
    Put16(s, dll ? 0x2102 : 0x0102);
    const std::size_t optional = s.size();
    s.resize(optional + optionalSize, '\0');
    s[optional] = 0x0B, s[optional + 1] = is64 ? 0x02 : 0x01;
    const std::size_t dirs = optional + (is64 ? 112 : 96);
    Set32(s, dirs - 4, 16);  // NumberOfRvaAndSizes
    if (!rsrc.empty()) {
        Set32(s, dirs + 16, kRva);
        Set32(s, dirs + 20, static_cast<std::uint32_t>(rsrc.size()));
    }
    auto section = [&](const char* name, std::uint32_t vsize, std::uint32_t rva, std::uint32_t rawSize,
                       std::uint32_t raw) {
        std::string n(name);
        n.resize(8, '\0');
        s += n;
        Put32(s, vsize), Put32(s, rva), Put32(s, rawSize), Put32(s, raw);
        Put32(s, 0), Put32(s, 0), Put32(s, 0), Put32(s, 0x40000040);
    };
    section(".text", 0x1000, 0x1000, 0, 0);
    section(".rsrc", 0, kRva, static_cast<std::uint32_t>(rsrc.size()), kRaw);  // virtual size 0: raw size counts
    s.resize(kRaw, '\0');
    return s + rsrc;
}

}  // namespace vutil::test
