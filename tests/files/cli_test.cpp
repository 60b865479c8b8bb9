// The ls, dirs, du and sort --paths commands of the vutil program.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/test_support.h"

namespace vutil {
namespace {

int Cli(const std::string& args, std::string* out = nullptr) {
    return test::RunCommand(std::string(VUTIL_CLI_PATH) + " " + args + " 2>/dev/null", out);
}

TEST(FilesCli, ListsFiltersAndExitCodes) {
    test::TempDir tmp;
    std::filesystem::create_directories(tmp.path() / "site" / "img");
    for (const char* f : {"site/index.html", "site/a.htm", "site/img/logo.png", "site/.secret.htm"})
        std::ofstream(tmp.path() / f) << "12345";
    const std::string dir = "'" + (tmp.path() / "site").string() + "'";
    std::string out;
    ASSERT_EQ(Cli("ls " + dir + " --recursive --include '*.htm;*.html'", &out), 0);
    EXPECT_NE(out.find("\\a.htm\n"), std::string::npos);
    EXPECT_NE(out.find("\\index.html\n"), std::string::npos);
    EXPECT_EQ(out.find("logo.png"), std::string::npos);
    EXPECT_EQ(out.find(".secret"), std::string::npos);
    ASSERT_EQ(Cli("ls " + dir + " -r --hidden --exclude '*.html'", &out), 0);
    EXPECT_NE(out.find(".secret.htm"), std::string::npos);
    EXPECT_EQ(out.find("index.html"), std::string::npos);
    ASSERT_EQ(Cli("dirs " + dir, &out), 0);
    EXPECT_TRUE(out.ends_with("\\site\\img\\\n")) << out;
    ASSERT_EQ(Cli("du " + dir, &out), 0);
    EXPECT_NE(out.find("files: 4\ntotal: 20\nsmallest: 5\nlargest: 5\n"), std::string::npos) << out;

    EXPECT_EQ(Cli("ls"), 2);
    EXPECT_EQ(Cli("ls " + dir + " --bogus"), 2);
    EXPECT_EQ(Cli("ls " + dir + " --include"), 2);
    EXPECT_EQ(Cli("ls '" + (tmp.path() / "missing").string() + "'"), 1);
    EXPECT_EQ(Cli("du --help", &out), 0);
}

TEST(FilesCli, SortsPaths) {
    std::string out;
    ASSERT_EQ(test::RunCommand("printf 'D:\\\\z\\\\a.txt\\nD:\\\\b\\\\z.txt\\nD:\\\\b\\\\a.doc\\n' | " +
                                   std::string(VUTIL_CLI_PATH) + " sort --paths --by-name",
                               &out),
              0);
    EXPECT_EQ(out, "D:\\b\\a.doc\nD:\\z\\a.txt\nD:\\b\\z.txt\n");
    EXPECT_EQ(Cli("sort --by-name < /dev/null"), 2);
}

}  // namespace
}  // namespace vutil
