// CSystemUtils and CKeyboard.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

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

TEST(SystemErrorText, SystemCodesEndInExactlyOneFullStop) {
    EXPECT_EQ(CSystemUtils::GetLastError(2), CString(std::strerror(ENOENT)) + ".");
    EXPECT_EQ(CSystemUtils::GetLastError(5), CString(std::strerror(EACCES)) + ".");
    CString notInTable = CSystemUtils::GetLastError(123);  // between table codes: the system's text
    ASSERT_FALSE(notInTable.IsEmpty());
    EXPECT_EQ(notInTable.Right(1), ".");
    EXPECT_NE(notInTable.Right(2), "..");
    EXPECT_EQ(CSystemUtils::GetLastError(119), "");  // no text for it here
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

}  // namespace
}  // namespace vutil
