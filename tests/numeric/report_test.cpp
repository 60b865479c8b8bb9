// CTest: the report file's lines, and when the desktop's handler is asked to open it
// (a stand-in xdg-open on PATH records the call instead of starting a viewer).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
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
    ReportTest() : m_path(std::string(std::getenv("PATH") ? std::getenv("PATH") : "")) {
        const std::string opener = m_dir.File("xdg-open");
        test::WriteFileBytes(opener, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + m_dir.File("opened") + "'\n");
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
        m_pathEnv.emplace("PATH", (m_dir.path().string() + ":" + m_path).c_str());
    }
    std::string Opened() const {
        return std::filesystem::exists(m_dir.File("opened")) ? test::ReadFileBytes(m_dir.File("opened")) : "";
    }

    test::TempDir m_dir;
    std::string m_path;
    std::optional<test::ScopedEnv> m_pathEnv;
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
    EXPECT_EQ(CTest::m_arrayReport.GetAt(12 + 1), "   12. OK");
    EXPECT_EQ(CTest::m_arrayReport.GetAt(100 + 1), "  100. OK");
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

TEST_F(ReportTest, AFailureOpensTheReport) {
    test::ScopedEnv open("VUTIL_NO_OPEN", nullptr);
    CTest::ReportTestInitialization("C");
    CTest::ReportTestCaseResult(false);
    const std::string file = m_dir.File("failed.txt");
    CTest::ReportTestSummary(file.c_str());
    EXPECT_EQ(Opened(), file + "\n");
    EXPECT_EQ(ReportLines(file)[6], "Success rate:            0%.");
}

}  // namespace
}  // namespace vutil
