// The clipboard as a file (VUTIL_CLIPBOARD): text cells, file lists with their drop
// effect, the drop-file block's bytes and bitmaps.

#include <gtest/gtest.h>

#include "desktop_env.h"
#include "support/string_lists.h"
#include "vutil/platform/clipboard.h"
#include "vutil/platform/path.h"
#include "vutil/system/clipboard_utils.h"

namespace vutil {
namespace {

using namespace test;

class Clipboard : public ::testing::Test {
protected:
    Clipboard() : m_file("VUTIL_CLIPBOARD", m_dir.File("clipboard").c_str()) {
#ifdef _WIN32
        EXPECT_TRUE(platform::ClipboardPublish({}));  // the system's clipboard: start empty, as a new file does
#endif
    }
    CString Lib(const std::string& name) const { return CString(platform::FromHostPath(m_dir.File(name))); }

    TempDir m_dir;
    ScopedEnv m_file;
    CWnd m_window;
};

struct TextCase {
    const char* text;
    std::vector<std::string> cells;
};

const TextCase kTextCases[] = {
    {"a\tb\r\nc", {"a", "b", "#", "c"}},
    {"one", {"one"}},
    {"a\t\tb\r\n\r\n", {"a", "", "b", "#", "", "#", ""}},
    {"x\ny\r\nz", {"x\ny", "#", "z"}},  // a bare line feed is no row end
    {"", {""}},
};

class ClipboardText : public Clipboard, public ::testing::WithParamInterface<TextCase> {};

TEST_P(ClipboardText, CellsAndRowMarkers) {
    ASSERT_TRUE(CClipboardUtils::CopyTextToClipboard(&m_window, GetParam().text));
    CStringList cells;
    cells.AddTail("left over");
    ASSERT_TRUE(CClipboardUtils::ParseClipboardText(cells, "#"));
    EXPECT_EQ(Items(cells), GetParam().cells);
}

INSTANTIATE_TEST_SUITE_P(Rows, ClipboardText, ::testing::ValuesIn(kTextCases));

TEST_F(Clipboard, TextBlockIsZeroTerminatedAndStopsAtTheFirstZero) {
    ASSERT_TRUE(CClipboardUtils::CopyTextToClipboard(&m_window, CString("ab\0cd", 5)));
    EXPECT_EQ(platform::ClipboardRead("CF_TEXT"), std::string("ab\0", 3));
    EXPECT_FALSE(CClipboardUtils::CopyTextToClipboard(nullptr, "x"));
}

TEST_F(Clipboard, DropFileBlockHasTheFixedLayout) {
    CStringList files;
    files.AddTail("C:\\a");
    files.AddTail(CString("\xE9", 1));  // one byte, one unit: no code-page conversion
    ASSERT_TRUE(CClipboardUtils::CopyFilesToClipboard(&m_window, files, false, true));
    EXPECT_EQ(test::Hex(*platform::ClipboardRead("CF_HDROP")),
              test::Hex(Bytes({20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,  //
                               'C', 0, ':', 0, '\\', 0, 'a', 0, 0, 0, 0xE9, 0, 0, 0, 0, 0})));
    EXPECT_EQ(platform::ClipboardRead("Preferred DropEffect"), Bytes({6, 0, 0, 0}));
}

TEST_F(Clipboard, FileListsRoundTripWithTheirDropEffect) {
    test::WriteText(m_dir.File("one.txt"), "1");
    std::filesystem::create_directory(m_dir.File("folder"));
    struct Case {
        bool copy, link;
        DWORD effect;
    } cases[] = {{true, false, 1}, {false, false, 2}, {true, true, 5}, {false, true, 6}};
    for (const auto& c : cases) {
        CStringList files;
        files.AddTail(Lib("one.txt"));
        files.AddTail(Lib("folder"));
        files.AddTail(Lib("gone.txt"));  // no longer on disk: skipped
        ASSERT_TRUE(CClipboardUtils::CopyFilesToClipboard(&m_window, files, c.copy, c.link));
        EXPECT_EQ(platform::ClipboardRead("Preferred DropEffect"), Bytes({static_cast<int>(c.effect), 0, 0, 0}));
        CStringList back;
        back.AddTail("kept");
        bool copy = !c.copy, link = !c.link;
        ASSERT_TRUE(CClipboardUtils::ParseClipboardFilesList(back, copy, link));
        EXPECT_EQ(Items(back), (std::vector<std::string>{"kept", Lib("one.txt").str(), Lib("folder").str() + "\\"}));
        EXPECT_EQ(copy, c.copy);
        EXPECT_EQ(link, c.link);
    }
    CStringList none;
    EXPECT_FALSE(CClipboardUtils::CopyFilesToClipboard(&m_window, none, true, false));
    EXPECT_FALSE(CClipboardUtils::CopyFilesToClipboard(nullptr, none, true, false));
}

TEST_F(Clipboard, MissingFormatsGiveFalseAndNeutralFlags) {
    bool copy = false, link = true;
    CStringList list;
    EXPECT_FALSE(CClipboardUtils::ParseClipboardText(list, "#"));  // nothing copied yet
    ASSERT_TRUE(CClipboardUtils::CopyTextToClipboard(&m_window, "text only"));
    EXPECT_FALSE(CClipboardUtils::ParseClipboardDropEffect(copy, link));
    EXPECT_TRUE(copy);
    EXPECT_FALSE(link);
    EXPECT_FALSE(CClipboardUtils::ParseClipboardFilesList(list, copy, link));
    EXPECT_FALSE(CClipboardUtils::ParseClipboardVirtualFilesList(list, copy, link));

    ASSERT_TRUE(CClipboardUtils::CopyDropEffectToClipboard(&m_window, 2 | 4));
    EXPECT_TRUE(CClipboardUtils::ParseClipboardDropEffect(copy, link));
    EXPECT_FALSE(copy);
    EXPECT_TRUE(link);
    EXPECT_FALSE(CClipboardUtils::ParseClipboardText(list, "#"));  // each copy replaces everything
}

TEST_F(Clipboard, VirtualFilesNeedEveryItemsContents) {
    const std::string twoItems = Bytes({2, 0, 0, 0, 16, 0, 0, 0, 18, 0, 0, 0, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    CStringList list;
    bool copy = true, link = false;
    ASSERT_TRUE(platform::ClipboardPublish({{"Shell IDList Array", twoItems}, {"FileContents:0", "a"}}));
    EXPECT_FALSE(CClipboardUtils::ParseClipboardVirtualFilesList(list, copy, link));
    ASSERT_TRUE(platform::ClipboardPublish({{"Shell IDList Array", twoItems}, {"FileContents:0", "a"}, {"FileContents:1", "b"}}));
    EXPECT_TRUE(CClipboardUtils::ParseClipboardVirtualFilesList(list, copy, link));
    EXPECT_TRUE(list.IsEmpty());
    ASSERT_TRUE(platform::ClipboardPublish({{"Shell IDList Array", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0})}}));
    EXPECT_FALSE(CClipboardUtils::ParseClipboardVirtualFilesList(list, copy, link));  // a count the bytes cannot hold
}

TEST_F(Clipboard, BitmapGoesOnAsABmpFileAndTheHandleIsTaken) {
    // Two pixels, top row only: blue-green-red bytes, rows padded to even length.
    const unsigned char bits[] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(2, 1, 1, 24, bits));
    ASSERT_TRUE(CClipboardUtils::CopyBitmapToClipboard(&m_window, &bitmap));
    EXPECT_EQ(bitmap.GetSafeHandle(), nullptr);
    const std::string bmp = *platform::ClipboardRead("CF_BITMAP");
    ASSERT_EQ(bmp.size(), 62u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(bmp.substr(2, 4), Bytes({62, 0, 0, 0}));
    EXPECT_EQ(bmp.substr(10, 12), Bytes({54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0}));
    EXPECT_EQ(bmp.substr(28, 2), Bytes({32, 0}));
    EXPECT_EQ(bmp.substr(54), Bytes({0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0}));
    EXPECT_FALSE(CClipboardUtils::CopyBitmapToClipboard(&m_window, nullptr));
}

#ifndef _WIN32
TEST_F(Clipboard, DamagedFileIsRefusedNotGuessed) {
    for (const std::string bytes : {"VUTILCLIP 1\nCF_TEXT\n9\nab\n", "nothing\n", "VUTILCLIP 1\nCF_TEXT\n-1\n\n"}) {
        test::WriteText(m_dir.File("clipboard"), bytes);
        CStringList cells;
        EXPECT_FALSE(CClipboardUtils::ParseClipboardText(cells, "#")) << bytes;
    }
}

#else
// What other programs see: Unicode text from the Windows-1252 bytes, a bitmap without
// the file header, and the reverse.
TEST_F(Clipboard, SystemFormatsCarryTheSameContent) {
    ASSERT_TRUE(CClipboardUtils::CopyTextToClipboard(&m_window, "caf\xE9 \x80\x9F"));
    EXPECT_EQ(test::Hex(*platform::ClipboardRead("CF_UNICODETEXT")),
              test::Hex(Bytes({'c', 0, 'a', 0, 'f', 0, 0xE9, 0, ' ', 0, 0xAC, 0x20, 0x78, 0x01, 0, 0})));
    ASSERT_TRUE(platform::ClipboardPublish({{"CF_UNICODETEXT", Bytes({'a', 0, 0x1E, 0x20, 0xE9, 0, 0x3A, 0x26, 0, 0})}}));
    EXPECT_EQ(platform::ClipboardRead("CF_TEXT"), std::string("a\x84\xE9?\0", 5));  // no such sign in the code page

    const unsigned char bits[] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(2, 1, 1, 24, bits));
    ASSERT_TRUE(CClipboardUtils::CopyBitmapToClipboard(&m_window, &bitmap));
    const std::string dib = *platform::ClipboardRead("CF_DIB");
    EXPECT_EQ(dib.substr(0, 12), Bytes({40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(platform::ClipboardRead("CF_BITMAP")->substr(14), dib);
}
#endif

TEST(ClipboardFormats, UriListsAndDropBlocksRoundTrip) {
    const std::vector<std::string> paths{"/tmp/a b/c%d.txt", "/x/\xC3\xA9t\xC3\xA9", "/"};
    std::string list = "# comment\r\n";
    for (const auto& p : paths) list += platform::PathToFileUri(p) + "\r\n";
    list += "http://example.invalid/x\r\nfile://otherhost/etc/passwd\r\nfile://localhost/ok\n";
    auto back = platform::FileUrisToPaths(list);
    auto expected = paths;
    expected.push_back("/ok");
    EXPECT_EQ(back, expected);
    EXPECT_EQ(platform::PathToFileUri("/a b/%"), "file:///a%20b/%25");
}

}  // namespace
}  // namespace vutil
