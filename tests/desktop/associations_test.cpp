// Associations, desktop handlers and the default browser from a private XDG tree
// and a private settings store. The handlers are scripts that record their
// arguments; nothing real is ever opened.

#include <gtest/gtest.h>

#include "desktop_env.h"
#include "vutil/platform/desktop.h"
#include "vutil/platform/error.h"
#include "vutil/platform/path.h"
#include "vutil/system/browser_utils.h"
#include "vutil/system/exe_utils.h"
#include "vutil/system/registry_utils.h"
#include "vutil/system/system_utils.h"

namespace vutil {
namespace {

using namespace test;

#ifndef _WIN32
class Desktop : public ::testing::Test {
protected:
    Desktop()
        : m_dataHome("XDG_DATA_HOME", (m_dir.path() / "data").c_str()),
          m_dataDirs("XDG_DATA_DIRS", (m_dir.path() / "nodata").c_str()),
          m_configHome("XDG_CONFIG_HOME", (m_dir.path() / "config").c_str()),
          m_configDirs("XDG_CONFIG_DIRS", (m_dir.path() / "noconfig").c_str()),
          m_desktop("XDG_CURRENT_DESKTOP", "Test"),
          m_noOpen("VUTIL_NO_OPEN", nullptr) {
        const auto data = m_dir.path() / "data";
        WriteText(data / "mime" / "globs2",
                  "# weight:type:glob\n"
                  "40:text/x-vutil-low:*.vtt\n"
                  "60:text/x-vutil:*.vtt\n"
                  "50:text/x-vutil-case:*.VXCS:cs\n");
        // Records its arguments under a temporary name first, so the test never sees half.
        WriteText(m_dir.path() / "bin" / "handler",
                  "#!/bin/sh\nout=\"$HANDLER_LOG\"\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.tmp\"\n"
                  "mv \"$out.tmp\" \"$out\"\n",
                  true);
        const std::string handler = (m_dir.path() / "bin" / "handler").string();
        WriteText(data / "applications" / "viewer.desktop",
                  "[Desktop Entry]\nType=Application\nName=Vutil Viewer\nIcon=viewer-icon\n"
                  "Exec=\"" + handler + "\" --view %f\nActions=Print;\n\n"
                  "[Desktop Action Print]\nName=Print\nExec=" + handler + " --print %F\n");
        WriteText(data / "applications" / "browser.desktop",
                  "[Desktop Entry]\nType=Application\nName=Fake Firefox Browser\nIcon=fake-browser\n"
                  "Exec=" + handler + " --new-tab %u\n");
        WriteText(data / "applications" / "hidden.desktop",
                  "[Desktop Entry]\nType=Application\nHidden=true\nName=Gone\nExec=/bin/true %f\n");
        WriteText(m_dir.path() / "config" / "test-mimeapps.list",
                  "[Default Applications]\ntext/x-vutil=hidden.desktop;viewer.desktop;\n");
        WriteText(m_dir.path() / "config" / "mimeapps.list",
                  "[Default Applications]\ntext/x-vutil=browser.desktop\nx-scheme-handler/http=browser.desktop\n");
        setenv("HANDLER_LOG", (m_dir.path() / "handler.log").c_str(), 1);
    }
    ~Desktop() override { unsetenv("HANDLER_LOG"); }

    CString Lib(const std::filesystem::path& p) const { return CString(platform::FromHostPath(p.string())); }
    std::string Handled() { return test::WaitForFile(m_dir.path() / "handler.log"); }

    TempDir m_dir;
    ScopedEnv m_dataHome, m_dataDirs, m_configHome, m_configDirs, m_desktop, m_noOpen;
};

TEST_F(Desktop, AssociationFallsBackToTheClassesRoot) {
    WriteText(m_dir.path() / "prog two.exe", "x");
    const CString exe = Lib(m_dir.path() / "prog two.exe");
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CLASSES_ROOT, ".vx1\\OpenWithProgids", "Missing.1", ""));
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CLASSES_ROOT, ".vx1\\OpenWithProgids", "Quoted.1", ""));
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CLASSES_ROOT, "Missing.1\\shell\\open\\command", "",
                                                  "C:\\no\\such.exe %1"));
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CLASSES_ROOT, "Quoted.1\\shell\\open\\command", "",
                                                  "\"" + exe + "\" \"%1\""));
    EXPECT_EQ(CExeUtils::GetFileAssocExe(".vx1", CExeUtils::LC_OPEN), exe);
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CLASSES_ROOT, ".vx2\\openwithprogids", "Plain.1", ""));
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CLASSES_ROOT, "Plain.1\\shell\\open\\command", "", "/bin/sh -c x"));
    EXPECT_EQ(CExeUtils::GetFileAssocExe(".vx2", CExeUtils::LC_OPEN), "/bin/sh");
}

