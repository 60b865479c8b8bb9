// The match and readability subcommands of the vutil program.

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

std::string Cli(const std::string& args, int* status = nullptr) {
    std::string out;
    int rc = vutil::test::RunCommand(std::string(VUTIL_CLI_PATH) + " " + args + " 2>&1", &out);
    if (status) *status = rc;
    return out;
}

TEST(Cli, MatchPrintsMatchingTexts) {
    int rc = -1;
    EXPECT_EQ(Cli("match '*.TXT' report.txt notes.TXT image.png", &rc), "report.txt\nnotes.TXT\n");
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(Cli("match --case '*.TXT' report.txt notes.TXT", &rc), "notes.TXT\n");
    EXPECT_EQ(Cli("match 'a*b*c' abc", &rc), "");
    EXPECT_EQ(rc, 1);  // nothing matched
    Cli("match onlyspec", &rc);
    EXPECT_EQ(rc, 2);
}

TEST(Cli, ReadabilityOfAFile) {
    vutil::test::TempDir dir;
    vutil::test::WriteFileBytes(dir.File("page.txt"),
                                "\xEF\xBB\xBFThe cat sat on the mat.\r\n\r\n"
                                "Unquestionably, organizational communication requires interpretation.\n");
    int rc = -1;
    EXPECT_EQ(Cli("readability " + dir.File("page.txt"), &rc),
              "words: 12\nsentences: 2\nsyllables: 27\nreading ease: 10.40\ngrade level: 13\n");
    EXPECT_EQ(rc, 0);
    Cli("readability " + dir.File("missing.txt"), &rc);
    EXPECT_EQ(rc, 1);  // a failure of the system, not of the arguments
}

}  // namespace
