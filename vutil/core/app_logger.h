#pragma once
// CAppLogger: the library's diagnostic log, a process-wide singleton.
//
// Library code logs a failure as:
//     if (CAppLogger* log = CAppLogger::GetInstance())
//         log->AddLine("{GUID-OF-THE-SITE} detail");
// GetInstance() returns null while logging is off, which is the default.

#include <memory>
#include <mutex>
#include <vector>

#include "vutil/framework/cstring.h"

namespace vutil {

class CAppLogger {
public:
    static CAppLogger* m_pInstance;
    static bool m_bCheckedRegistry;
    static CString m_csAppName;

    static void SetAppName(const CString& name);
    static CAppLogger* GetInstance();
    static void DeleteInstance();

    void AddLine(const CString& line);

    // The lines added since the logger was created, as (site, text) pairs.
    struct Line {
        CString site;
        CString text;
    };
    const std::vector<Line>& Lines() const noexcept { return m_lines; }

    // Creates the logger regardless of the settings switch; for hosts and tests that
    // want to see the lines before the full log lands.
    static CAppLogger* CreateForTesting();

private:
    CAppLogger() = default;
    ~CAppLogger() = default;

    std::vector<Line> m_lines;
};

}  // namespace vutil
