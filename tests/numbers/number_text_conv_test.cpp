// CNumberTextConv in the English (United States) settings the test run pins.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

#include "vutil/text/number_text_conv.h"

using namespace vutil;

namespace {

TEST(NumberToString, PlainGroupedAndPadded) {
    EXPECT_EQ(CNumberTextConv::NumberToString(5, false, 3, "0"), "005");
    EXPECT_EQ(CNumberTextConv::NumberToString(1234567, true, 0, ""), "1,234,567");
    EXPECT_EQ(CNumberTextConv::NumberToString(1234567, false, 0, ""), "1234567");
    EXPECT_EQ(CNumberTextConv::NumberToString(5, false, 10, ""), "5");  // empty pad never pads
    EXPECT_EQ(CNumberTextConv::NumberToString(7, false, 5, "ab"), "abab7");  // whole copies of the pad
    EXPECT_EQ(CNumberTextConv::NumberToString(INT_MIN, true, 0, ""), "-2,147,483,648");
    EXPECT_EQ(CNumberTextConv::NumberToString(INT_MIN, false, 0, ""), "-2147483648");
    EXPECT_EQ(CNumberTextConv::NumberToString(0, true, 0, ""), "0");
    EXPECT_EQ(CNumberTextConv::NumberToString(-7, false, 4, "0"), "00-7");  // the pad knows no sign
    EXPECT_EQ(CNumberTextConv::NumberToString(std::uint64_t{0}), "0");
    EXPECT_EQ(CNumberTextConv::NumberToString(UINT64_MAX), "18,446,744,073,709,551,615");
}

TEST(DoubleToString, NumberAndCurrency) {
    EXPECT_EQ(CNumberTextConv::DoubleToString(1234.5, 2, false, 0, "", false), "1234.50");
    EXPECT_EQ(CNumberTextConv::DoubleToString(1234.5, -1, false, 0, "", true), "1,234.50");  // locale digits
    EXPECT_EQ(CNumberTextConv::DoubleToString(-1234.5, 0, false, 0, "", true), "-1,235");
    // "%f" first, then half up on its text: 2.675 is 2.67499999... in binary.
    EXPECT_EQ(CNumberTextConv::DoubleToString(2.675, 2, false, 0, "", true), "2.68");
    EXPECT_EQ(CNumberTextConv::DoubleToString(0.0000004, 6, false, 0, "", true), "0.000000");
    EXPECT_EQ(CNumberTextConv::DoubleToString(3.5, 1, false, 6, " ", true), "   3.5");
    EXPECT_EQ(CNumberTextConv::DoubleToString(1e6, 2, true, 0, "", true), "$1,000,000.00");
    EXPECT_EQ(CNumberTextConv::DoubleToString(1e6, 2, true, 0, "", false), "$1000000.00");
    EXPECT_EQ(CNumberTextConv::DoubleToString(-1234.5, -1, true, 0, "", true), "($1,234.50)");
    EXPECT_EQ(CNumberTextConv::DoubleToString(-0.0, 2, false, 0, "", true), "0.00");
    EXPECT_EQ(CNumberTextConv::DoubleToString(INFINITY, 2, false, 0, "", true), "");
    EXPECT_EQ(CNumberTextConv::DoubleToString(NAN, 2, true, 3, "*", true), "***");
    EXPECT_EQ(CNumberTextConv::DoubleToString(1.0, 10, false, 0, "", true), "");  // beyond nine digits
    const CString huge = CNumberTextConv::DoubleToString(-1.7976931348623157e308, 2, false, 0, "", true);
    EXPECT_EQ(huge.Left(8), "-179,769");
    EXPECT_EQ(huge.Right(3), ".00");
    EXPECT_EQ(huge.GetLength(), 1 + 309 + 102 + 3);
}

TEST(RemoveDecimalZeroes, Cases) {
    const char* cases[][2] = {{"2.500", "2.5"}, {"3.000", "3"}, {"100", "100"}, {"10.0", "10"},
                              {"", ""},         {"1.05", "1.05"}, {"abc.", "abc"}};
    for (const auto& c : cases) {
        CString text = c[0];
        CNumberTextConv::RemoveDecimalZeroes(text);
        EXPECT_EQ(text, c[1]) << c[0];
    }
}

TEST(ConvertToBytes, Units) {
    const struct {
        std::uint64_t n;
        const char* text;
    } cases[] = {
        {0, "0 bytes"},
        {1, "1 byte"},
        {1023, "1,023 bytes"},
        {1536, "1.50 KB"},
        {1048576, "1.00 MB"},
        {1099511627776ull * 5 / 2, "2.50 TB"},
        {(std::uint64_t{1} << 60) - 1, "1,023.99 PB"},  // truncated, not rounded
        {std::uint64_t{1} << 60, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CNumberTextConv::ConvertToBytes(c.n), c.text) << c.n;
}

TEST(Colours, Text) {
    const unsigned long orange = 0x0080FF;  // red 255, green 128, blue 0
    EXPECT_EQ(CNumberTextConv::ConvertCOLORREFToHexString(0x010203), "#030201");
    EXPECT_EQ(CNumberTextConv::ConvertCOLORREFToHexString(0xFF000000), "#000000");  // high byte ignored
    EXPECT_EQ(CNumberTextConv::ConvertCOLORREFToRGBString(orange), "RGB(255, 128,   0)");
    bool ok = false;
    EXPECT_EQ(CNumberTextConv::ConvertRGBStringToCOLORREF("rGb(1,2,3)", ok), 0x030201ul);
    EXPECT_TRUE(ok);
    EXPECT_EQ(CNumberTextConv::ConvertRGBStringToCOLORREF("rgb(300, -2, x7y)", ok), 0x07022Cul);  // low bytes, signs dropped
    EXPECT_TRUE(ok);
    for (const char* bad : {"rgb(1,2)", "rgb(1 2 3)", "rgx(1,2,3)", "rgb", "", " rgb(1,2,3)", "(1,2,3)"}) {
        ok = true;
        EXPECT_EQ(CNumberTextConv::ConvertRGBStringToCOLORREF(bad, ok), 0ul) << bad;
        EXPECT_FALSE(ok) << bad;
    }
}

TEST(Colours, RoundTrip) {
    for (unsigned long c = 0; c < 0x1000000; c += 0x010305) {
        bool ok = false;
        EXPECT_EQ(CNumberTextConv::ConvertRGBStringToCOLORREF(CNumberTextConv::ConvertCOLORREFToRGBString(c), ok), c);
        EXPECT_TRUE(ok);
    }
}

TEST(ConvertFromHex, Cases) {
    EXPECT_EQ(CNumberTextConv::ConvertFromHex("0x1F"), 31);
    EXPECT_EQ(CNumberTextConv::ConvertFromHex("0X1F"), 0);
    EXPECT_EQ(CNumberTextConv::ConvertFromHex("1F"), 0);
    EXPECT_EQ(CNumberTextConv::ConvertFromHex("0x"), 0);
    EXPECT_EQ(CNumberTextConv::ConvertFromHex("0xg"), 0);
    EXPECT_EQ(CNumberTextConv::ConvertFromHex("0x10 and more"), 16);
    EXPECT_EQ(CNumberTextConv::ConvertFromHex("0x7fffffff"), 2147483647);
    EXPECT_EQ(CNumberTextConv::ConvertFromHex("0xFFFFFFFF"), 2147483647);  // saturates at 32 bits
    EXPECT_EQ(CNumberTextConv::ConvertFromHex("0x123456789abcdef0123"), 2147483647);
}

TEST(IsNumber, Cases) {
    EXPECT_TRUE(CNumberTextConv::IsNumber(""));
    EXPECT_TRUE(CNumberTextConv::IsNumber("1,234.50"));
    EXPECT_TRUE(CNumberTextConv::IsNumber("$12"));
    EXPECT_FALSE(CNumberTextConv::IsNumber("-5"));
    EXPECT_FALSE(CNumberTextConv::IsNumber("12a"));
    EXPECT_FALSE(CNumberTextConv::IsNumber("1 000"));
    EXPECT_FALSE(CNumberTextConv::IsNumber(CString("1\0" "2", 3)));
}

}  // namespace
