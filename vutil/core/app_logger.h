#pragma once
// CAppLogger: the library's diagnostic log, a process-wide singleton.
//
// Library code logs a failure as:
//     if (CAppLogger* log = CAppLogger::GetInstance())
//         log->AddLine("{GUID-OF-THE-SITE} detail");
// GetInstance() returns null while logging is off, which is the default. Logging is
// switched on per application by the value "Log" under
// HKEY_CURRENT_USER\Software\VeltraneSoftware\<app>; every line rewrites <app>.log.

#include <vector>

#include "vutil/dates/date_time.h"
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
    static void EnableLogging(bool enable);

    void AddLine(const CString& line);

    // One logged line: when it was added, the brace-enclosed site, the rest.
    struct LogEntry {
        DateTime time;
        CString site;
        CString text;
    };
    using Line = LogEntry;
    // The lines added since the logger was created, oldest first.
    const std::vector<LogEntry>& Lines() const noexcept { return logEntries; }

    // Creates a logger regardless of the settings switch that keeps its lines in
    // memory only; for tests that want to see what the library logs.
    static CAppLogger* CreateForTesting();

    static constexpr WORD kFileVersion = 5;
    static constexpr WORD kEntryVersion = 2;

protected:
    static bool CheckLogging();
    void ForceWrite();
    void SetLogFile();

private:
    CAppLogger() = default;
    ~CAppLogger() { ClearLogEntries(); }
    CAppLogger(const CAppLogger&) = delete;
    CAppLogger& operator=(const CAppLogger&) = delete;
    void ClearLogEntries();

    CString logFilePath;
    std::vector<LogEntry> logEntries;
    bool m_bMemoryOnly = false;
};

}  // namespace vutil
