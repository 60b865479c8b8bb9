// Parsers of CNumberTextConv, the saturating runtime conversions, fractions and
// Roman numerals.

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>

#include "vutil/text/number_runtime.h"
#include "vutil/text/number_text_conv.h"

using namespace vutil;

namespace {

// ---- Saturating runtime conversions: glibc's strtoll (which saturates at 64 bits) is
// the oracle, clamped for the 32-bit forms.

std::int32_t Clamp32(long long v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<std::int32_t>(v); }

TEST(RuntimeNumbers, AgreeWithTheCRuntime) {
    std::mt19937 rng(12345);
    const std::string alphabet = " \t+-0123456789xXaFg\n";
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int len = static_cast<int>(rng() % 24);
        for (int k = 0; k < len; ++k) text += alphabet[rng() % alphabet.size()];
        EXPECT_EQ(vutil::RuntimeAtoi64(text), std::strtoll(text.c_str(), nullptr, 10)) << text;
        EXPECT_EQ(vutil::RuntimeAtoi(text), Clamp32(std::strtoll(text.c_str(), nullptr, 10))) << text;
        char* end = nullptr;
        const long long base0 = std::strtoll(text.c_str(), &end, 0);
        std::size_t used = 99;
        EXPECT_EQ(vutil::RuntimeStrtol(text, 0, &used), Clamp32(base0)) << text;
#ifndef _WIN32
        // Windows' strtoll takes nothing of a "0x" without a digit where glibc takes the
        // "0": only glibc is the oracle for the length.
        EXPECT_EQ(used, static_cast<std::size_t>(end - text.c_str())) << text;
#endif
    }
}

TEST(RuntimeNumbers, Limits) {
    EXPECT_EQ(vutil::RuntimeAtoi("2147483647"), INT_MAX);
    EXPECT_EQ(vutil::RuntimeAtoi("2147483648"), INT_MAX);
    EXPECT_EQ(vutil::RuntimeAtoi("-2147483648"), INT_MIN);
    EXPECT_EQ(vutil::RuntimeAtoi("-2147483649"), INT_MIN);
    EXPECT_EQ(vutil::RuntimeAtoi(std::string(10000, '9')), INT_MAX);
    EXPECT_EQ(vutil::RuntimeAtoi64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(vutil::RuntimeAtoi64("9223372036854775808"), INT64_MAX);
    EXPECT_EQ(vutil::RuntimeAtoi64("-" + std::string(10000, '7')), INT64_MIN);
    EXPECT_EQ(vutil::RuntimeAtoi(std::string("12\0" "34", 5)), 12);  // stops at NUL
    EXPECT_EQ(vutil::RuntimeStrtol("zz", 36), 36 * 35 + 35);
    EXPECT_EQ(vutil::RuntimeStrtol("12", 1), 0);
}

TEST(GetNumberFromString, RemovesGroupSeparators) {
    EXPECT_EQ(CNumberTextConv::GetNumberFromString("1,234"), 1234);
    EXPECT_EQ(CNumberTextConv::GetNumberFromString("  -42abc"), -42);
    EXPECT_EQ(CNumberTextConv::GetNumberFromString("1,2,3"), 123);
    EXPECT_EQ(CNumberTextConv::GetNumberFromString(",-5"), -5);
    EXPECT_EQ(CNumberTextConv::GetNumberFromString("3,000,000,000"), INT_MAX);
    EXPECT_EQ(CNumberTextConv::GetNumberFromString("-3,000,000,000"), INT_MIN);
    EXPECT_EQ(CNumberTextConv::GetNumberFromString("abc"), 0);
    EXPECT_EQ(CNumberTextConv::GetNumberFromString(""), 0);
    EXPECT_EQ(CNumberTextConv::GetNumberFromString("12.9"), 12);
    EXPECT_EQ(CNumberTextConv::GetNumber64FromString("12,345,678,901"), 12345678901LL);
    EXPECT_EQ(CNumberTextConv::GetNumber64FromString("-9,223,372,036,854,775,809"), INT64_MIN);
}

TEST(GetDoubleFromString, Tolerant) {
    const struct {
        const char* text;
        bool parentheses;
        double value;
    } cases[] = {
        {"1,234.5", false, 1234.5}, {"(12)", true, -12},   {"(12)", false, 12},  {"abc", false, 0},
        {"12abc", false, 12},       {"-.5", false, -0.5},   {"$ 1,234.56", false, 1234.56},
        {"12-3", false, 12},        {"1.2.3", false, 1.5},  // a second separator restarts the tenths
        {"a-b7", false, -7},        {"", false, 0},         {".", false, 0},      {"0.125", false, 0.125},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(CNumberTextConv::GetDoubleFromString(c.text, c.parentheses), c.value) << c.text;
    EXPECT_TRUE(std::isinf(CNumberTextConv::GetDoubleFromString(CString(std::string(400, '9')), false)));
}

TEST(ParseNumber, FormatAroundTheDigits) {
    bool isRoman = true;
    CString format = "stale";
    EXPECT_EQ(CNumberTextConv::ParseNumber("Chapter 12a", isRoman, format, false), 12);
    EXPECT_FALSE(isRoman);
    EXPECT_EQ(format, "Chapter %da");
    EXPECT_EQ(CNumberTextConv::ParseNumber("a1b2", isRoman, format, false), 1);
    EXPECT_EQ(format, "a%db2");
    EXPECT_EQ(CNumberTextConv::ParseNumber("bug", isRoman, format, true), 0);
    EXPECT_EQ(format, "bug");
    EXPECT_EQ(CNumberTextConv::ParseNumber("   ", isRoman, format, false), 0);
    EXPECT_EQ(format, "");
    EXPECT_EQ(CNumberTextConv::ParseNumber("XIV", isRoman, format, true), 14);
    EXPECT_TRUE(isRoman);
    EXPECT_EQ(format, "");
    EXPECT_EQ(CNumberTextConv::ParseNumber("XIV 3", isRoman, format, false), 3);
    EXPECT_FALSE(isRoman);
    EXPECT_EQ(CNumberTextConv::ParseNumber("IIIII 5", isRoman, format, true), 5);  // not a numeral
    EXPECT_FALSE(isRoman);
    EXPECT_EQ(CNumberTextConv::ParseNumber("v" + CString(std::string(50, '9')), isRoman, format, false), INT_MAX);
}

TEST(ParseFirstAndLastDigits, Runs) {
    const struct {
        const char* text;
        double first, last;
        const char* middle;
    } cases[] = {
        {"12abc34", 12, 34, "abc"}, {"123", 123, 123, ""},         {"abc", 0, 0, "abc"},
        {"1.5 to 2.5", 1.5, 2.5, " to "}, {"1,000x", 1000, 0, "x"}, {"", 0, 0, ""},
        {"x9", 0, 9, "x"},
    };
    for (const auto& c : cases) {
        double first = -1, last = -1;
        CString middle = "stale";
        CNumberTextConv::ParseFirstAndLastDigits(c.text, first, last, middle);
        EXPECT_DOUBLE_EQ(first, c.first) << c.text;
        EXPECT_DOUBLE_EQ(last, c.last) << c.text;
        EXPECT_EQ(middle, c.middle) << c.text;
    }
}

// ---- Fractions ----

TEST(Fractions, ToText) {
    const struct {
        double v;
        const char* text;
    } cases[] = {
        {0.333333, "1/3"}, {2.25, "2 1/4"}, {-1.5, "-1 1/2"}, {0.0005, "0"}, {4.0, "4"},
        {0.9999999, "1"},  {-0.5, "1/2"},   {2.0005, "2"},    {-0.9999999, "-1"}, {1e20, "100000000000000000000"},
    };
    for (const auto& c : cases) EXPECT_EQ(CNumberTextConv::DoubleToFraction(c.v), c.text) << c.v;
    EXPECT_EQ(CNumberTextConv::DoubleToFraction(NAN), "");
}

TEST(Fractions, FromText) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"3 1/2", 3.5}, {"12/5", 2.4}, {"1/0", 0},   {"-1 1/2", 1.5},  {"2.5", 2.5},   {"abc", 0},
        {"3 1 /2", 31}, {"1/2/3", 0.5}, {"/4", 0},   {"7/", 0},        {"1/-2", -0.5}, {"1 2 3/4", 12.75},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(CNumberTextConv::FractionToDouble(c.text), c.value) << c.text;
}

