// vutil open, assoc, browser and clip as a user runs them.

#include <gtest/gtest.h>

#include "desktop_env.h"

namespace vutil {
namespace {

using test::RunCli;

TEST(Cli, BadUsageAndFailuresHaveTheirExitCodes) {
    test::TempDir dir;
    test::ScopedEnv noOpen("VUTIL_NO_OPEN", "1");
    struct Case {
        std::string args;
        int code;
    } cases[] = {
        {"clip", 2}, {"clip cut", 2}, {"clip paste extra", 2}, {"clip copy --files", 2},
        {"assoc txt", 2}, {"assoc", 2}, {"assoc .a .b", 2}, {"open", 2}, {"open --verb fly x", 2},
        {"browser extra", 2},
    };
    for (const auto& c : cases) EXPECT_EQ(RunCli(c.args + " >/dev/null"), c.code) << c.args;
    std::string err;
    EXPECT_EQ(RunCli("open '" + dir.File("missing.txt") + "'", &err, " 2>&1"), 1);
    EXPECT_NE(err.find("missing.txt"), std::string::npos) << err;
}

}  // namespace
}  // namespace vutil
