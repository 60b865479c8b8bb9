// The ls, dirs, du and sort --paths commands of the vutil program.

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace vutil {
namespace {

using test::RunCli;

TEST(FilesCli, ListsFiltersAndExitCodes) {
    test::TempDir tmp;
    for (const char* f : {"site/index.html", "site/a.htm", "site/img/logo.png", "site/.secret.htm"})
        test::WriteText(tmp.path() / f, "12345");
    const std::string dir = "'" + (tmp.path() / "site").string() + "'";
    std::string out;
    ASSERT_EQ(RunCli("ls " + dir + " --recursive --include '*.htm;*.html'", &out), 0);
    EXPECT_NE(out.find("\\a.htm\n"), std::string::npos);
    EXPECT_NE(out.find("\\index.html\n"), std::string::npos);
    EXPECT_EQ(out.find("logo.png"), std::string::npos);
    EXPECT_EQ(out.find(".secret"), std::string::npos);
    ASSERT_EQ(RunCli("ls " + dir + " -r --hidden --exclude '*.html'", &out), 0);
    EXPECT_NE(out.find(".secret.htm"), std::string::npos);
    EXPECT_EQ(out.find("index.html"), std::string::npos);
    ASSERT_EQ(RunCli("dirs " + dir, &out), 0);
    EXPECT_TRUE(out.ends_with("\\site\\img\\\n")) << out;
    ASSERT_EQ(RunCli("du " + dir, &out), 0);
    EXPECT_NE(out.find("files: 4\ntotal: 20\nsmallest: 5\nlargest: 5\n"), std::string::npos) << out;

    EXPECT_EQ(RunCli("ls"), 2);
    EXPECT_EQ(RunCli("ls " + dir + " --bogus"), 2);
    EXPECT_EQ(RunCli("ls " + dir + " --include"), 2);
    EXPECT_EQ(RunCli("ls '" + (tmp.path() / "missing").string() + "'"), 1);
}

TEST(FilesCli, SortsPaths) {
    std::string out;
    // Piped: under Wine a redirection from a file is read by the Linux side's shell.
    ASSERT_EQ(test::RunCommand("printf 'D:\\\\z\\\\a.txt\\nD:\\\\b\\\\z.txt\\nD:\\\\b\\\\a.doc\\n' | '" +
                                   std::string(VUTIL_CLI_PATH) + "' sort --paths --by-name",
                               &out),
              0);
    EXPECT_EQ(out, "D:\\b\\a.doc\nD:\\z\\a.txt\nD:\\b\\z.txt\n");
    EXPECT_EQ(RunCli("sort --by-name < /dev/null"), 2);
}

}  // namespace
}  // namespace vutil
