// The same executables through icoutils (wrestool, icotool), real ones linked by the
// mingw-w64 binutils, and the vutil icons command.

#include <gtest/gtest.h>

#include <sstream>

#include "icon_fixtures.h"
#include "support/test_support.h"
#include "vutil/files/file_utils.h"

namespace vutil {
namespace {

using test::BmpIcon;

IconImage ReadPng(const std::string& path) {
    const std::string bytes = test::ReadFileBytes(path);
    IconImage image;
    EXPECT_TRUE(DecodePng(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), image)) << path;
    return image;
}

// Same visible pixels: transparent ones may carry any colour.
void ExpectSamePixels(const IconImage& a, const IconImage& b, const std::string& what) {
    ASSERT_EQ(a.width, b.width) << what;
    ASSERT_EQ(a.height, b.height) << what;
    for (std::size_t i = 0; i < a.rgba.size(); i += 4) {
        ASSERT_EQ(a.rgba[i + 3], b.rgba[i + 3]) << what << " pixel " << i / 4;
        if (a.rgba[i + 3] != 0) {
            ASSERT_TRUE(std::equal(&a.rgba[i], &a.rgba[i + 3], &b.rgba[i])) << what << " pixel " << i / 4;
        }
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

// wrestool lists the groups; each, rebuilt as an .ico and taken apart by icotool,
// must give our image for it: the largest-depth 32 x 32 member.
void CompareWithIcoutils(const std::string& exe, const test::TempDir& dir, std::size_t groups) {
    std::string listing;
    ASSERT_EQ(test::RunCommand("wrestool -l -t 14 " + exe, &listing), 0);
    const auto entries = Lines(listing);
    ASSERT_EQ(entries.size(), groups) << listing;
    CImageList images;
    CFileUtils::LoadFileIcons(CString(exe), images, false);
    ASSERT_EQ(images.GetImageCount(), static_cast<int>(groups));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t from = entries[i].find("--name="), to = entries[i].find(' ', from);
        const std::string name = entries[i].substr(from, to - from);
        const std::string ico = dir.File("g" + std::to_string(i) + ".ico");
        ASSERT_EQ(test::RunCommand("wrestool -x -t 14 " + name + " -o " + ico + " " + exe), 0) << name;
        std::string members;
        ASSERT_EQ(test::RunCommand("icotool -l " + ico, &members), 0);
        int best = 0, bestDepth = -1, index = 0;
        for (const auto& m : Lines(members)) {
            ++index;
            const std::size_t d = m.find("--bit-depth=");
            if (m.find("--width=32 --height=32") == std::string::npos || d == std::string::npos) continue;
            if (int depth = std::stoi(m.substr(d + 12)); depth > bestDepth) best = index, bestDepth = depth;
        }
        ASSERT_GT(best, 0) << members;
        const std::string png = dir.File("g" + std::to_string(i) + ".png");
        ASSERT_EQ(test::RunCommand("icotool -x -i " + std::to_string(best) + " -o " + png + " " + ico), 0);
        ExpectSamePixels(ReadPng(png), *images.GetImage(static_cast<int>(i)), exe + " " + name);
    }
}

TEST(IconPeers, SameGroupsInTheSameOrderAsWrestool) {
    if (!test::HaveProgram("wrestool") || !test::HaveProgram("icotool")) GTEST_SKIP() << "icoutils not installed";
    test::TempDir dir;
    for (auto kind : {test::PeKind::k32, test::PeKind::k64}) {
        const std::string exe = dir.File(kind == test::PeKind::k32 ? "built32.exe" : "built64.dll");
        test::WriteFileBytes(exe, test::Executable(test::ResourceSection(test::ThreeGroups(), 0x3000), kind, kind == test::PeKind::k64));
        CompareWithIcoutils(exe, dir, 3);
    }
}

// An .ico file around stored icon images.
std::string IcoFile(const std::vector<std::pair<int, std::string>>& images) {
    std::string head, body;
    test::Put16(head, 0), test::Put16(head, 1), test::Put16(head, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const auto& [side, bits] : images) {
        head += {static_cast<char>(side), static_cast<char>(side), 0, 0};
        test::Put16(head, 1), test::Put16(head, 32);
        test::Put32(head, static_cast<std::uint32_t>(bits.size())), test::Put32(head, offset);
        offset += static_cast<std::uint32_t>(bits.size());
        body += bits;
    }
    return head + body;
}

TEST(IconPeers, RealExecutablesLinkedWithIconResources) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.ico"), IcoFile({{16, BmpIcon(16, 16, 8, 1)}, {32, BmpIcon(32, 32, 32, 2)}}));
    test::WriteFileBytes(dir.File("b.ico"), IcoFile({{32, BmpIcon(32, 32, 4, 3)}}));
    test::WriteFileBytes(dir.File("c.ico"), IcoFile({{48, BmpIcon(48, 48, 24, 4)}, {32, BmpIcon(32, 32, 24, 5)}}));
    test::WriteFileBytes(dir.File("r.rc"), "APPICON ICON \"a.ico\"\n20 ICON \"b.ico\"\n30 ICON \"c.ico\"\n");
    // windres wants a C preprocessor; the resource script needs none.
    test::WriteFileBytes(dir.File("pp.sh"), "#!/bin/sh\nfor a; do f=\"$a\"; done; cat \"$f\"\n");
    test::WriteFileBytes(dir.File("start.s"), ".globl start\n.text\nstart:\n ret\n");
    int built = 0;
    for (const std::string prefix : {"x86_64-w64-mingw32-", "i686-w64-mingw32-"}) {
        if (!test::HaveProgram(prefix + "windres") || !test::HaveProgram(prefix + "ld")) continue;
        const std::string exe = dir.File(prefix + "app.exe"), d = dir.path().string();
        ASSERT_EQ(test::RunCommand("cd " + d + " && chmod +x pp.sh && " + prefix + "windres --preprocessor=./pp.sh r.rc -O coff -o r.o && " +
                                   prefix + "as start.s -o s.o && " + prefix + "ld -e start -o " + exe + " s.o r.o"),
                  0) << prefix;
        ++built;
        CImageList images;
        CFileUtils::LoadFileIcons(CString(exe), images, false);
        ASSERT_EQ(images.GetImageCount(), 3) << prefix;
        const int bits[] = {32, 4, 24}, tints[] = {2, 3, 5};
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(images.GetImage(i)->width, 32);
            test::ExpectPattern(*images.GetImage(i), bits[i], tints[i]);
        }
        if (test::HaveProgram("wrestool") && test::HaveProgram("icotool")) CompareWithIcoutils(exe, dir, 3);
    }
    if (built == 0) GTEST_SKIP() << "no mingw-w64 binutils";
}

