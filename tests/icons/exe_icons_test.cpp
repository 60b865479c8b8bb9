// The resource walk over executables built byte by byte: groups in resource order,
// best fit, every failure site, 32- and 64-bit headers.

#include <gtest/gtest.h>

#include "icon_fixtures.h"
#include "support/test_support.h"
#include "vutil/core/app_logger.h"
#include "vutil/files/file_utils.h"
#include "vutil/platform/system.h"

namespace vutil {
namespace {

using test::BmpIcon;
using test::Executable;
using test::GroupMember;
using test::IconGroup;
using test::PeKind;
using test::Resource;
using test::ResourceSection;

// Three groups (a named one first, as resource order puts names before numbers),
// each with its own tint so the result tells which image was taken.
std::vector<Resource> ThreeGroups() {
    return {
        {3, 1, "", BmpIcon(32, 32, 8, 1)},  {3, 2, "", BmpIcon(16, 16, 4, 2)},
        {3, 3, "", BmpIcon(32, 32, 32, 3)}, {3, 4, "", BmpIcon(32, 32, 4, 4)},
        {3, 5, "", BmpIcon(32, 32, 1, 0)},  {3, 6, "", BmpIcon(32, 32, 24, 6)},
        {14, 0, "MAIN", IconGroup({{16, 16, 4, 2}, {32, 32, 8, 1}})},
        {14, 7, "", IconGroup({{32, 32, 4, 4}, {32, 32, 32, 3}})},
        {14, 9, "", IconGroup({{32, 32, 1, 5}, {32, 32, 24, 6}})},
    };
}

void ExpectPattern(const IconImage& icon, int bits, int tint) {
    ASSERT_EQ(icon.rgba.size(), std::size_t(icon.width) * icon.height * 4);
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x) {
            const BYTE* p = &icon.rgba[(std::size_t(y) * icon.width + x) * 4];
            ASSERT_EQ((test::Rgba{p[0], p[1], p[2], p[3]}), test::Expected(x, y, bits, tint))
                << "pixel " << x << "," << y << " bits " << bits;
        }
}

class ExeIcons : public ::testing::Test {
protected:
    void SetUp() override { m_log = CAppLogger::CreateForTesting(); }
    void TearDown() override {
        CAppLogger::DeleteInstance();
        platform::SetSystemOverridesForTesting(nullptr);
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::string path = m_dir.File(name);
        test::WriteFileBytes(path, bytes);
        return path;
    }
    // The sites logged by one load, in order.
    std::vector<std::string> Load(const std::string& path, CImageList& images, bool small = false) {
        const std::size_t start = m_log->Lines().size();
        CFileUtils::LoadFileIcons(CString(path), images, small);
        std::vector<std::string> sites;
        for (std::size_t i = start; i < m_log->Lines().size(); ++i) sites.emplace_back(m_log->Lines()[i].site.GetString());
        return sites;
    }
    test::TempDir m_dir;
    CAppLogger* m_log = nullptr;
};

TEST_F(ExeIcons, OneIconPerGroupInResourceOrderBothWordSizes) {
    for (PeKind kind : {PeKind::k32, PeKind::k64})
        for (bool dll : {false, true}) {
            CImageList images;
            images.Add(IconImage{1, 1, {1, 2, 3, 4}});  // emptied first
            auto sites = Load(Write("three.exe", Executable(ResourceSection(ThreeGroups(), 0x3000), kind, dll)), images);
            EXPECT_TRUE(sites.empty()) << sites.front();
            ASSERT_EQ(images.GetImageCount(), 3);
            // Normal size 32: the closest size, then the most colours.
            ExpectPattern(*images.GetImage(0), 8, 1);
            ExpectPattern(*images.GetImage(1), 32, 3);
            ExpectPattern(*images.GetImage(2), 24, 6);
        }
}

TEST_F(ExeIcons, SmallSizeAndSystemSizes) {
    const std::string path = Write("three.exe", Executable(ResourceSection(ThreeGroups(), 0x3000)));
    CImageList images;
    Load(path, images, true);
    ASSERT_EQ(images.GetImageCount(), 3);
    ExpectPattern(*images.GetImage(0), 4, 2);  // the 16 x 16 member, unscaled
    EXPECT_EQ(images.GetImage(1)->width, 16);  // 32 x 32 members scaled down
    EXPECT_EQ(images.GetImage(2)->height, 16);

    platform::SystemOverrides sizes;
    sizes.iconSize = std::make_pair(48, 40);
    platform::SetSystemOverridesForTesting(&sizes);
    Load(path, images);
    ASSERT_EQ(images.GetImageCount(), 3);
    EXPECT_EQ(images.GetImage(0)->width, 48);
    EXPECT_EQ(images.GetImage(0)->height, 40);
    // Scaling by a whole factor keeps every source pixel's colour.
    platform::SystemOverrides doubled;
    doubled.iconSize = std::make_pair(64, 64);
    platform::SetSystemOverridesForTesting(&doubled);
    Load(path, images);
    const IconImage& big = *images.GetImage(1);
    for (int y = 0; y < 64; y += 7)
        for (int x = 0; x < 64; x += 5) {
            const BYTE* p = &big.rgba[(std::size_t(y) * 64 + x) * 4];
            EXPECT_EQ((test::Rgba{p[0], p[1], p[2], p[3]}), test::Expected(x / 2, y / 2, 32, 3));
        }
}

struct Failure {
    const char* name;
    std::string bytes;
    std::vector<std::string> sites;
    int images;
};

std::string Patched(std::string s, std::size_t at, std::string bytes) {
    s.replace(at, bytes.size(), bytes);
    return s;
}

TEST_F(ExeIcons, EveryFailureIsLoggedAtItsSite) {
    const std::string good = Executable(ResourceSection(ThreeGroups(), 0x3000));
    auto groups = ThreeGroups();
    auto withGroup = [&](std::size_t index, std::string data) {
        auto g = groups;
        g[index].data = std::move(data);
        return Executable(ResourceSection(g, 0x3000));
    };
    auto withIcon = [&](std::size_t index, std::string data) { return withGroup(index, std::move(data)); };
    const std::string kNoType = "{096B26F0-AECA-4B03-A5D0-83AB48499EC9}";
    const std::vector<Failure> cases = {
        {"text file", "just some text, long enough to read twelve bytes\r\n", {"{E4C8DCA2-9A42-4E09-A346-0E7046871BCA}"}, 0},
        {"short file", "MZ\x90", {"{E4C8DCA2-9A42-4E09-A346-0E7046871BCA}"}, 0},
        {"NT offset zero", Patched(good, 60, std::string(4, '\0')), {"{0CED3592-ACA1-4D68-B25E-E6FA4147A967}"}, 0},
        {"NT offset past end", Patched(good, 60, "\xff\xff\x00\x00"), {"{0CED3592-ACA1-4D68-B25E-E6FA4147A967}"}, 0},
        {"MZ only, 40 bytes", "MZ" + std::string(38, 'x'), {"{0CED3592-ACA1-4D68-B25E-E6FA4147A967}"}, 0},
        {"no resources", Executable(""), {"{DCFE44B3-2103-470A-AA46-B97361C71534}"}, 0},
        {"no PE signature", Patched(good, 0x80, "NE"), {"{DCFE44B3-2103-470A-AA46-B97361C71534}"}, 0},
        {"optional header too short", Patched(good, 0x80 + 20, "\xdf\x00"), {"{DCFE44B3-2103-470A-AA46-B97361C71534}"}, 0},
        {"no icon groups", Executable(ResourceSection({{3, 1, "", BmpIcon(32, 32, 8)}}, 0x3000)), {kNoType}, 0},
        {"second group of type 2", withGroup(7, IconGroup({{32, 32, 8, 1}}, 2)), {"{C586B044-C006-4CA9-8FFE-C96A21ABF0EE}"}, 1},
        {"empty group", withGroup(6, IconGroup({})), {"{ED747B73-DD20-4FB6-BD04-94D0FEB8B4C9}"}, 0},
        {"missing icon image", withGroup(8, IconGroup({{32, 32, 8, 42}})), {"{8400BAEF-0B52-44AA-A426-2E974181F8F0}"}, 2},
        {"icon image header 41", withIcon(0, Patched(BmpIcon(32, 32, 8), 0, "\x29")), {"{8400BAEF-0B52-44AA-A426-2E974181F8F0}"}, 0},
        {"no icon images", Executable(ResourceSection({{14, 1, "", IconGroup({{32, 32, 8, 1}})}}, 0x3000)),
         {kNoType, "{8400BAEF-0B52-44AA-A426-2E974181F8F0}"}, 0},
        {"undecodable image, walk goes on", withIcon(2, Patched(BmpIcon(32, 32, 32), 14, "\x07")),
         {"{4DB757FF-2B1B-48A4-B312-DB70161E8A9C}"}, 2},
    };
    for (const auto& c : cases) {
        CImageList images;
        EXPECT_EQ(Load(Write("case.exe", c.bytes), images), c.sites) << c.name;
        EXPECT_EQ(images.GetImageCount(), c.images) << c.name;
    }
    CImageList images;
    EXPECT_EQ(Load(m_dir.File("missing.exe"), images), std::vector<std::string>{"{7C0DE977-18E9-45E6-A29B-9B8E067DABB4}"});
    EXPECT_EQ(Load(Write("empty.exe", ""), images), std::vector<std::string>{"{E4C8DCA2-9A42-4E09-A346-0E7046871BCA}"});
}

TEST_F(ExeIcons, TruncatedAndShiftedTreesStayInsideTheFile) {
    // Every cut of a good file, and every single-byte change in its headers and
    // directories, must end quietly with at most the images of the good file.
    const std::string good = Executable(ResourceSection(ThreeGroups(), 0x3000));
    CImageList images;
    for (std::size_t cut = 1; cut < good.size(); cut += 97) {
        Load(Write("cut.exe", good.substr(0, cut)), images);
        EXPECT_LE(images.GetImageCount(), 3);
    }
    for (std::size_t at = 0; at < 0x400 + 0x200; at += 5) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0xA5);
        Load(Write("flip.exe", bad), images);
        EXPECT_LE(images.GetImageCount(), 3);
    }
}

