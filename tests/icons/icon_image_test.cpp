// Icon images as pixels: the stored bitmap forms, PNG against Python's zlib, .ico
// against icoutils, best fit and the image list.

#include <gtest/gtest.h>

#include <filesystem>

#include "icon_fixtures.h"
#include "support/test_support.h"
#include "vutil/framework/image_list.h"

namespace vutil {
namespace {

using test::BmpIcon;

IconImage Decode(const std::string& bytes, int cx = 0, int cy = 0) {
    IconImage icon;
    EXPECT_TRUE(CreateIconFromResourceEx(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), cx, cy, icon));
    return icon;
}

TEST(IconImages, BitmapsAtEveryDepthWithTheirMasks) {
    struct Case {
        int w, h, bits;
    } cases[] = {{32, 32, 1}, {17, 5, 1}, {32, 32, 4}, {3, 7, 4}, {16, 16, 8}, {33, 9, 8},
                 {32, 32, 24}, {5, 3, 24}, {48, 48, 32}, {7, 2, 32}};
    for (const auto& c : cases) {
        const IconImage icon = Decode(BmpIcon(c.w, c.h, c.bits, 5));
        ASSERT_EQ(icon.width, c.w);
        ASSERT_EQ(icon.height, c.h);
        test::ExpectPattern(icon, c.bits, 5);
    }
}

TEST(IconImages, OlderAndSparseBitmapForms) {
    // 32 bits with every alpha 0: the mask decides, as for the older depths.
    std::string noAlpha = BmpIcon(8, 8, 32);
    for (std::size_t i = 40 + 3; i < 40 + 8 * 8 * 4; i += 4) noAlpha[i] = 0;
    const IconImage masked = Decode(noAlpha);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(test::At(masked, x, y).a, test::MaskedOut(x, y) ? 0 : 255);

    // The 12-byte header: 16-bit sizes and three-byte palette entries.
    std::string core;
    test::Put32(core, 12), test::Put16(core, 2), test::Put16(core, 4), test::Put16(core, 1), test::Put16(core, 1);
    core += std::string("\x10\x20\x30\x40\x50\x60", 6);  // palette: index 0, index 1 (blue, green, red)
    core += std::string("\x40\0\0\0\x80\0\0\0", 8);     // rows bottom up: (1,0) then (0,1)... set pixel bits
    core += std::string("\x40\0\0\0\0\0\0\0", 8);       // mask: bottom row's right pixel transparent
    const IconImage small = Decode(core);
    ASSERT_EQ(small.width, 2);
    EXPECT_EQ(test::At(small, 0, 0), (test::Rgba{0x60, 0x50, 0x40, 255}));
    EXPECT_EQ(test::At(small, 1, 0), (test::Rgba{0x30, 0x20, 0x10, 255}));
    EXPECT_EQ(test::At(small, 1, 1), (test::Rgba{0x60, 0x50, 0x40, 0}));

    // Refused: compressed bits, bit counts that do not exist, sizes out of range, short data.
    const std::string good = BmpIcon(4, 4, 8);
    for (const auto& [at, patch] : std::vector<std::pair<std::size_t, std::string>>{
             {16, "\x01"}, {14, "\x02"}, {4, std::string("\0\0\0\0", 4)}, {8, "\xff\xff\xff\xff"}, {4, "\x01\x08"}}) {
        std::string bad = good;
        bad.replace(at, patch.size(), patch);
        IconImage icon;
        EXPECT_FALSE(CreateIconFromResourceEx(reinterpret_cast<const BYTE*>(bad.data()), bad.size(), 0, 0, icon)) << at;
    }
    IconImage icon;
    EXPECT_FALSE(CreateIconFromResourceEx(reinterpret_cast<const BYTE*>(good.data()), 40 + 1024, 0, 0, icon));
}

TEST(IconImages, BestFitIsClosestSizeThenMostColours) {
    using M = test::GroupMember;
    struct Case {
        std::vector<M> members;
        int cx, cy, id;
    } cases[] = {
        {{{16, 16, 8, 1}, {32, 32, 4, 2}, {32, 32, 8, 3}, {48, 48, 32, 4}}, 32, 32, 3},
        {{{16, 16, 8, 1}, {32, 32, 4, 2}, {32, 32, 8, 3}, {48, 48, 32, 4}}, 16, 16, 1},
        {{{16, 16, 8, 1}, {32, 32, 4, 2}, {32, 32, 8, 3}, {48, 48, 32, 4}}, 44, 44, 4},
        {{{24, 24, 32, 5}, {40, 40, 4, 6}}, 32, 32, 5},  // equally near: more colours
        {{{0, 0, 32, 7}, {48, 48, 32, 8}}, 256, 256, 7},  // 0 in the directory means 256
        {{{32, 32, 0, 9}, {32, 32, 4, 10}}, 32, 32, 9},   // no bit count: 256 colours from the colour count 0
        {{}, 32, 32, 0},
    };
    for (const auto& c : cases) {
        const std::string group = test::IconGroup(c.members);
        EXPECT_EQ(LookupIconIdFromDirectoryEx(reinterpret_cast<const BYTE*>(group.data()), group.size(), c.cx, c.cy), c.id);
    }
}

// Writes PNG files of every colour type, depth and both interlace methods with
// Python's zlib, and the RGBA each must decode to.
constexpr const char* kPngWriter = R"PY(
import struct, sys, zlib, os
out = sys.argv[1]
def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
def sample(x, y, c, depth): return (x * 7 + y * 13 + c * 5) % (1 << depth)
def to8(v, depth): return v >> 8 if depth == 16 else v * 255 // ((1 << depth) - 1)
ADAM = [(0,0,8,8),(4,0,8,8),(0,4,4,8),(2,0,4,4),(0,2,2,4),(1,0,2,2),(0,1,1,2)]
def rowbytes(vals, depth):
    if depth == 16: return b''.join(struct.pack('>H', v) for v in vals)
    if depth == 8: return bytes(vals)
    bits = ''.join(format(v, '0%db' % depth) for v in vals)
    bits += '0' * (-len(bits) % 8)
    return bytes(int(bits[i:i+8], 2) for i in range(0, len(bits), 8))
def write(name, w, h, ctype, depth, interlace, filt):
    ch = {0:1, 2:3, 3:1, 4:2, 6:4}[ctype]
    pal = [((i*40)%256, (i*90)%256, (i*150)%256) for i in range(1 << depth)] if ctype == 3 else []
    def px(x, y): return [sample(x, y, c, depth) for c in range(ch)]
    passes = ADAM if interlace else [(0,0,1,1)]
    raw = b''
    bpp = max(1, ch * depth // 8)
    for sx, sy, dx, dy in passes:
        xs = list(range(sx, w, dx)); ys = list(range(sy, h, dy))
        if not xs or not ys: continue
        prev = None
        for y in ys:
            line = rowbytes([v for x in xs for v in px(x, y)], depth)
            f = filt if prev is not None or filt in (0, 1) else 0
            enc = bytearray(line)
            for i in range(len(line)):
                a = line[i-bpp] if i >= bpp else 0
                b = prev[i] if prev is not None else 0
                if f == 1: enc[i] = (line[i] - a) & 255
                if f == 2: enc[i] = (line[i] - b) & 255
            raw += bytes([f]) + bytes(enc); prev = line
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, depth, ctype, 0, 0, interlace))
    if ctype == 3:
        data += chunk(b'PLTE', b''.join(bytes(p) for p in pal)) + chunk(b'tRNS', bytes([128, 0]))
    if ctype == 2 and depth == 8: data += chunk(b'tRNS', struct.pack('>HHH', *px(1, 0)))
    z = zlib.compress(raw)
    data += chunk(b'IDAT', z[:len(z)//2]) + chunk(b'tEXt', b'k\0v')[:0] + chunk(b'IDAT', z[len(z)//2:]) + chunk(b'IEND', b'')
    open(os.path.join(out, name + '.png'), 'wb').write(data)
    rgba = bytearray()
    for y in range(h):
        for x in range(w):
            v = px(x, y)
            if ctype == 0: g = to8(v[0], depth); rgba += bytes([g, g, g, 255])
            elif ctype == 2: rgba += bytes([to8(c, depth) for c in v] + [0 if ctype == 2 and depth == 8 and v == px(1, 0) else 255])
            elif ctype == 3: rgba += bytes(list(pal[v[0]]) + [128 if v[0] == 0 else 0 if v[0] == 1 else 255])
            elif ctype == 4: g = to8(v[0], depth); rgba += bytes([g, g, g, to8(v[1], depth)])
            else: rgba += bytes([to8(c, depth) for c in v])
    open(os.path.join(out, name + '.rgba'), 'wb').write(rgba)
n = 0
for ctype, depths in ((0, (1, 2, 4, 8, 16)), (2, (8, 16)), (3, (1, 2, 4, 8)), (4, (8, 16)), (6, (8, 16))):
    for depth in depths:
        for interlace in (0, 1):
            write('p%02d' % n, 13, 11, ctype, depth, interlace, n % 3); n += 1
print(n)
)PY";

// Reads our PNG with Python's zlib: chunk CRCs checked, filters undone, RGBA out.
constexpr const char* kPngReader = R"PY(
import struct, sys, zlib
d = open(sys.argv[1], 'rb').read()
assert d[:8] == b'\x89PNG\r\n\x1a\n'
i, idat = 8, b''
while i < len(d):
    n, t = struct.unpack('>I', d[i:i+4])[0], d[i+4:i+8]
    assert zlib.crc32(d[i+4:i+8+n]) & 0xffffffff == struct.unpack('>I', d[i+8+n:i+12+n])[0]
    if t == b'IHDR': w, h, depth, ctype, _, _, lace = struct.unpack('>IIBBBBB', d[i+8:i+21])
    if t == b'IDAT': idat += d[i+8:i+8+n]
    i += 12 + n
assert (depth, ctype, lace) == (8, 6, 0)
raw, out, prev, stride = zlib.decompress(idat), bytearray(), bytearray(w * 4), w * 4
for y in range(h):
    f, line = raw[y*(stride+1)], bytearray(raw[y*(stride+1)+1:(y+1)*(stride+1)])
    for x in range(stride):
        a = line[x-4] if x >= 4 else 0; b = prev[x]; c = prev[x-4] if x >= 4 else 0
        p = a + b - c; pa, pb, pc = abs(p-a), abs(p-b), abs(p-c)
        line[x] = (line[x] + [0, a, b, (a+b)//2, a if pa <= pb and pa <= pc else b if pb <= pc else c][f]) & 255
    out += line; prev = line
open(sys.argv[2], 'wb').write(out)
print(w, h)
)PY";

TEST(IconImages, PngAgainstPythonZlib) {
    if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 not installed";
    test::TempDir dir;
    test::WriteFileBytes(dir.File("w.py"), kPngWriter);
    test::WriteFileBytes(dir.File("r.py"), kPngReader);
    std::string out;
    ASSERT_EQ(test::RunCommand("python3 " + dir.File("w.py") + " " + dir.path().string(), &out), 0);
    const int count = std::stoi(out);
    ASSERT_EQ(count, 30);
    for (int n = 0; n < count; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "p%02d", n);
        const std::string png = test::ReadFileBytes(dir.File(std::string(name) + ".png"));
        IconImage image;
        ASSERT_TRUE(DecodePng(reinterpret_cast<const BYTE*>(png.data()), png.size(), image)) << name;
        EXPECT_EQ(image.width, 13);
        EXPECT_EQ(std::string(image.rgba.begin(), image.rgba.end()), test::ReadFileBytes(dir.File(std::string(name) + ".rgba")))
            << name;
        // Any damage to a chunk is caught by its CRC or the stream check.
        for (std::size_t at = 12; at < png.size(); at += 11) {
            std::string bad = png;
            bad[at] = static_cast<char>(bad[at] ^ 0x10);
            IconImage ignored;
            EXPECT_FALSE(DecodePng(reinterpret_cast<const BYTE*>(bad.data()), bad.size(), ignored)) << name << " at " << at;
        }
    }
    // Our writer, read back by Python.
    const IconImage icon = Decode(BmpIcon(37, 21, 32, 9));
    CImageList list;
    ASSERT_EQ(list.Add(icon), 0);
    ASSERT_TRUE(list.WritePng(0, CString(dir.File("ours.png"))));
    ASSERT_EQ(test::RunCommand("python3 " + dir.File("r.py") + " " + dir.File("ours.png") + " " + dir.File("ours.rgba"), &out), 0);
    EXPECT_EQ(out, "37 21\n");
    EXPECT_EQ(test::ReadFileBytes(dir.File("ours.rgba")), std::string(icon.rgba.begin(), icon.rgba.end()));
}

TEST(IconImages, IcoFilesRoundTripAndMatchIcoutils) {
    test::TempDir dir;
    for (int side : {16, 32, 48, 256}) {
        IconImage icon = Decode(BmpIcon(side, side, 32, side));
        CImageList list;
        list.Add(icon);
        const std::string path = dir.File("i" + std::to_string(side) + ".ico");
        ASSERT_TRUE(list.WriteIco(0, CString(path)));
        const std::string ico = test::ReadFileBytes(path);
        // One directory entry; its image is what a loader of stored icon images reads.
        ASSERT_GE(ico.size(), 22u);
        EXPECT_EQ(ico.substr(0, 6), std::string("\0\0\1\0\1\0", 6));
        EXPECT_EQ(Decode(ico.substr(22)), icon) << side;
        if (!test::HaveProgram("icotool")) continue;
        const std::string png = dir.File("x" + std::to_string(side) + ".png");
        ASSERT_EQ(test::RunCommand("icotool -x -o " + png + " " + path), 0);
        const std::string bytes = test::ReadFileBytes(png);
        IconImage back;
        ASSERT_TRUE(DecodePng(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), back));
        EXPECT_EQ(back, icon) << side;
    }
}

