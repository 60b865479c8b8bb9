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

#ifdef _WIN32
constexpr const char* kNull = "NUL";
#else
constexpr const char* kNull = "/dev/null";
#endif

// Lines end as the platform's console programs end them; the content is what counts.
void DropCarriageReturns(std::string* out) {
    if (!out) return;
    std::string text;
    for (std::size_t i = 0; i < out->size(); ++i)
        if ((*out)[i] != '\r' || i + 1 >= out->size() || (*out)[i + 1] != '\n') text += (*out)[i];
    *out = text;
}

int Cli(const std::string& args, std::string* out = nullptr) {
    const int code = test::RunCommand(std::string(VUTIL_CLI_PATH) + " " + args + " 2>" + kNull, out);
    DropCarriageReturns(out);
    return code;
}

// The program reading the text on its standard input (a file, so any shell will do).
int CliWithInput(const test::TempDir& dir, const std::string& input, const std::string& args, std::string* out) {
    test::WriteFileBytes(dir.File("input.txt"), input);
    const int code = test::RunCommand(std::string(VUTIL_CLI_PATH) + " " + args + " <\"" + dir.File("input.txt") + "\"", out);
    DropCarriageReturns(out);
    return code;
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
    test::TempDir dir;
    std::string out;
    EXPECT_EQ(CliWithInput(dir, "2 4\n4 4 5\n\n5 7 9", "stats", &out), 0);
    EXPECT_EQ(out,
              "count: 8\nsum: 40\nmean: 5\nmedian: 5\nstandard deviation: 2.1380899352994\n"
              "mode: 4 (3 times)\nminimum: 2\nmaximum: 9\n");
    EXPECT_EQ(CliWithInput(dir, "1 2\n3 x", "stats 2>&1", &out), 1);
    EXPECT_NE(out.find("line 2: 'x' is not a number"), std::string::npos) << out;
    EXPECT_EQ(Cli(std::string("stats --trim 101 <") + kNull), 2);
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