// The protected walk reached directly, as a derived host would.
struct Walk : CFileUtils {
    using CFileUtils::FindResourceA;
    using CFileUtils::GetRelativeVirtualAddress;
    using CFileUtils::LoadResourceTable;
};

TEST_F(ExeIcons, FindResourceByPositionAndByIdentifier) {
    const std::string exe = Executable(ResourceSection(ThreeGroups(), 0x3000));
    const auto* image = reinterpret_cast<const IMAGE_DOS_HEADER*>(exe.data());
    const auto* root = Walk::LoadResourceTable(image, exe.size());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(reinterpret_cast<const char*>(root) - exe.data(), 0x400);
    EXPECT_EQ(Walk::GetRelativeVirtualAddress(image, exe.size(), 0x2FFF), nullptr);  // no section holds it
    const auto groups = ThreeGroups();
    struct Lookup {
        int which;
        unsigned long type;
        int resource;  // index into groups, -1 for none
    } lookups[] = {{0, 14, 6}, {2, 14, 8}, {3, 14, -1}, {-7, 14, 7}, {-8, 14, -1}, {-4, 3, 3}, {5, 3, 5}};
    for (const auto& l : lookups) {
        unsigned long size = 99;
        int count = -1;
        const BYTE* data = Walk::FindResourceA(image, exe.size(), root, l.which, l.type, size, count);
        EXPECT_EQ(count, l.type == 14 ? 3 : 6);
        if (l.resource < 0) {
            EXPECT_EQ(data, nullptr) << l.which;
            EXPECT_EQ(size, 0u);
            continue;
        }
        ASSERT_NE(data, nullptr) << l.which;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), groups[std::size_t(l.resource)].data);
    }
}

}  // namespace
}  // namespace vutil