TEST_F(Desktop, ShellLaunchRunsTheHandlerWithTheVerb) {
    WriteText(m_dir.path() / "doc one.vtt", "text");
    const std::string host = (m_dir.path() / "doc one.vtt").string();
    struct Case {
        CString target;
        CExeUtils::LaunchCommand command;
        CString parameters;
        std::string recorded;
    } cases[] = {
        {Lib(m_dir.path() / "doc one.vtt"), CExeUtils::LC_OPEN, "", "--view\n" + host + "\n"},
        {Lib(m_dir.path() / "doc one.vtt"), CExeUtils::LC_PRINT, "\"two words\" x", "--print\n" + host + "\ntwo words\nx\n"},
        {Lib(m_dir.path() / "doc one.vtt"), static_cast<CExeUtils::LaunchCommand>(7), "", "--view\n" + host + "\n"},
        {"http://example.invalid/a?b=c", CExeUtils::LC_OPEN, "", "--new-tab\nhttp://example.invalid/a?b=c\n"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(m_dir.path() / "handler.log");
        CString error = "stale";
        ASSERT_TRUE(CExeUtils::ShellLaunchApp(c.target, c.parameters, Lib(m_dir.path()), false, c.command, 1, error,
                                              nullptr))
            << c.target << ": " << error;
        EXPECT_EQ(error, "");
        EXPECT_EQ(Handled(), c.recorded);
    }
}

TEST_F(Desktop, ShellLaunchFailuresCarryTheErrorText) {
    WriteText(m_dir.path() / "doc.vtt", "text");
    struct Case {
        CString target;
        CExeUtils::LaunchCommand command;
        DWORD code;
    } cases[] = {
        {Lib(m_dir.path() / "doc.vtt"), CExeUtils::LC_EDIT, platform::kErrorNoAssociation},
        {Lib(m_dir.path() / "missing.vtt"), CExeUtils::LC_OPEN, platform::kErrorFileNotFound},
        {"nosuchscheme://x", CExeUtils::LC_OPEN, platform::kErrorNoAssociation},
    };
    for (const auto& c : cases) {
        CString error;
        EXPECT_FALSE(CExeUtils::ShellLaunchApp(c.target, "", "", true, c.command, 1, error, nullptr)) << c.target;
        EXPECT_EQ(error, CSystemUtils::GetLastError(c.code)) << c.target;
        EXPECT_FALSE(error.IsEmpty());
    }
    CString error = "stale";
    EXPECT_FALSE(CExeUtils::ShellLaunchApp(" ", "", "", true, CExeUtils::LC_OPEN, 1, error, nullptr));
    EXPECT_EQ(error, "");
}

TEST_F(Desktop, NoOpenRecordsTheCommandInsteadOfRunningIt) {
    WriteText(m_dir.path() / "doc.vtt", "text");
    const auto record = m_dir.path() / "would-run.txt";
    ScopedEnv noOpen("VUTIL_NO_OPEN", record.c_str());
    CString error;
    ASSERT_TRUE(CExeUtils::ShellLaunchApp(Lib(m_dir.path() / "doc.vtt"), "", "", true, CExeUtils::LC_OPEN, 1, error, nullptr));
    EXPECT_EQ(test::ReadText(record),
              (m_dir.path() / "bin" / "handler").string() + " --view " + (m_dir.path() / "doc.vtt").string() + "\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "handler.log"));
}

class Browser : public Desktop {
protected:
    static void Set(HKEY root, const CString& key, const CString& value) {
        ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(root, key, "", value));
    }
};

TEST_F(Browser, WithoutRegistrationsTheDesktopDefaultAnswers) {
    int index = 5;
    EXPECT_EQ(CBrowserUtils::GetDefaultBrowserName(), "Fake Firefox Browser");
    EXPECT_EQ(CBrowserUtils::GetDefaultBrowserPath(), CString((m_dir.path() / "bin" / "handler").string().c_str()) + " --new-tab %u");
    EXPECT_EQ(CBrowserUtils::GetDefaultBrowserIcon(index), "fake-browser");
    EXPECT_EQ(index, 0);
    bool ie = false, firefox = false, opera = false, chrome = false;
    CBrowserUtils::GetInstalledBrowsers(ie, firefox, opera, chrome);
    EXPECT_TRUE(firefox);
    EXPECT_FALSE(ie || opera || chrome);
}

TEST_F(Browser, RegistrationsAnswerFirst) {
    const CString clients = "SOFTWARE\\Clients\\StartMenuInternet\\";
    Set(HKEY_LOCAL_MACHINE, "Software\\Clients\\StartMenuInternet", "FIREFOX.EXE");  // no current-user default
    Set(HKEY_LOCAL_MACHINE, clients + "FIREFOX.EXE", "Mozilla Firefox");
    Set(HKEY_LOCAL_MACHINE, clients + "FIREFOX.EXE\\shell\\open\\command", "\"C:\\ff\\firefox.exe\" -url");
    Set(HKEY_LOCAL_MACHINE, clients + "FIREFOX.EXE\\DefaultIcon", "C:\\ff,x\\firefox.exe,-2");
    Set(HKEY_CURRENT_USER, clients + "Google Chrome", "Chrome");
    int index = 0;
    EXPECT_EQ(CBrowserUtils::GetDefaultBrowserName(), "Mozilla Firefox");
    EXPECT_EQ(CBrowserUtils::GetDefaultBrowserPath(), "\"C:\\ff\\firefox.exe\" -url");
    EXPECT_EQ(CBrowserUtils::GetDefaultBrowserIcon(index), "C:\\ff,x\\firefox.exe");
    EXPECT_EQ(index, -2);
    bool ie = false, firefox = false, opera = false, chrome = false;
    CBrowserUtils::GetInstalledBrowsers(ie, firefox, opera, chrome);
    EXPECT_TRUE(firefox && chrome);
    EXPECT_FALSE(ie || opera);

    Set(HKEY_CURRENT_USER, "Software\\Clients\\StartMenuInternet", "OPERA");  // the user's choice wins
    Set(HKEY_LOCAL_MACHINE, clients + "OPERA\\DefaultIcon", "C:\\opera\\opera.exe");
    EXPECT_EQ(CBrowserUtils::GetDefaultBrowserIcon(index), "C:\\opera\\opera.exe");
    EXPECT_EQ(index, 0);
    EXPECT_EQ(CBrowserUtils::GetDefaultBrowserName(), "");  // registered default without a display name
}

#else
// A document class registered in the classes root, its handler a batch file that
// records its arguments; the shell answers from the real registry.
class Associations : public ::testing::Test {
protected:
    Associations() {
        WriteText(m_dir.path() / "handler.bat", "@>\"%~dp0handled.tmp\" echo %*\r\n@move /y \"%~dp0handled.tmp\" \"%~dp0handled.txt\" >NUL\r\n");
        const CString handler = Lib(m_dir.path() / "handler.bat");
        Set(".vtt", "VutilTest.Doc");
        Set("VutilTest.Doc", "Vutil test document");
        Set("VutilTest.Doc\\shell\\open\\command", "\"" + handler + "\" --view \"%1\"");
        Set("VutilTest.Doc\\shell\\print\\command", "\"" + handler + "\" --print \"%1\" %*");
    }
    ~Associations() override {
        for (const char* key : {"VutilTest.Doc\\shell\\open\\command", "VutilTest.Doc\\shell\\print\\command",
                                "VutilTest.Doc\\shell\\open", "VutilTest.Doc\\shell\\print", "VutilTest.Doc\\shell",
                                "VutilTest.Doc", ".vtt"})
            CRegistryUtils::DeleteKey(HKEY_CLASSES_ROOT, key);
    }
    static void Set(const CString& key, const CString& value) {
        ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CLASSES_ROOT, key, "", value));
    }
    CString Lib(const std::filesystem::path& p) const { return CString(platform::FromHostPath(p.string())); }
    std::string Handled() { return test::WaitForFile(m_dir.path() / "handled.txt"); }

    TempDir m_dir;
};

