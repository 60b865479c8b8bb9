#include "vutil/files/files_internal.h"

#include "vutil/core/app_logger.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/error.h"
#include "vutil/system/system_utils.h"

namespace vutil::files_internal {

void Log(const char* site, const CString& detail) {
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(CString(site) + detail);
}

CString LastErrorText() { return CSystemUtils::GetLastError(platform::GetLastErrorCode()); }

void LogWithError(const char* site, const CString& detail) {
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(CString(site) + LastErrorText() + detail);
}

void AppendError(CString& errors, const CString& message) {
    if (!errors.IsEmpty()) errors += ' ';
    errors += message;
}

bool VisitedDirs::Enter(const CString& dir) {
    platform::EntryInfo info;
    if (!platform::GetEntryInfo(dir.view(), info)) return true;  // the enumeration will report it
    return m_seen.emplace(info.device, info.inode).second;
}

}  // namespace vutil::files_internal
