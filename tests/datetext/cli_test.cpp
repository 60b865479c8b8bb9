// vutil date parse / fuzzy / duration end to end: one case per form of output; the
// parsers and formatters themselves are held by the in-process suites.

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "vutil/platform/codepage.h"

namespace vutil {
namespace {

struct CliCase {
    const char* locale;
    const char* arguments;
    int status;
    const char* output;
};

std::ostream& operator<<(std::ostream& os, const CliCase& c) {
    return os << "[" << c.locale << "] " << c.arguments;
}

class DateCli : public ::testing::TestWithParam<CliCase> {};

TEST_P(DateCli, Prints) {
    const CliCase& c = GetParam();
    test::TempDir dir;
    std::string out;
    const std::string command = std::string("TZ=UTC0 VUTIL_LOCALE=") + c.locale + " " + VUTIL_CLI_PATH + " date " +
                                c.arguments + " 2>&1";
    EXPECT_EQ(test::RunCommand(command, &out), c.status);
    EXPECT_EQ(out, platform::cp::Cp1252ToUtf8(c.output));  // the program prints UTF-8
}

const CliCase kCases[] = {
    {"en-US", "parse --now 1741965600 '3/5/2024 10:30'", 0,
     "understood as: date and time\ndate: 2024-03-05 (Tuesday)\ntime: 10:30:00\ndisplay: 3/5/2024 10:30:00 AM\n"},
    {"en-US", "parse '25:00'", 1, "not understood\n"},
    {"de-DE", "parse --now 1741965600 'second dienstag of m\xE4rz'", 0,
     "understood as: date\ndate: none\ntime: none\ndisplay: \n"},
    {"en-US", "fuzzy --now 1741965600 -5400", 0,
     "text: 1\xBD hours ago\nwith day words: yesterday\nclock: 1:30:00\n"},
    // The German thousands separator is skipped inside a number: 1.5 reads as 15.
    {"de-DE", "duration '1.5h'", 0, "seconds: 54000\nh:mm:ss: 15:00:00\nleading number as hours: 54000\n"},
    {"en-US", "duration abc", 1, "not a duration\n"},
    {"en-US", "parse", 2, "vutil date parse: expected [--now <seconds>] \"<text>\"\n"},
};
INSTANTIATE_TEST_SUITE_P(Actions, DateCli, ::testing::ValuesIn(kCases));

}  // namespace
}  // namespace vutil