TEST_F(Associations, ShellLaunchRunsTheHandlerWithTheVerb) {
    WriteText(m_dir.path() / "doc one.vtt", "text");
    const std::string doc = Lib(m_dir.path() / "doc one.vtt").str();
    struct Case {
        CExeUtils::LaunchCommand command;
        CString parameters;
        std::string recorded;
    } cases[] = {
        {CExeUtils::LC_OPEN, "", "--view \"" + doc + "\"\r\n"},
        {CExeUtils::LC_PRINT, "\"two words\" x", "--print \"" + doc + "\" \"two words\" x\r\n"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(m_dir.path() / "handled.txt");
        CString error = "stale";
        ASSERT_TRUE(CExeUtils::ShellLaunchApp(CString(doc), c.parameters, Lib(m_dir.path()), false, c.command, 1, error,
                                              nullptr))
            << error;
        EXPECT_EQ(error, "");
        EXPECT_EQ(Handled(), c.recorded);
    }
    CString error;
    EXPECT_FALSE(CExeUtils::ShellLaunchApp(Lib(m_dir.path() / "missing.vtt"), "", "", true, CExeUtils::LC_OPEN, 1, error,
                                           nullptr));
    EXPECT_EQ(error, CSystemUtils::GetLastError(platform::kErrorFileNotFound));
}

// A text value as reg.exe reads it (the default value without a name).
std::string RegisteredText(const std::string& key, const std::string& name = "") {
    std::string out;
    if (test::RunCommand("reg query \"" + key + "\" " + (name.empty() ? "/ve" : "/v " + name), &out) != 0) return {};
    const std::size_t type = out.find("REG_");
    if (type == std::string::npos) return {};
    const std::size_t value = out.find_first_not_of(' ', out.find(' ', type));
    return out.substr(value, out.find_first_of("\r\n", value) - value);
}

TEST(Browser, TheDefaultIsTheHandlerOfHttp) {
    // The user's choice names a class; without one the scheme's own class answers.
    std::string progId = RegisteredText(
        "HKCU\\Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice", "ProgId");
    if (progId.empty()) progId = "http";
    const std::string command = RegisteredText("HKCR\\" + progId + "\\shell\\open\\command");
    if (command.empty()) GTEST_SKIP() << "no handler for http";
    const auto app = platform::DefaultBrowser();
    ASSERT_TRUE(app);
    EXPECT_EQ(app->id, progId);
    EXPECT_EQ(app->command, command);
    EXPECT_FALSE(app->program.empty());
    EXPECT_NE(command.find(app->program), std::string::npos);
}
#endif

// The same answers from the desktop's files (the heavier glob, then the desktop's own
// list, a hidden entry skipped) and from the system's classes.
#ifndef _WIN32
using Handlers = Desktop;
const std::filesystem::path kHandler = std::filesystem::path("bin") / "handler";
#else
using Handlers = Associations;
const std::filesystem::path kHandler = "handler.bat";
#endif

TEST_F(Handlers, AssociationFollowsTheExtensionAndTheVerb) {
    const CString handler = Lib(m_dir.path() / kHandler);
    struct Case {
        const char* extension;
        CExeUtils::LaunchCommand command;
        CString expected;
    } cases[] = {
        {".vtt", CExeUtils::LC_OPEN, handler},
        {".VTT", CExeUtils::LC_OPEN, handler},   // globs ignore case unless marked
        {".vtt", CExeUtils::LC_PRINT, handler},  // the entry offers a Print action
        {".vtt", CExeUtils::LC_RUNAS, handler},  // associations ask "open" for runas
        {".vtt", CExeUtils::LC_EDIT, ""},       // no edit action
        {".vxcs", CExeUtils::LC_OPEN, ""},      // case-sensitive glob does not match
        {"vtt", CExeUtils::LC_OPEN, ""},
        {"", CExeUtils::LC_OPEN, ""},
        {".nothing-registered", CExeUtils::LC_OPEN, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CExeUtils::GetFileAssocExe(c.extension, c.command), c.expected) << c.extension << " " << c.command;
}

}  // namespace
}  // namespace vutil
