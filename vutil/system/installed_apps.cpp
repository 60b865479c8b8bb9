#include "vutil/system/installed_apps.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "vutil/files/file_utils.h"
#include "vutil/platform/dir.h"
#include "vutil/text/string_utils.h"

namespace vutil {

InstalledApps* InstalledApps::m_pInstance = nullptr;

namespace {

bool Exists(const std::string& path) { return platform::GetAttributes(path) != platform::kInvalidAttributes; }

}  // namespace

namespace {
// A first GetInstance from two threads must create one index; never destroyed, so unload
// may still take it.
std::mutex& InstanceLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}
}  // namespace

InstalledApps* InstalledApps::GetInstance() {
    std::lock_guard guard(InstanceLock());
    if (!m_pInstance) m_pInstance = new (std::nothrow) InstalledApps;
    return m_pInstance;
}

void InstalledApps::DeleteInstance() {
    std::lock_guard guard(InstanceLock());
    delete m_pInstance;
    m_pInstance = nullptr;
}

std::string InstalledApps::DisplayName(std::string const& productName, std::string const& exePath) {
    CString name(productName);
    CStringUtils::Trim(name);
    // The system's own components all carry one product name; their files tell them apart.
    if (name.IsEmpty() || (CStringUtils::FindOccurrenceIndex(name, "microsoft", 1, false) >= 0 &&
                           CStringUtils::FindOccurrenceIndex(name, "windows", 1, false) >= 0))
        return CFileUtils::ParseFileNameFromPath(CString(exePath), false).str();
    return name.str();
}

void InstalledApps::PreAnalyze() { m_mapPrograms.clear(); }

void InstalledApps::AddProductInfo(std::string const& productName, std::string const& exePath) {
    if (exePath.empty()) return;
    std::string path = exePath;
    for (std::size_t at; (at = path.find("\\\\")) != std::string::npos;) path.erase(at, 1);
    if (!Exists(path)) return;
    m_mapPrograms[DisplayName(productName, path)].push_back(path);
}

void InstalledApps::PostAnalyze() {
    for (auto& [name, paths] : m_mapPrograms) {
        std::sort(paths.begin(), paths.end());
        paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    }
}

void InstalledApps::GetProgramsList(std::vector<std::string>& names) const {
    for (const auto& entry : m_mapPrograms) names.push_back(entry.first);
}

void InstalledApps::GetEXEListForProgram(std::string const& name, std::vector<std::string>& exePaths) const {
    auto it = m_mapPrograms.find(name);
    if (it != m_mapPrograms.end()) exePaths.insert(exePaths.end(), it->second.begin(), it->second.end());
}

std::string InstalledApps::GetProgramNameForEXE(std::string const& exePath, bool addIfMissing, bool& isNew) {
    isNew = false;
    if (Exists(exePath))
        for (const auto& [name, paths] : m_mapPrograms)
            if (std::find(paths.begin(), paths.end(), exePath) != paths.end()) return name;
    CString product;
    CFileUtils::GetFileInfo(CString(exePath), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr, &product);
    std::string name = DisplayName(product.str(), exePath);
    if (addIfMissing) {
        isNew = m_mapPrograms.find(name) == m_mapPrograms.end();
        AddProductInfo(product.str(), exePath);
    }
    return name;
}

}  // namespace vutil
