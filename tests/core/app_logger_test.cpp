// The application log: the settings switch, the log directory, the file's bytes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/test_support.h"
#include "vutil/core/app_logger.h"
#include "vutil/dates/date_time.h"
#include "vutil/framework/archive.h"
#include "vutil/framework/file.h"
#include "vutil/platform/clock.h"
#include "vutil/platform/path.h"
#include "vutil/system/registry_utils.h"

namespace vutil {
namespace {

namespace fs = std::filesystem;

const CString kKey = "Software\\VeltraneSoftware\\TestApp";

class AppLog : public ::testing::Test {
protected:
    void SetUp() override {
        Reset();
        zone.emplace("UTC");
        logs = tmp.path() / "logs";
        fs::create_directories(logs);
    }
    void TearDown() override {
        Reset();
        zone.reset();
    }
    static void Reset() {
        CAppLogger::DeleteInstance();
        CAppLogger::m_bCheckedRegistry = false;
        CAppLogger::SetAppName("");
    }
    static void SetValue(const char* name, const CString& value) {
        ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, kKey, name, value));
    }
    static CString Switch() { return CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, kKey, "Log"); }

    test::TempDir tmp;
    std::optional<test::ScopedZone> zone;
    fs::path logs;
    platform::ScopedClockPin pin{1623764730};  // 2021-06-15 13:45:30 UTC
};

TEST_F(AppLog, NoNameNeverLogs) {
    SetValue("Log", "1");
    EXPECT_EQ(CAppLogger::GetInstance(), nullptr);
    EXPECT_FALSE(CAppLogger::m_bCheckedRegistry);
    CAppLogger::EnableLogging(true);
    EXPECT_EQ(CAppLogger::GetInstance(), nullptr);
}

TEST_F(AppLog, SwitchValues) {
    const struct {
        const char* value;  // null: no value at all
        bool on;
    } cases[] = {{nullptr, false}, {"1", true}, {"01", true}, {"0", false}, {"2", false}, {"abc", false}, {"", false}};
    for (const auto& c : cases) {
        Reset();
        CRegistryUtils::DeleteValue(HKEY_CURRENT_USER, kKey, "Log");
        if (c.value) SetValue("Log", c.value);
        CAppLogger::SetAppName("TestApp");
        EXPECT_EQ(CAppLogger::GetInstance() != nullptr, c.on) << (c.value ? c.value : "(absent)");
        EXPECT_TRUE(CAppLogger::m_bCheckedRegistry);
    }
}

TEST_F(AppLog, CheckedOffStaysOffUntilEnabled) {
    CAppLogger::SetAppName("TestApp");
    SetValue("SettingsPath", CString(logs.string()));
    EXPECT_EQ(CAppLogger::GetInstance(), nullptr);
    SetValue("Log", "1");
    EXPECT_EQ(CAppLogger::GetInstance(), nullptr);  // not read again
    CAppLogger::EnableLogging(true);
    ASSERT_NE(CAppLogger::GetInstance(), nullptr);
    EXPECT_EQ(Switch(), "1");
    CAppLogger::EnableLogging(false);
    EXPECT_EQ(Switch(), "0");
    EXPECT_EQ(CAppLogger::m_pInstance, nullptr);
    EXPECT_EQ(CAppLogger::GetInstance(), nullptr);
}

std::string CStringBytes(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }

std::string DateTimeRecord(const DateTime& when) {
    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        DateTime copy = when;
        copy.Serialize(ar);
        ar.Close();
    }
    return std::string(reinterpret_cast<const char*>(memory.GetData()), static_cast<std::size_t>(memory.GetLength()));
}

TEST_F(AppLog, FileLayoutAfterEveryLine) {
    CAppLogger::SetAppName("TestApp");
    SetValue("SettingsPath", CString(logs.string()));
    SetValue("SettingsPathRelease", CString((tmp.path() / "release").string()));  // not run from Release
    CAppLogger::EnableLogging(true);
    CAppLogger* log = CAppLogger::GetInstance();
    ASSERT_NE(log, nullptr);
    const std::string file = (logs / "TestApp.log").string();
    const std::string entry1 = test::Bytes({2, 0}) + DateTimeRecord(DateTime(2021, 6, 15, 13, 45, 30)) +
                               CStringBytes("") + CStringBytes("Logging started.");
    const std::string head = CStringBytes("Veltrane Software Log File") + test::Bytes({5, 0}) + CStringBytes("TestApp");
    EXPECT_EQ(test::Hex(test::ReadFileBytes(file)), test::Hex(head + test::Bytes({1, 0, 0, 0}) + entry1));

    log->AddLine("{996D9989-7ACC-46d8-9265-A13FF9AEFFE5}  No such file (C:\\x) ");
    const std::string entry2 = test::Bytes({2, 0}) + DateTimeRecord(DateTime(2021, 6, 15, 13, 45, 30)) +
                               CStringBytes("{996D9989-7ACC-46d8-9265-A13FF9AEFFE5}") +
                               CStringBytes("No such file (C:\\x)");
    EXPECT_EQ(test::Hex(test::ReadFileBytes(file)), test::Hex(head + test::Bytes({2, 0, 0, 0}) + entry1 + entry2));
    EXPECT_FALSE(fs::exists(tmp.path() / "release"));

    std::string out;
    ASSERT_EQ(test::RunCli("log dump '" + file + "'", &out, ""), 0);
    EXPECT_EQ(out,
              "application: TestApp\nversion: 5\nentries: 2\n"
              "2021-06-15 13:45:30\t\tLogging started.\n"
              "2021-06-15 13:45:30\t{996D9989-7ACC-46d8-9265-A13FF9AEFFE5}\tNo such file (C:\\x)\n");
}

TEST_F(AppLog, LinesSplitIntoSiteAndText) {
    const struct {
        const char *line, *site, *text;
    } cases[] = {
        {"{A1B2} detail  ", "{A1B2}", "detail"},
        {"  no braces  ", "", "  no braces  "},
        {"}odd{ order", "}", "odd{ order"},
        {"{only open", "", "{only open"},
    };
    CAppLogger* log = CAppLogger::CreateForTesting();
    for (const auto& c : cases) {
        log->AddLine(c.line);
        EXPECT_EQ(log->Lines().back().site, c.site) << c.line;
        EXPECT_EQ(log->Lines().back().text, c.text) << c.line;
    }
}

}  // namespace
}  // namespace vutil
