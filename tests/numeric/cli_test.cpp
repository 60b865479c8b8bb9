// vutil prime, stats and random, run as a program.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace vutil {
namespace {

// A console program's lines end as the platform ends them; the content is what counts.
int RunText(const std::string& command, std::string* out) {
    const int code = test::RunCommand(command, out);
    if (out)
        for (std::size_t at; (at = out->find("\r\n")) != std::string::npos;) out->erase(at, 1);
    return code;
}

int Cli(const std::string& args, std::string* out = nullptr) {
    return RunText(std::string(VUTIL_CLI_PATH) + " " + args + " 2>/dev/null", out);
}

TEST(NumericCliTest, PrimeNext) {
    std::string out;
    EXPECT_EQ(Cli("prime next 90", &out), 0);
    EXPECT_EQ(out, "97\n");
    EXPECT_EQ(Cli("prime next 4294967292", &out), 0);
    EXPECT_EQ(out, "4294967292\n");
    for (const char* bad : {"prime", "prime next", "prime next -1", "prime next 4294967296", "prime last 3"})
        EXPECT_EQ(Cli(bad), 2) << bad;
}

TEST(NumericCliTest, StatsOfStandardInput) {
    std::string out;
    EXPECT_EQ(RunText("printf '2 4\\n4 4 5\\n\\n5 7 9' | " + std::string(VUTIL_CLI_PATH) + " stats", &out), 0);
    EXPECT_EQ(out,
              "count: 8\nsum: 40\nmean: 5\nmedian: 5\nstandard deviation: 2.1380899352994\n"
              "mode: 4 (3 times)\nminimum: 2\nmaximum: 9\n");
    EXPECT_EQ(RunText("printf '1 2\\n3 x' | " + std::string(VUTIL_CLI_PATH) + " stats 2>&1", &out), 1);
    EXPECT_NE(out.find("line 2: 'x' is not a number"), std::string::npos) << out;
    EXPECT_EQ(Cli("stats --trim 101 </dev/null"), 2);
}

TEST(NumericCliTest, RandomOrderingAndCount) {
    std::string out;
    ASSERT_EQ(Cli("random --count 3 --permutation 50", &out), 0);
    std::istringstream in(out);
    std::vector<unsigned long long> values;
    for (unsigned long long v; in >> v;) values.push_back(v);
    ASSERT_EQ(values.size(), 53u);
    std::vector<unsigned long long> order(values.begin() + 3, values.end()), expected(50);
    std::sort(order.begin(), order.end());
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(order, expected);
    for (const char* bad : {"random --count", "random --count x", "random --permutation 1", "random --seed 4"})
        EXPECT_EQ(Cli(bad), 2) << bad;
}

}  // namespace
}  // namespace vutil