TEST(IconImages, ImageListAddReplaceRemove) {
    CImageList list;
    const IconImage a{1, 1, {1, 2, 3, 4}}, b{2, 1, {5, 6, 7, 8, 9, 10, 11, 12}}, broken{2, 2, {1}};
    EXPECT_EQ(list.Add(a), 0);
    EXPECT_EQ(list.Add(b), 1);
    EXPECT_EQ(list.Replace(-1, a), 2);
    EXPECT_EQ(list.Replace(0, b), 0);
    EXPECT_EQ(list.Replace(3, a), -1);
    EXPECT_EQ(list.Add(broken), -1);
    EXPECT_EQ(list.Add(IconImage{}), -1);
    ASSERT_EQ(list.GetImageCount(), 3);
    EXPECT_EQ(*list.GetImage(0), b);
    EXPECT_TRUE(list.Remove(1));
    EXPECT_FALSE(list.Remove(2));
    EXPECT_EQ(*list.GetImage(1), a);
    EXPECT_EQ(list.GetImage(2), nullptr);
    test::TempDir dir;
    EXPECT_FALSE(list.WritePng(5, CString(dir.File("none.png"))));
    EXPECT_FALSE(list.WriteIco(0, CString(dir.File("no/such/dir/x.ico"))));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));  // nothing half-written
    EXPECT_TRUE(list.Remove(-1));
    EXPECT_EQ(list.GetImageCount(), 0);
}

}  // namespace
}  // namespace vutil
