#include "vutil/core/app_logger.h"

#include <cstdlib>
#include <mutex>
#include <new>

#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/framework/archive.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"
#include "vutil/platform/file_ops.h"
#include "vutil/platform/settings.h"
#include "vutil/system/registry_utils.h"
#include "vutil/text/string_utils.h"

namespace vutil {

CAppLogger* CAppLogger::m_pInstance = nullptr;
bool CAppLogger::m_bCheckedRegistry = false;
CString CAppLogger::m_csAppName;

namespace {

std::recursive_mutex& LoggerLock() {
    static std::recursive_mutex* lock = new std::recursive_mutex;  // lives until unload
    return *lock;
}

CString AppKey() { return CString("Software\\VeltraneSoftware\\") + CAppLogger::m_csAppName; }

// Lines logged while the log path is being worked out (a failing settings read) are kept,
// but only a few levels of them rewrite the file, so a read that always fails cannot recurse
// without end.
thread_local int t_depth = 0;
constexpr int kMaxNestedWrites = 4;

}  // namespace

// The instance pointer and the name are read and written under the logger's own lock,
// so a first use from several threads creates one logger and sees a whole name.
void CAppLogger::SetAppName(const CString& name) {
    std::lock_guard lock(LoggerLock());
    m_csAppName = name;
}

bool CAppLogger::CheckLogging() {
    if (CStringUtils::IsEffectivelyEmpty(m_csAppName)) return false;
    HKEY key = nullptr;
    const bool opened =
        platform::SettingsOpenKey(HKEY_CURRENT_USER, AppKey().view(), platform::kKeyRead, &key) == 0;
    char buffer[128] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    const bool read = opened && platform::SettingsQueryValue(key, "Log", &type,
                                                             reinterpret_cast<BYTE*>(buffer), &size) == 0;
    m_bCheckedRegistry = true;
    if (opened) platform::SettingsCloseKey(key);
    return read && std::strtoul(buffer, nullptr, 10) == 1;
}

CAppLogger* CAppLogger::GetInstance() {
    std::lock_guard lock(LoggerLock());
    if (m_pInstance) return m_pInstance;
    if (m_bCheckedRegistry || !CheckLogging()) return nullptr;
    CAppLogger* logger = new (std::nothrow) CAppLogger;
    if (!logger) return nullptr;
    m_pInstance = logger;
    logger->AddLine("Logging started.");
    return m_pInstance;
}

void CAppLogger::DeleteInstance() {
    std::lock_guard lock(LoggerLock());
    delete m_pInstance;
    m_pInstance = nullptr;
}

void CAppLogger::EnableLogging(bool enable) {
    if (CStringUtils::IsEffectivelyEmpty(m_csAppName)) return;
    if ((m_pInstance != nullptr) == enable) return;
    CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, AppKey(), "Log", m_pInstance ? "0" : "1");
    DeleteInstance();
    m_bCheckedRegistry = false;
    GetInstance();
}

CAppLogger* CAppLogger::CreateForTesting() {
    std::lock_guard lock(LoggerLock());
    if (!m_pInstance) {
        m_pInstance = new CAppLogger;
        m_pInstance->m_bMemoryOnly = true;
    }
    return m_pInstance;
}

void CAppLogger::AddLine(const CString& line) {
    std::lock_guard lock(LoggerLock());
    LogEntry entry;
    entry.time.SetToCurrent();
    const int open = line.Find('{');
    const int close = line.Find('}');
    if (open >= 0 && close >= 0) {
        entry.site = line.Left(close + 1);
        entry.text = line.Mid(close + 1);
        CStringUtils::Trim(entry.text);
    } else {
        entry.text = line;
    }
    logEntries.push_back(std::move(entry));
    if (m_bMemoryOnly || t_depth >= kMaxNestedWrites) return;
    ++t_depth;
    ForceWrite();
    --t_depth;
}

void CAppLogger::SetLogFile() {
    if (!CStringUtils::IsEffectivelyEmpty(logFilePath)) return;
    const CString program(platform::HostProgramPath());
    const CString programDir = CDirUtils::ParseParentDir(program);
    const CString key = AppKey() + "\\";
    if (CDirUtils::ParseLastDir(programDir).CompareNoCase("Release") == 0)
        logFilePath = CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, key, "SettingsPathRelease");
    if (logFilePath.IsEmpty()) logFilePath = CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, key, "SettingsPath");
    if (logFilePath.IsEmpty()) logFilePath = programDir;
    if (logFilePath.IsEmpty()) return;
    CDirUtils::EnsureTrailingBackslash(logFilePath);
    logFilePath += m_csAppName + ".log";
}

void CAppLogger::ForceWrite() {
    SetLogFile();
    if (logFilePath.IsEmpty() || !CFileUtils::EnsureFileIsWritable(logFilePath)) return;
    try {
        CMemFile memory;
        {
            CArchive ar(&memory, CArchive::store, 4096);
            ar << CString("Veltrane Software Log File") << kFileVersion << m_csAppName
               << static_cast<DWORD>(logEntries.size());
            for (LogEntry& e : logEntries) {
                ar << kEntryVersion;
                e.time.Serialize(ar);
                ar << e.site << e.text;
            }
            ar.Close();
        }
        const auto length = static_cast<std::size_t>(memory.GetLength());
        BYTE* bytes = memory.Detach();
        // The whole file is replaced at once: a reader never sees half a log.
        platform::ReplaceFileContents(logFilePath.view(),
                                      std::string_view(reinterpret_cast<const char*>(bytes), length));
        std::free(bytes);
    } catch (const CException&) {
        // Logging never fails its caller; the next line tries again.
    } catch (const std::bad_alloc&) {
    }
}

void CAppLogger::ClearLogEntries() { logEntries.clear(); }

}  // namespace vutil
