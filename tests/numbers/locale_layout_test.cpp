// Number and currency text in several regional settings, end to end through the vutil
// program, each case with its own VUTIL_LOCALE.

#include <gtest/gtest.h>

#include "vutil/platform/codepage.h"

#include <string>

#include "support/test_support.h"

namespace {

struct LayoutCase {
    const char* locale;
    const char* args;
    const char* expected;
};

class LocaleLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LocaleLayout, CommandOutput) {
    const LayoutCase& c = GetParam();
    std::string out;
    const std::string command = std::string("VUTIL_LOCALE=") + c.locale + " '" + VUTIL_CLI_PATH + "' number " + c.args;
    ASSERT_EQ(vutil::test::RunCommand(command, &out), 0) << command;
    // The program prints library text (Windows-1252) as UTF-8.
    EXPECT_EQ(out, vutil::platform::cp::Cp1252ToUtf8(c.expected) + "\n") << command;
}

const LayoutCase kLayouts[] = {
    // English (United States): "3;0", negative number order 1, currency orders 0 / 0.
    LayoutCase{"en-US", "group -1234567", "-1,234,567"},
#ifndef _WIN32
    // English (United Kingdom): pound sign, negative currency order 1.
    LayoutCase{"en-GB", "group -1234.5 --currency", "-\xA3" "1,234.50"},
#else
    // The system's English (United Kingdom): negative currency order 0, "($1.1)".
    LayoutCase{"en-GB", "group -1234.5 --currency", "(\xA3" "1,234.50)"},
#endif
    // German (Germany): swapped separators and "-1,1 €" (the positive form is the locale suite's).
    LayoutCase{"de-DE", "group -1234.5 --currency", "-1.234,50 \x80"},
    LayoutCase{"de-DE", "bytes 1048575", "1.023,99 KB"},
    LayoutCase{"de-DE", "fromfraction 1.234,5", "1234.5"},
    // Colours read either form and print both.
    LayoutCase{"en-US", "colour 'rgb(255, 128, 0)'", "#FF8000\nRGB(255, 128,   0)"},
    LayoutCase{"en-US", "colour 0x0080ff", "#FF8000\nRGB(255, 128,   0)"},
#ifndef _WIN32
    // English (India): "3;2;0" and currency order 12 ("$ -1.1").
    LayoutCase{"en-IN", "group -1234567.5 --currency", "Rs. -12,34,567.50"}
#else
    // The system's English (India): currency grouping "3;0", order 0, and a rupee
    // sign Windows-1252 lacks.
    LayoutCase{"en-IN", "group -1234567.5 --currency", "(?1,234,567.50)"}
#endif
};
INSTANTIATE_TEST_SUITE_P(Locales, LocaleLayout, ::testing::ValuesIn(kLayouts));

TEST(NumberCommand, BadNumbersFail) {
    EXPECT_NE(vutil::test::RunCli("number bytes -5"), 0);
    EXPECT_NE(vutil::test::RunCli("number colour 'rgb(1,2)'"), 0);
}

}  // namespace
