// The match and readability subcommands of the vutil program, and how every
// subcommand reports bad arguments and failures.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"
#include "vutil/platform/error.h"

namespace {

using vutil::test::RunCli;

TEST(Cli, MatchPrintsMatchingTexts) {
    const struct {
        const char* args;
        int status;  // 1: nothing matched
        const char* output;
    } cases[] = {{"'*.TXT' report.txt notes.TXT image.png", 0, "report.txt\nnotes.TXT\n"},
                 {"--case '*.TXT' report.txt notes.TXT", 0, "notes.TXT\n"},
                 {"'a*b*c' abc", 1, ""},
                 {"onlyspec", 2, ""}};
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(RunCli(std::string("match ") + c.args, &out), c.status) << c.args;
        EXPECT_EQ(out, c.output) << c.args;
    }
}

struct BadRun {
    std::string args;
    int status;
    const char* message;  // a part of what standard error must say
    const char* env = "";
    const char* output = "/dev/null";  // where standard output goes
};

class CliFailures : public testing::TestWithParam<BadRun> {};

// Bad arguments exit 2 and failures of the system 1, each with a message on standard
// error that names the problem, and nothing on standard output.
TEST_P(CliFailures, ExitCodeAndMessage) {
    const BadRun& c = GetParam();
#ifdef _WIN32
    if (*c.env) GTEST_SKIP() << "the registry is the system's: there is no settings file to break";
#endif
    vutil::test::TempDir dir;
    std::filesystem::create_directory(dir.File("folder"));
    auto expand = [&](std::string text) {
        for (std::size_t at; (at = text.find("@DIR")) != std::string::npos;) text.replace(at, 4, dir.path().string());
        return text;
    };
    const std::string env = expand(c.env);
    const std::string command = (env.empty() ? "" : env + " ") + VUTIL_CLI_PATH + " " + expand(c.args);
    std::string err, out;
    const int rc = vutil::test::RunCommand(command + " 2>&1 >" + c.output, &err);
    EXPECT_EQ(rc, c.status) << c.args;
    EXPECT_NE(err.find(c.message), std::string::npos) << c.args << ": " << err;
    EXPECT_EQ(err.rfind("vutil", 0), 0u) << err;
    if (std::string(c.output) == "/dev/null") {
        vutil::test::RunCommand(command + " 2>/dev/null", &out);
        EXPECT_EQ(out, "") << c.args;
    }
}

// A key path of the given depth below the root.
std::string DeepKey(int depth) {
    std::string key = "'HKCU";
    for (int i = 0; i < depth; ++i) key += "\\k";
    return key + "'";
}

// The system's own words for a missing file.
#ifdef _WIN32
const std::string kMissingFile = vutil::platform::GetErrorMessage(vutil::platform::kErrorFileNotFound);
#else
const std::string kMissingFile = "No such file";
#endif

INSTANTIATE_TEST_SUITE_P(
    Commands, CliFailures,
    testing::Values(
        BadRun{"number group --digits 100000 1.5", 2, "--digits 100000"}, BadRun{"number group nan", 2, "'nan'"},
        BadRun{"number bytes 18446744073709551615", 2, "'18446744073709551615'"},
        BadRun{"number fraction inf", 2, "'inf'"}, BadRun{"number roman 0", 2, "'0'"},
        BadRun{"number roman IV", 2, "'IV'"},
        BadRun{"archive dump", 2, "no file"}, BadRun{"archive dump --as", 2, "--as"},
        BadRun{"archive dump @DIR/none.bin --as nothing", 2, "'nothing'"},
        BadRun{"archive dump @DIR/none.bin", 1, kMissingFile.c_str()},
        BadRun{"archive dump @DIR/folder", 1, "cannot open"},
        BadRun{"readability @DIR/none.txt", 1, kMissingFile.c_str()},
        BadRun{"reg set HKCU name value", 2, "key"}, BadRun{"reg set 'HKCU\\a\\\\b' name value", 2, "empty part"},
        BadRun{"reg set " + DeepKey(512) + " name value", 2, "512"},
        BadRun{"reg get 'HKCU\\a' name", 1, "cannot read", "VUTIL_REGISTRY=@DIR/folder"},
        BadRun{"reg set 'HKCU\\a' name value", 1, "cannot write", "VUTIL_REGISTRY=@DIR/folder"},
        BadRun{"bogus", 2, "'bogus'"}, BadRun{"locale", 1, "cannot write the output", "", "/dev/full"}));

TEST(Cli, EveryCommandHasHelp) {
    for (const char* name : {"archive", "assoc", "attr", "bin", "browser", "clip", "cp", "date", "dirs", "drives", "du",
                             "html", "icons", "links", "lnk", "locale", "log", "ls", "match", "mv", "number", "open",
                             "prime", "random", "readability", "reg", "rm", "sort", "stats", "text", "unzip", "url",
                             "zip"}) {
        std::string out;
        EXPECT_EQ(RunCli(std::string(name) + " --help", &out), 0) << name;
        EXPECT_EQ(out.rfind(std::string("usage: vutil ") + name, 0), 0u) << out;
    }
}

}  // namespace
