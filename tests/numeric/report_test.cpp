// CTest: the report file's lines, and when the desktop's handler is asked to open it
// (a private XDG tree names a stand-in viewer that records the call).

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"
#include "vutil/numeric/test.h"

namespace vutil {
namespace {

std::vector<std::string> ReportLines(const std::string& path) {
    const std::string bytes = test::ReadFileBytes(path);
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = bytes.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(bytes.substr(from, end - from));
    if (from < bytes.size()) lines.push_back(bytes.substr(from));
    return lines;
}

class ReportTest : public ::testing::Test {
protected:
#ifdef _WIN32
    // The report goes to the handler the system associates with its extension: a stand-in
    // registered with the classes (Wine's shell does not read the user's own) records the call.
    ReportTest() {
        const std::string viewer = m_dir.File("viewer.cmd");
        test::WriteFileBytes(viewer, "@echo %~1> \"" + m_dir.File("opened.tmp") + "\"\r\n@move /y \"" +
                                         m_dir.File("opened.tmp") + "\" \"" + m_dir.File("opened") + "\" > nul\r\n");
        test::RunCommand("reg add HKCR\\.vutilreport /ve /d vutil.testreport /f");
        test::RunCommand("reg add HKCR\\vutil.testreport\\shell\\open\\command /ve /d \"cmd.exe /c \\\"\\\"" +
                         viewer + "\\\" \\\"%1\\\"\\\"\" /f");
    }
    ~ReportTest() override {
        test::RunCommand("reg delete HKCR\\.vutilreport /f");
        test::RunCommand("reg delete HKCR\\vutil.testreport /f");
    }
    static constexpr const char* kExtension = ".vutilreport";
#else
    ReportTest() {
        const std::string viewer = m_dir.File("viewer");
        // Writes under a temporary name and renames: the detached viewer's record is whole when seen.
        test::WriteText(viewer, "#!/bin/sh\nprintf '%s\\n' \"$1\" > '" + m_dir.File("opened.tmp") + "'\nmv '" +
                                    m_dir.File("opened.tmp") + "' '" + m_dir.File("opened") + "'\n", true);
        test::WriteText(m_dir.File("data/mime/globs2"), "50:text/plain:*.txt\n");
        test::WriteText(m_dir.File("data/applications/viewer.desktop"),
                        "[Desktop Entry]\nType=Application\nName=Viewer\nExec=" + viewer + " %f\n");
        test::WriteText(m_dir.File("config/mimeapps.list"), "[Default Applications]\ntext/plain=viewer.desktop\n");
        for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
            const std::string base = std::string(name).find("DATA") != std::string::npos ? "data" : "config";
            const std::string dir = m_dir.File(std::string(name).ends_with("HOME") ? base : "none");
            m_env.emplace_back(std::make_unique<test::ScopedEnv>(name, dir));
        }
    }
    static constexpr const char* kExtension = ".txt";
#endif
    std::string Opened() const {
        return std::filesystem::exists(m_dir.File("opened")) ? test::ReadFileBytes(m_dir.File("opened")) : "";
    }
    // The viewer runs detached; the test's own limit bounds the wait.
    std::string WaitOpened() const {
        while (!std::filesystem::exists(m_dir.File("opened"))) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::string opened = Opened();
        if (opened.size() >= 2 && opened.compare(opened.size() - 2, 2, "\r\n") == 0) opened.erase(opened.size() - 2, 1);
        return opened;
    }

    test::TempDir m_dir;
    std::vector<std::unique_ptr<test::ScopedEnv>> m_env;
};

TEST_F(ReportTest, ThreePassesOneFailure) {
    test::ScopedEnv noOpen("VUTIL_NO_OPEN", "1");
    CTest::ReportTestInitialization("Widget");
    CTest::ReportTestCaseFunction("CWidget::Spin");
    for (bool passed : {true, false, true}) CTest::ReportTestCaseResult(passed);
    CTest::ReportTestCaseMsg("spun twice");
    CTest::ReportTestCaseFunction("CWidget::Stop");
    CTest::ReportTestCaseResult(true);
    const std::string file = m_dir.File("report.txt");
    CTest::ReportTestSummary(file.c_str());

    const std::vector<std::string> lines = ReportLines(file);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_TRUE(std::regex_match(lines[0], std::regex("Test cases for Widget run on .+\\."))) << lines[0];
    const std::vector<std::string> expected = {
        "CWidget::Spin", "    1. OK", "    2. Failed", "    3. OK", "spun twice", "CWidget::Stop", "    1. OK", "",
        std::string(77, '-'), "Test cases executed:     4.", "Test cases failed:       1.",
        "Success rate:           75%.", std::string(77, '-')};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), expected);
    EXPECT_EQ(CTest::m_nTotalTestCases, 4);
    EXPECT_EQ(CTest::m_nTotalTestCasesFailed, 1);
    EXPECT_EQ(Opened(), "");  // suppressed
}

TEST_F(ReportTest, NumberingAndReinitialisation) {
    CTest::ReportTestInitialization("A");
    CTest::ReportTestCaseFunction("f");
    for (int i = 0; i < 1000; ++i) CTest::ReportTestCaseResult(true);
    EXPECT_EQ(CTest::m_arrayReport.GetAt(999 + 1), "  999. OK");
    EXPECT_EQ(CTest::m_arrayReport.GetAt(1000 + 1), "OK");

    CTest::ReportTestInitialization("B");
    EXPECT_EQ(CTest::m_arrayReport.GetCount(), 1u);
    EXPECT_EQ(CTest::m_nTestCaseNumber, 0);
    EXPECT_EQ(CTest::m_nTotalTestCases, 0);
    const std::string file = m_dir.File("empty.txt");
    CTest::ReportTestSummary(file.c_str());
    const std::vector<std::string> lines = ReportLines(file);
    ASSERT_EQ(lines.size(), 6u);  // no success rate without cases
    EXPECT_EQ(lines[3], "Test cases executed:     0.");
    EXPECT_EQ(lines[5], std::string(77, '-'));
    EXPECT_EQ(Opened(), "");  // nothing failed
}

#ifndef _WIN32  // the stand-in viewer is a freedesktop registration
TEST_F(ReportTest, AFailureOpensTheReport) {
    test::ScopedEnv open("VUTIL_NO_OPEN", nullptr);
    CTest::ReportTestInitialization("C");
    CTest::ReportTestCaseResult(false);
    const std::string file = m_dir.File(std::string("failed") + kExtension);
    CTest::ReportTestSummary(file.c_str());
    EXPECT_EQ(WaitOpened(), file + "\n");
    EXPECT_EQ(ReportLines(file)[6], "Success rate:            0%.");
}
#endif

}  // namespace
}  // namespace vutil
