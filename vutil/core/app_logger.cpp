#include "vutil/core/app_logger.h"

namespace vutil {

CAppLogger* CAppLogger::m_pInstance = nullptr;
bool CAppLogger::m_bCheckedRegistry = false;
CString CAppLogger::m_csAppName;

namespace {
std::recursive_mutex& LoggerLock() {
    static std::recursive_mutex* lock = new std::recursive_mutex;  // lives until unload
    return *lock;
}
}  // namespace

// The instance pointer and the name are read and written under the logger's own lock,
// so a first use from several threads creates one logger and sees a whole name.
void CAppLogger::SetAppName(const CString& name) {
    std::lock_guard lock(LoggerLock());
    m_csAppName = name;
}

CAppLogger* CAppLogger::GetInstance() {
    // The settings switch that turns logging on is not consulted yet: off by default.
    std::lock_guard lock(LoggerLock());
    return m_pInstance;
}

void CAppLogger::DeleteInstance() {
    std::lock_guard lock(LoggerLock());
    delete m_pInstance;
    m_pInstance = nullptr;
}

CAppLogger* CAppLogger::CreateForTesting() {
    std::lock_guard lock(LoggerLock());
    if (!m_pInstance) m_pInstance = new CAppLogger;
    return m_pInstance;
}

void CAppLogger::AddLine(const CString& line) {
    std::lock_guard lock(LoggerLock());
    Line entry;
    int open = line.Find('{');
    int close = line.Find('}');
    if (open >= 0 && close >= 0) {
        entry.site = line.Left(close + 1);
        entry.text = line.Mid(close + 1);
        entry.text.Trim();
    } else {
        entry.text = line;
    }
    m_lines.push_back(std::move(entry));
}

}  // namespace vutil
