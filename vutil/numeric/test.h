#pragma once
// A self-check report: a heading, the functions exercised, one numbered line per case
// with its outcome, free messages and a summary, written to a text file and opened
// for the user when a case failed. Process-wide; callers serialize its use.

#include "vutil/core/text_array.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class CTest {
public:
    static TextArray m_arrayReport;
    static int m_nTestCaseNumber;
    static int m_nTotalTestCases;
    static int m_nTotalTestCasesFailed;

    // Empties the report and the counters and writes the heading with the local time.
    static void ReportTestInitialization(const CString& name);
    static void ReportTestCaseFunction(const CString& functionName);
    static void ReportTestCaseMsg(const CString& message);
    static void ReportTestCaseResult(bool passed);
    // Appends the summary, writes the report to reportPath and, when a case failed,
    // opens it with the desktop's handler (never when VUTIL_NO_OPEN is set).
    static void ReportTestSummary(const CString& reportPath);
};

}  // namespace vutil
