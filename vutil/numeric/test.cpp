#include "vutil/numeric/test.h"

#include "vutil/dates/date_time.h"
#include "vutil/files/file_utils.h"
#include "vutil/system/exe_utils.h"

namespace vutil {

TextArray CTest::m_arrayReport;
int CTest::m_nTestCaseNumber = 0;
int CTest::m_nTotalTestCases = 0;
int CTest::m_nTotalTestCasesFailed = 0;

void CTest::ReportTestInitialization(const CString& name) {
    m_arrayReport.DeleteAll();
    m_nTestCaseNumber = 0;
    m_nTotalTestCases = 0;
    m_nTotalTestCasesFailed = 0;
    DateTime now;
    now.SetToCurrent();
    CString heading;
    heading.Format("Test cases for %s run on %s.", name.GetString(), DateTime::ConvertToText(now, false).GetString());
    m_arrayReport.Add(heading);
}

void CTest::ReportTestCaseFunction(const CString& functionName) {
    m_nTestCaseNumber = 0;
    m_arrayReport.Add(functionName);
}

void CTest::ReportTestCaseMsg(const CString& message) { m_arrayReport.Add(message); }

void CTest::ReportTestCaseResult(bool passed) {
    ++m_nTestCaseNumber;
    ++m_nTotalTestCases;
    // The numbers line up right-aligned up to 999; from 1000 on the line has none.
    CString line;
    if (m_nTestCaseNumber < 10)
        line.Format("    %d. ", m_nTestCaseNumber);
    else if (m_nTestCaseNumber < 100)
        line.Format("   %d. ", m_nTestCaseNumber);
    else if (m_nTestCaseNumber < 1000)
        line.Format("  %d. ", m_nTestCaseNumber);
    if (passed) {
        line += "OK";
    } else {
        line += "Failed";
        ++m_nTotalTestCasesFailed;
    }
    m_arrayReport.Add(line);
}

void CTest::ReportTestSummary(const CString& reportPath) {
    const CString rule('-', 77);
    CString line;
    m_arrayReport.Add(CString());
    m_arrayReport.Add(rule);
    line.Format("Test cases executed: %5d.", m_nTotalTestCases);
    m_arrayReport.Add(line);
    line.Format("Test cases failed:   %5d.", m_nTotalTestCasesFailed);
    m_arrayReport.Add(line);
    if (m_nTotalTestCases > 0) {
        const long long passed = static_cast<long long>(m_nTotalTestCases) - m_nTotalTestCasesFailed;
        line.Format("Success rate:        %5d%%.", static_cast<int>(passed * 100 / m_nTotalTestCases));
        m_arrayReport.Add(line);
    }
    m_arrayReport.Add(rule);
    const bool written = CFileUtils::WriteFileContent(reportPath, m_arrayReport, false, 0);
    if (written && m_nTotalTestCasesFailed > 0) {
        CString error;
        CExeUtils::ShellLaunchApp(reportPath, CString(), CString(), false, CExeUtils::LC_OPEN, 1 /* normal */, error,
                                  nullptr);
    }
}

}  // namespace vutil
