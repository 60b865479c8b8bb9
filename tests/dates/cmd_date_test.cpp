// The vutil date command, end to end.

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace vutil {
namespace {

TEST(DateCommand, InfoAndRule) {
    const struct {
        const char* args;
        int status;
        const char* output;
    } cases[] = {
        {"info 2000 1 1", 0,
         "date: 2000-01-01\nday number: 730122\nweekday: 7 (Saturday)\nday of year: 1\nleap year: yes\n"},
        {"info 2023 2 29", 1, "not a valid date\n"},
        {"info 2023 2", 2, ""},
        {"rule 7 2 5 2025", 0, "date: 2025-05-26\nday number: 739399\nweekday: 2 (Monday)\n"},
        {"rule 5 1 2 2025", 1, "no such date\n"},
        {"rule 2 9 3 2025", 1, "not a valid rule\n"},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(test::RunCli(std::string("date ") + c.args, &out), c.status) << c.args;
        EXPECT_EQ(out, c.output) << c.args;
    }
}

}  // namespace
}  // namespace vutil