TEST(Fractions, RoundTripSimpleFractions) {
    for (int whole = 0; whole <= 3; ++whole) {
        for (int den = 2; den <= 16; ++den) {
            for (int num = 1; num < den; ++num) {
                if (std::gcd(num, den) != 1) continue;
                const double v = whole + static_cast<double>(num) / den;
                std::string expected = (whole ? std::to_string(whole) + " " : std::string()) + std::to_string(num) +
                                       "/" + std::to_string(den);
                const CString text = CNumberTextConv::DoubleToFraction(v);
                EXPECT_EQ(text, expected.c_str()) << v;
                EXPECT_NEAR(CNumberTextConv::FractionToDouble(text), v, 1e-12) << expected;
            }
        }
    }
}

// ---- Roman numerals ----

TEST(Roman, ToText) {
    EXPECT_EQ(CNumberTextConv::ConvertToRoman(0), "");
    EXPECT_EQ(CNumberTextConv::ConvertToRoman(-5), "");
    EXPECT_EQ(CNumberTextConv::ConvertToRoman(1994), "MCMXCIV");
    EXPECT_EQ(CNumberTextConv::ConvertToRoman(3999), "MMMCMXCIX");
    EXPECT_EQ(CNumberTextConv::ConvertToRoman(4000), "MMMM");
}

TEST(Roman, FromText) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"XIV", 14},   {"IIII", 4},   {"IIIII", -1}, {"VX", -1},   {"IL", -1},     {"XM", -1},
        {"", 0},       {"  ", 0},     {"IIV", -1},   {"XXL", -1},  {"CCM", -1},    {"LC", -1},
        {"x-i-v", 16}, {"hello", -1}, {"abc", 100},  {" M", -1},   {"VIIII", 9},   {"12", 0},
        {"VV", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(CNumberTextConv::ConvertFromRoman(c.text), c.value) << c.text;
    // A long run of M saturates instead of overflowing.
    EXPECT_EQ(CNumberTextConv::ConvertFromRoman(CString(std::string(3000000, 'M'))), INT_MAX);
}

TEST(Roman, RoundTrip) {
    for (int n = 1; n <= 4999; ++n) {
        const CString text = CNumberTextConv::ConvertToRoman(n);
        ASSERT_EQ(CNumberTextConv::ConvertFromRoman(text), n) << text.GetString();
        CString lower = text;
        lower.MakeLower();
        ASSERT_EQ(CNumberTextConv::ConvertFromRoman(lower), n) << lower.GetString();
    }
}

}  // namespace
