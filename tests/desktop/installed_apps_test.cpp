// The installed-programs index: display names, path clean-up, sorting and
// duplicates, look-ups and the singleton's life.

#include <gtest/gtest.h>

#include "desktop_env.h"
#include "vutil/platform/path.h"
#include "vutil/system/installed_apps.h"

namespace vutil {
namespace {

class Installed : public ::testing::Test {
protected:
    Installed() {
        for (const char* name : {"wmplayer.exe", "b.exe", "a.exe", "tool.exe"}) test::WriteText(m_dir.File(name), "MZ");
        m_apps = InstalledApps::GetInstance();
        m_apps->PreAnalyze();
    }
    ~Installed() override { InstalledApps::DeleteInstance(); }
    std::string Lib(const char* name) const { return platform::FromHostPath(m_dir.File(name)); }
    std::vector<std::string> Programs() const {
        std::vector<std::string> names;
        m_apps->GetProgramsList(names);
        return names;
    }
    std::vector<std::string> Exes(const std::string& program) const {
        std::vector<std::string> exes;
        m_apps->GetEXEListForProgram(program, exes);
        return exes;
    }

    test::TempDir m_dir;
    InstalledApps* m_apps = nullptr;
};

TEST_F(Installed, IndexesExistingExecutablesUnderTheirDisplayNames) {
    std::string doubled = Lib("a.exe");
    for (std::size_t at = 0; (at = doubled.find('\\', at)) != std::string::npos; at += 2) doubled.insert(at, "\\");
    m_apps->AddProductInfo("  Editor  ", Lib("b.exe"));
    m_apps->AddProductInfo("Editor", doubled);                   // stored with single backslashes
    m_apps->AddProductInfo("Editor", Lib("b.exe"));              // twice: kept once
    m_apps->AddProductInfo("Microsoft Windows Media Player", Lib("wmplayer.exe"));
    m_apps->AddProductInfo("MICROSOFT (R) WINDOWS", Lib("tool.exe"));
    m_apps->AddProductInfo("", Lib("missing.exe"));              // not on disk: ignored
    m_apps->AddProductInfo("Editor", "");
    m_apps->PostAnalyze();
    EXPECT_EQ(Programs(), (std::vector<std::string>{"Editor", "tool", "wmplayer"}));
    EXPECT_EQ(Exes("Editor"), (std::vector<std::string>{Lib("a.exe"), Lib("b.exe")}));
    EXPECT_EQ(Exes("wmplayer"), std::vector<std::string>{Lib("wmplayer.exe")});
    EXPECT_TRUE(Exes("editor").empty());  // names compare byte for byte

    bool isNew = true;
    EXPECT_EQ(m_apps->GetProgramNameForEXE(Lib("a.exe"), false, isNew), "Editor");
    EXPECT_FALSE(isNew);
}

TEST_F(Installed, UnknownExecutablesAreNamedFromTheirFileAndAddedOnRequest) {
    bool isNew = true;
    // No version resource: the file name stands in for the product.
    EXPECT_EQ(m_apps->GetProgramNameForEXE(Lib("tool.exe"), false, isNew), "tool");
    EXPECT_FALSE(isNew);
    EXPECT_TRUE(Programs().empty());
    EXPECT_EQ(m_apps->GetProgramNameForEXE(Lib("tool.exe"), true, isNew), "tool");
    EXPECT_TRUE(isNew);
    EXPECT_EQ(Exes("tool"), std::vector<std::string>{Lib("tool.exe")});
    EXPECT_EQ(m_apps->GetProgramNameForEXE(Lib("tool.exe"), true, isNew), "tool");
    EXPECT_FALSE(isNew);  // found in the index this time
}

TEST_F(Installed, DeleteInstanceStartsAfresh) {
    m_apps->AddProductInfo("Editor", Lib("a.exe"));
    InstalledApps::DeleteInstance();
    m_apps = InstalledApps::GetInstance();
    EXPECT_TRUE(Programs().empty());
    m_apps->AddProductInfo("Editor", Lib("a.exe"));
    m_apps->PreAnalyze();
    EXPECT_TRUE(Programs().empty());
}

}  // namespace
}  // namespace vutil
