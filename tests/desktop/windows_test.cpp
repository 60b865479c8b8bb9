// Top-level windows on Windows: a window this test makes is found by class and
// title, in the system's own order, and is gone once destroyed.

#ifdef _WIN32
#include <gtest/gtest.h>

#include <windows.h>

#include "vutil/platform/desktop.h"
#include "vutil/system/exe_utils.h"

namespace vutil {
namespace {

class TopWindows : public ::testing::Test {
protected:
    TopWindows() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VutilTestWindow";
        ::RegisterClassW(&wc);
        for (const wchar_t* title : {L"vutil test caf\u00e9", L"vutil test two"})
            m_windows.push_back(::CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50,
                                                  50, nullptr, nullptr, wc.hInstance, nullptr));
        m_hidden = ::CreateWindowExW(0, wc.lpszClassName, L"vutil test hidden", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50,
                                     nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~TopWindows() override {
        for (::HWND w : m_windows) ::DestroyWindow(w);
        ::DestroyWindow(m_hidden);
    }
    std::vector<::HWND> m_windows;
    ::HWND m_hidden = nullptr;
};

TEST_F(TopWindows, FoundByClassAndTitleInTheSystemsOrder) {
    // Wine without a display makes no top-level windows at all.
    if (!m_windows[0]) GTEST_SKIP() << "the system makes no top-level windows here (no display)";
    for (::HWND w : m_windows) ASSERT_NE(w, nullptr);
    // The system's own walk from the top, visible ones only.
    std::vector<std::uintptr_t> expected;
    for (::HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT))
        if (::IsWindowVisible(w)) expected.push_back(reinterpret_cast<std::uintptr_t>(w));
    std::vector<std::uintptr_t> listed;
    for (const auto& w : platform::ListTopWindows()) listed.push_back(w.id);
    EXPECT_EQ(listed, expected);

    EXPECT_EQ(platform::WindowTitle(reinterpret_cast<std::uintptr_t>(m_windows[0])), "vutil test caf\xE9");
    const auto topmostOfOurs = CExeUtils::FindAppWindow("vutiltestwindow", "vutil test", false);
    ASSERT_NE(topmostOfOurs, nullptr);
    EXPECT_EQ(CExeUtils::FindAppWindowCount("VUTILTESTWINDOW", "", false), 2);  // not the hidden one
    EXPECT_EQ(CExeUtils::FindAppWindowCount("", "VUTIL TEST TWO", true), 1);
    EXPECT_EQ(CExeUtils::FindAppWindowCount("", "vutil test hidden", true), 0);
    ::DestroyWindow(m_windows[1]);
    EXPECT_EQ(CExeUtils::FindAppWindowCount("VutilTestWindow", "", false), 1);
    EXPECT_EQ(platform::WindowTitle(reinterpret_cast<std::uintptr_t>(m_windows[1])), "");  // gone
    m_windows.pop_back();
}

}  // namespace
}  // namespace vutil
#endif
