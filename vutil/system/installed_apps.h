#pragma once
// InstalledApps: the process-wide index from program names to their executables,
// fed by the host between PreAnalyze and PostAnalyze.

#include <map>
#include <string>
#include <vector>

namespace vutil {

class InstalledApps {
public:
    static InstalledApps* GetInstance();
    static void DeleteInstance();

    void PreAnalyze();
    void AddProductInfo(std::string const& productName, std::string const& exePath);
    void PostAnalyze();

    void GetProgramsList(std::vector<std::string>& names) const;
    void GetEXEListForProgram(std::string const& name, std::vector<std::string>& exePaths) const;
    std::string GetProgramNameForEXE(std::string const& exePath, bool addIfMissing, bool& isNew);

protected:
    InstalledApps() = default;
    ~InstalledApps() = default;
    static std::string DisplayName(std::string const& productName, std::string const& exePath);

    static InstalledApps* m_pInstance;
    std::map<std::string, std::vector<std::string>> m_mapPrograms;
};

}  // namespace vutil
