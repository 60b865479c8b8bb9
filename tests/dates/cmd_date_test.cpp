// The vutil date command, end to end.

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace vutil {
namespace {

std::string RunDate(const std::string& args, int* status = nullptr) {
    std::string out;
    const int rc = test::RunCommand(std::string(VUTIL_CLI_PATH) + " date " + args + " 2>/dev/null", &out);
    if (status) *status = rc;
    return out;
}

TEST(DateCommand, Info) {
    EXPECT_EQ(RunDate("info 2000 1 1"),
              "date: 2000-01-01\nday number: 730122\nweekday: 7 (Saturday)\nday of year: 1\nleap year: yes\n");
    int status = 0;
    EXPECT_EQ(RunDate("info 2023 2 29", &status), "not a valid date\n");
    EXPECT_EQ(status, 1);
    RunDate("info 2023 2", &status);
    EXPECT_EQ(status, 2);
}

TEST(DateCommand, Rule) {
    EXPECT_EQ(RunDate("rule 7 2 5 2025"), "date: 2025-05-26\nday number: 739399\nweekday: 2 (Monday)\n");
    int status = 0;
    EXPECT_EQ(RunDate("rule 5 1 2 2025", &status), "no such date\n");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(RunDate("rule 2 9 3 2025", &status), "not a valid rule\n");
    EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace vutil