TEST(IconPeers, CommandWritesOnePngPerGroup) {
    test::TempDir dir;
    const std::string exe = dir.File("app.exe");
    test::WriteFileBytes(exe, test::Executable(test::ResourceSection(test::ThreeGroups(), 0x3000)));
    for (bool small : {false, true}) {
        const std::string out = dir.File(small ? "small" : "normal");
        std::string printed;
        const std::string args = "icons " + exe + " " + out + (small ? " --small" : "");
        ASSERT_EQ(test::RunCli(args, &printed, " 2>&1"), 0) << printed;
        EXPECT_EQ(Lines(printed).size(), 3u) << printed;
        CImageList images;
        CFileUtils::LoadFileIcons(CString(exe), images, small);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(ReadPng(out + "/app-" + std::to_string(i + 1) + ".png"), *images.GetImage(i));
    }
    test::WriteFileBytes(dir.File("notes.exe"), "plain text, not a program at all\n");
    struct Case {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"", 2, "missing executable"},
        {exe, 2, "missing output folder"},
        {exe + " a b", 2, "too many arguments"},
        {exe + " out --large", 2, "unknown option '--large'"},
        {dir.File("none.exe") + " " + dir.File("o"), 1, "cannot read"},
        {dir.File("notes.exe") + " " + dir.File("o"), 1, "{E4C8DCA2-9A42-4E09-A346-0E7046871BCA}"},
    };
    for (const auto& c : cases) {
        std::string printed;
        const int status = test::RunCli("icons " + c.args, &printed, " 2>&1");
        EXPECT_EQ(status, c.status) << c.args << ": " << printed;
        EXPECT_NE(printed.find(c.message), std::string::npos) << printed;
    }
}

}  // namespace
}  // namespace vutil
