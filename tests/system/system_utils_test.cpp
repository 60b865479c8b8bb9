// CSystemUtils and CKeyboard.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

#include "support/test_support.h"
#include "vutil/platform/error.h"
#include "vutil/platform/system.h"
#include "vutil/system/keyboard.h"
#include "vutil/system/registry_utils.h"
#include "vutil/system/system_utils.h"

namespace vutil {
namespace {

struct ShellText {
    unsigned long code;
    const char* text;
};

class ShellOperationTable : public ::testing::TestWithParam<ShellText> {};

TEST_P(ShellOperationTable, FixedSentence) { EXPECT_EQ(CSystemUtils::GetLastError(GetParam().code), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Codes, ShellOperationTable,
    ::testing::Values(ShellText{32, "The target file is being used by another application."},
                      ShellText{113, "The source and destination files are the same file."},
                      ShellText{183, "The source or destination path was too long."},
                      ShellText{1026, "An unknown error occurred. This is typically due to an invalid path in the source or destination."},
                      ShellText{65536, "An unspecified error occurred on the destination."},
                      ShellText{65652, "Destination is a root directory and cannot be renamed."}));

#ifdef _WIN32
// The system's message table, asked through its narrow entry point: one line, one full stop.
CString SystemText(DWORD code) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                       FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                   nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string s = n ? std::string(text, n) : std::string();
    LocalFree(text);
    while (!s.empty() && std::strchr(" \r\n.", s.back())) s.pop_back();
    return s.empty() ? CString() : CString(s.c_str()) + ".";
}
#endif

TEST(SystemErrorText, SystemCodesEndInExactlyOneFullStop) {
#ifdef _WIN32
    const unsigned long unknown = 0x2000ABCD;  // the customer bit: never the system's
    EXPECT_EQ(CSystemUtils::GetLastError(2), SystemText(2));
    EXPECT_EQ(CSystemUtils::GetLastError(5), SystemText(5));
    EXPECT_EQ(CSystemUtils::GetLastError(119), SystemText(119));
#else
    const unsigned long unknown = 119;  // no text for it here
    EXPECT_EQ(CSystemUtils::GetLastError(2), CString(std::strerror(ENOENT)) + ".");
    EXPECT_EQ(CSystemUtils::GetLastError(5), CString(std::strerror(EACCES)) + ".");
#endif
    CString notInTable = CSystemUtils::GetLastError(123);  // between table codes: the system's text
    ASSERT_FALSE(notInTable.IsEmpty());
    EXPECT_EQ(notInTable.Right(1), ".");
    EXPECT_NE(notInTable.Right(2), "..");
    EXPECT_EQ(CSystemUtils::GetLastError(unknown), "");
}

TEST(SystemErrorText, ZeroMeansTheThreadsLastError) {
    platform::SetLastErrorCode(0);
    EXPECT_EQ(CSystemUtils::GetLastError(0), "");
    platform::SetLastErrorCode(32);
    EXPECT_EQ(CSystemUtils::GetLastError(0), "The target file is being used by another application.");
    platform::SetLastErrorFromErrno(ENOENT);
    EXPECT_EQ(CSystemUtils::GetLastError(0), CSystemUtils::GetLastError(2));
    platform::SetLastErrorCode(0);
}

class Overrides : public ::testing::Test {
protected:
    void Use(const platform::SystemOverrides& o) { platform::SetSystemOverridesForTesting(&o); }
    void TearDown() override { platform::SetSystemOverridesForTesting(nullptr); }
};

struct Version {
    unsigned major, minor;
    bool v5x, v60, v61, newer;
};

class OSVersion : public Overrides, public ::testing::WithParamInterface<Version> {};

TEST_P(OSVersion, Family) {
    platform::SystemOverrides o;
    o.osVersion = {GetParam().major, GetParam().minor};
    Use(o);
    bool a = true, b = true, c = true, d = true;
    CSystemUtils::GetOSVersion(a, b, c, d);
    EXPECT_EQ(a, GetParam().v5x);
    EXPECT_EQ(b, GetParam().v60);
    EXPECT_EQ(c, GetParam().v61);
    EXPECT_EQ(d, GetParam().newer);
}

INSTANTIATE_TEST_SUITE_P(Versions, OSVersion,
                         ::testing::Values(Version{5, 0, 0, 0, 0, 0}, Version{5, 1, 1, 0, 0, 0}, Version{6, 0, 0, 1, 0, 0},
                                           Version{6, 1, 0, 0, 1, 0}, Version{6, 2, 0, 0, 0, 1},
                                           Version{10, 0, 0, 0, 0, 0}));

#ifndef _WIN32
TEST_F(Overrides, NeutralAnswersWithoutTheNotion) {
    bool a = true, b = true, c = true, d = true;
    CSystemUtils::GetOSVersion(a, b, c, d);
    EXPECT_FALSE(a || b || c || d);
    EXPECT_EQ(CSystemUtils::GetMouseScrollLines(), 0);
    int w = -1, h = -1;
    CSystemUtils::GetScreenWorkArea(w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_FALSE(CKeyboard::IsShiftKeyDown() || CKeyboard::IsCtrlKeyDown() || CKeyboard::IsCapsLockOn() ||
                 CKeyboard::IsNumLockOn() || CKeyboard::IsInsertOn());
}
#else
// Without overrides the system answers; its own tools and metrics are the reference.
TEST_F(Overrides, SystemAnswersWithoutOverrides) {
    std::string out;
    ASSERT_EQ(test::RunCommand("cmd /c ver", &out), 0);
    unsigned major = 0, minor = 0;
    const std::size_t digit = out.find_first_of("0123456789");
    ASSERT_NE(digit, std::string::npos) << out;
    ASSERT_EQ(std::sscanf(out.c_str() + digit, "%u.%u", &major, &minor), 2) << out;
    unsigned gotMajor = 0, gotMinor = 0;
    ASSERT_TRUE(platform::QueryOSVersion(gotMajor, gotMinor));
    EXPECT_EQ(std::make_pair(gotMajor, gotMinor), std::make_pair(major, minor)) << out;
    bool a = false, b = false, c = false, d = false;
    CSystemUtils::GetOSVersion(a, b, c, d);
    EXPECT_EQ(c, major == 6 && minor == 1);

    ASSERT_EQ(test::RunCommand("reg query \"HKCU\\Control Panel\\Desktop\" /v WheelScrollLines", &out), 0);
    const std::size_t sz = out.find("REG_SZ");
    ASSERT_NE(sz, std::string::npos) << out;
    EXPECT_EQ(CSystemUtils::GetMouseScrollLines(), std::atoi(out.c_str() + sz + 6)) << out;

    int w = 0, h = 0;
    CSystemUtils::GetScreenWorkArea(w, h);
    EXPECT_EQ(std::make_pair(w, h),
              std::make_pair(GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)));
    EXPECT_GT(w, 0);
    EXPECT_FALSE(CKeyboard::IsShiftKeyDown() || CKeyboard::IsCtrlKeyDown());  // nobody at the keyboard
}
#endif

TEST_F(Overrides, SystemAnswersAndKeyBits) {
    platform::SystemOverrides o;
    o.wheelScrollLines = 3;
    o.virtualScreen = {3840, 1080};
    o.keyStates[platform::kVkShift] = static_cast<short>(0x8000);  // held
    o.keyStates[platform::kVkControl] = 0x0001;                    // toggled only: not held
    o.keyStates[platform::kVkCapital] = static_cast<short>(0x8001);
    o.keyStates[platform::kVkNumLock] = static_cast<short>(0x8000);  // held, not toggled
    o.keyStates[platform::kVkInsert] = 0x0001;
    Use(o);
    EXPECT_EQ(CSystemUtils::GetMouseScrollLines(), 3);
    int w = 0, h = 0;
    CSystemUtils::GetScreenWorkArea(w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(3840, 1080));
    EXPECT_TRUE(CKeyboard::IsShiftKeyDown());
    EXPECT_FALSE(CKeyboard::IsCtrlKeyDown());
    EXPECT_TRUE(CKeyboard::IsCapsLockOn());
    EXPECT_FALSE(CKeyboard::IsNumLockOn());
    EXPECT_TRUE(CKeyboard::IsInsertOn());
}

#ifndef _WIN32
TEST(UserSID, FirstProfileWhoseImagePathLeadsTheAppDataFolder) {
    test::TempDir dir;
    std::string home = dir.File("Home");
    test::ScopedEnv config("XDG_CONFIG_HOME", (home + "/AppData/Roaming").c_str());
    const CString list = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
    EXPECT_EQ(CSystemUtils::GetUserSID(), "");  // no profiles at all
    CString homeLib = CString("C:") + CString(home);
    homeLib.Replace('/', '\\');
    CString upper = homeLib;
    upper.MakeUpper();
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_LOCAL_MACHINE, list + "\\S-1-5-18", "ProfileImagePath",
                                                  "C:\\Windows\\system32\\config\\systemprofile", false));
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_LOCAL_MACHINE, list + "\\S-1-5-21-1000", "ProfileImagePath", upper,
                                                  false));
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_LOCAL_MACHINE, list + "\\S-1-5-21-2000", "ProfileImagePath", homeLib,
                                                  false));
    EXPECT_EQ(CSystemUtils::GetUserSID(), "S-1-5-21-1000");  // case does not matter; first match wins
}
#else
// The system's own profile list, read with reg: the profile whose folder holds the
// user's application data is this user's.
TEST(UserSID, TheProfileThatHoldsTheAppDataFolder) {
    std::string appData, list;
    ASSERT_EQ(test::RunCommand("cmd /c echo %APPDATA%", &appData), 0);
    ASSERT_EQ(test::RunCommand("reg query \"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\" /s "
                               "/v ProfileImagePath",
                               &list),
              0);
    CString upperAppData(appData.c_str());
    upperAppData.MakeUpper();
    std::string expected, sid;
    std::size_t from = 0;
    for (std::size_t end; expected.empty() && (end = list.find('\n', from)) != std::string::npos; from = end + 1) {
        std::string line = list.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("HKEY_", 0) == 0) sid = line.substr(line.rfind('\\') + 1);
        const std::size_t at = line.find("REG_SZ");
        if (at == std::string::npos) continue;
        CString image(line.substr(line.find_first_not_of(' ', at + 6)).c_str());
        image.MakeUpper();
        if (!image.IsEmpty() && upperAppData.Find(image) == 0) expected = sid;
    }
    ASSERT_FALSE(expected.empty()) << list << appData;
    EXPECT_EQ(CSystemUtils::GetUserSID(), expected.c_str());
}
#endif

}  // namespace
}  // namespace vutil
