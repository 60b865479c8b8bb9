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

using namespace test;

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

    // A system size of 64: each stored pixel becomes a 2 x 2 block.
    platform::SystemOverrides sizes;
    sizes.iconSize = std::make_pair(64, 64);
    platform::SetSystemOverridesForTesting(&sizes);
    Load(path, images);
    const IconImage& big = *images.GetImage(2);
    ASSERT_EQ(big.width, 64);
    for (int y = 0; y < 64; y += 3)
        for (int x = 0; x < 64; x += 5) EXPECT_EQ(test::At(big, x, y), test::Expected(x / 2, y / 2, 24, 6));
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
    const std::string kNoType = "{096B26F0-AECA-4B03-A5D0-83AB48499EC9}";
    const std::vector<Failure> cases = {
        {"text file", "just some text, long enough to read twelve bytes\r\n", {"{E4C8DCA2-9A42-4E09-A346-0E7046871BCA}"}, 0},
        {"NT offset zero", Patched(good, 60, std::string(4, '\0')), {"{0CED3592-ACA1-4D68-B25E-E6FA4147A967}"}, 0},
        {"MZ only, 40 bytes", "MZ" + std::string(38, 'x'), {"{0CED3592-ACA1-4D68-B25E-E6FA4147A967}"}, 0},
        {"no resources", Executable(""), {"{DCFE44B3-2103-470A-AA46-B97361C71534}"}, 0},
        {"no PE signature", Patched(good, 0x80, "NE"), {"{DCFE44B3-2103-470A-AA46-B97361C71534}"}, 0},
        {"optional header too short", Patched(good, 0x80 + 20, "\xdf\x00"), {"{DCFE44B3-2103-470A-AA46-B97361C71534}"}, 0},
        {"no icon groups", Executable(ResourceSection({{3, 1, "", BmpIcon(32, 32, 8)}}, 0x3000)), {kNoType}, 0},
        {"second group of type 2", withGroup(7, IconGroup({{32, 32, 8, 1}}, 2)), {"{C586B044-C006-4CA9-8FFE-C96A21ABF0EE}"}, 1},
        {"empty group", withGroup(6, IconGroup({})), {"{ED747B73-DD20-4FB6-BD04-94D0FEB8B4C9}"}, 0},
        {"missing icon image", withGroup(8, IconGroup({{32, 32, 8, 42}})), {"{8400BAEF-0B52-44AA-A426-2E974181F8F0}"}, 2},
        {"icon image header 41", withGroup(0, Patched(BmpIcon(32, 32, 8), 0, "\x29")), {"{8400BAEF-0B52-44AA-A426-2E974181F8F0}"}, 0},
        {"no icon images", Executable(ResourceSection({{14, 1, "", IconGroup({{32, 32, 8, 1}})}}, 0x3000)),
         {kNoType, "{8400BAEF-0B52-44AA-A426-2E974181F8F0}"}, 0},
        {"best member stored as PNG", withGroup(0, EncodePng(IconImage{1, 1, {1, 2, 3, 4}})),
         {"{8400BAEF-0B52-44AA-A426-2E974181F8F0}"}, 0},
        {"undecodable image, walk goes on", withGroup(2, Patched(BmpIcon(32, 32, 32), 14, "\x07")),
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
    // {which, type, index into the resources or -1 for none}
    const int lookups[][3] = {{0, 14, 6}, {2, 14, 8}, {3, 14, -1}, {-7, 14, 7}, {-8, 14, -1}, {-4, 3, 3}, {5, 3, 5}};
    for (const auto& [which, type, index] : lookups) {
        unsigned long size = 99;
        int count = -1;
        const BYTE* data = Walk::FindResourceA(image, exe.size(), root, which, static_cast<unsigned long>(type), size, count);
        EXPECT_EQ(count, type == 14 ? 3 : 6);
        EXPECT_EQ(data ? std::string(reinterpret_cast<const char*>(data), size) : std::to_string(size),
                  index < 0 ? "0" : groups[std::size_t(index)].data) << which;
    }
}

}  // namespace
}  // namespace vutil
