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

void CAppLogger::SetAppName(const CString& name) { m_csAppName = name; }

CAppLogger* CAppLogger::GetInstance() {
    // The settings switch that turns logging on is not consulted yet: off by default.
    return m_pInstance;
}

void CAppLogger::DeleteInstance() {
    delete m_pInstance;
    m_pInstance = nullptr;
}

CAppLogger* CAppLogger::CreateForTesting() {
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
