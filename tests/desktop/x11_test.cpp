// The real clipboard and windows on a private Xvfb display: what the library copies
// xclip pastes, what xclip copies the library reads. Skipped without Xvfb and xclip.

#include <gtest/gtest.h>

#include <thread>

#include "desktop_env.h"
#include "support/string_lists.h"
#include "vutil/platform/path.h"
#include "vutil/system/clipboard_utils.h"
#include "vutil/system/exe_utils.h"

namespace vutil {
namespace {

using namespace test;

#ifndef _WIN32
class XDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HaveProgram("Xvfb") || !test::HaveProgram("xclip")) GTEST_SKIP() << "Xvfb or xclip missing";
        // Xvfb picks a free display itself and names it on descriptor 9.
        const std::string display = m_dir.File("display"), pid = m_dir.File("pid");
        ASSERT_EQ(RunCommand("Xvfb -displayfd 9 -nolisten tcp 9>'" + display + "' >/dev/null 2>&1 & echo $! > '" + pid + "'"), 0);
        std::string number;
        while ((number = test::ReadText(display)).find('\n') == std::string::npos)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        m_pid = test::ReadText(pid);
        m_display.emplace("DISPLAY", (":" + number.substr(0, number.find('\n'))).c_str());
    }
    void TearDown() override {
        if (!m_pid.empty()) RunCommand("kill " + m_pid);
    }
    // xclip takes the selection from its background process, after it returned.
    static void WaitForOwnerToLeave() {
        while (CExeUtils::FindAppWindowCount("vutil", "", false) != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::string Paste(const std::string& target) {
        std::string out;
        EXPECT_EQ(RunCommand("xclip -o -selection clipboard -t '" + target + "'", &out), 0) << target;
        return out;
    }

    test::TempDir m_dir;
    ScopedEnv m_noFile{"VUTIL_CLIPBOARD", nullptr};
    std::optional<ScopedEnv> m_display;
    std::string m_pid;
    CWnd m_window;
};

TEST_F(XDisplay, TextCopiedHerePastesElsewhereAndBack) {
    ASSERT_TRUE(CClipboardUtils::CopyTextToClipboard(&m_window, "caf\xE9\tb\r\nc"));
    EXPECT_EQ(Paste("UTF8_STRING"), "caf\xC3\xA9\tb\r\nc");
    EXPECT_EQ(Paste("STRING"), "caf\xE9\tb\r\nc");

    ASSERT_EQ(RunCommand("printf 'x\\ty\\r\\n\\303\\274' | xclip -i -selection clipboard >/dev/null 2>&1"), 0);
    WaitForOwnerToLeave();
    CStringList cells;
    ASSERT_TRUE(CClipboardUtils::ParseClipboardText(cells, "#"));
    EXPECT_EQ(test::Items(cells), (test::Strings{"x", "y", "#", "\xFC"}));
}

TEST_F(XDisplay, FilesGoOutAsUriListsAndComeBackWithTheirEffect) {
    test::WriteText(m_dir.File("a file.txt"), "1");
    const CString lib(platform::FromHostPath(m_dir.File("a file.txt")));
    CStringList files;
    files.AddTail(lib);
    ASSERT_TRUE(CClipboardUtils::CopyFilesToClipboard(&m_window, files, false, false));
    const std::string uri = "file://" + [&] {
        std::string p = m_dir.File("a file.txt");
        return p.replace(p.find(' '), 1, "%20");
    }();
    EXPECT_EQ(Paste("x-special/gnome-copied-files"), "cut\n" + uri);
    EXPECT_EQ(Paste("text/uri-list"), uri + "\r\n");

    // Another program's copy of the same file, as a file manager offers it.
    ASSERT_EQ(RunCommand("printf 'copy\\n%s' '" + uri + "' | xclip -i -selection clipboard -t x-special/gnome-copied-files >/dev/null 2>&1"), 0);
    WaitForOwnerToLeave();
    CStringList back;
    bool copy = false, link = true;
    ASSERT_TRUE(CClipboardUtils::ParseClipboardFilesList(back, copy, link));
    ASSERT_EQ(back.GetCount(), 1);
    EXPECT_EQ(back.GetHead(), lib);
    EXPECT_TRUE(copy);
    EXPECT_FALSE(link);
}

TEST_F(XDisplay, BitmapsPasteAsBmp) {
    const unsigned char bits[] = {1, 2, 3, 4};
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(1, 1, 1, 32, bits));
    ASSERT_TRUE(CClipboardUtils::CopyBitmapToClipboard(&m_window, &bitmap));
    EXPECT_EQ(test::Hex(Paste("image/bmp").substr(54)), test::Hex(test::Bytes({1, 2, 3, 0})));
}

TEST_F(XDisplay, TheOwnerWindowIsFoundUntilAnotherProgramTakesTheClipboard) {
    ASSERT_TRUE(CClipboardUtils::CopyTextToClipboard(&m_window, "held"));
    CWnd* owner = CExeUtils::FindAppWindow("VUTIL", "clip", false);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->GetWindowText(), "vutil clipboard");
    EXPECT_EQ(CExeUtils::FindAppWindow("", "VUTIL CLIPBOARD", true), owner);
    EXPECT_EQ(CExeUtils::FindAppWindow("", "VUTIL CLIP", true), nullptr);
    EXPECT_EQ(CExeUtils::FindAppWindow("Vutil", "Clip", false), nullptr);  // the title test keeps case
    EXPECT_EQ(CExeUtils::FindAppWindowCount("vutil", "", false), 1);
    EXPECT_EQ(CExeUtils::FindAppWindow("", "", false), nullptr);

    ASSERT_EQ(RunCommand("echo other | xclip -i -selection clipboard >/dev/null 2>&1"), 0);
    WaitForOwnerToLeave();  // it does leave once it lost the selection
}

TEST(NoDisplay, NoWindowsAndNoClipboard) {
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv file("VUTIL_CLIPBOARD", nullptr);
    EXPECT_EQ(CExeUtils::FindAppWindow("", "x", false), nullptr);
    EXPECT_EQ(CExeUtils::FindAppWindowCount("x", "", false), 0);
    CWnd window;
    EXPECT_FALSE(CClipboardUtils::CopyTextToClipboard(&window, "x"));
}
#endif

}  // namespace
}  // namespace vutil
