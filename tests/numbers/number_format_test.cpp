// The number and currency formatters against hand-worked layouts: every negative
// number order, every positive and negative currency order, the grouping texts and
// numbers, rounding on the text and the leading-zero flag.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "vutil/text/number_format.h"

using namespace vutil;

namespace {

// The formatted text, or "<fail>" when the formatter refuses (leaving the output empty).
template <typename Spec>
std::string Formatted(bool (*format)(std::string_view, const Spec&, std::string&), const char* value, const Spec& spec) {
    std::string out = "stale";
    if (!format(value, spec, out)) {
        EXPECT_TRUE(out.empty());
        return "<fail>";
    }
    return out;
}

std::string Number(const char* value, const NumberFormatSpec& spec) { return Formatted(&vutil::FormatNumberText, value, spec); }
std::string Currency(const char* value, const CurrencyFormatSpec& spec) {
    return Formatted(&vutil::FormatCurrencyText, value, spec);
}

NumberFormatSpec English(unsigned digits) {
    NumberFormatSpec spec;
    spec.numDigits = digits;
    spec.grouping = DigitGrouping::FromText("3;0");
    return spec;
}

TEST(NumberFormat, NegativeNumberOrders) {
    const char* expected[5] = {"(1,234.50)", "-1,234.50", "- 1,234.50", "1,234.50-", "1,234.50 -"};
    for (unsigned order = 0; order < 5; ++order) {
        NumberFormatSpec spec = English(2);
        spec.negativeOrder = order;
        EXPECT_EQ(Number("-1234.5", spec), expected[order]) << "order " << order;
        EXPECT_EQ(Number("1234.5", spec), "1,234.50") << "order " << order;  // positive ignores it
    }
    NumberFormatSpec bad = English(2);
    bad.negativeOrder = 5;
    EXPECT_EQ(Number("1", bad), "<fail>");
}

TEST(NumberFormat, CurrencyOrders) {
    CurrencyFormatSpec spec;
    spec.numDigits = 2;
    spec.grouping = DigitGrouping::FromNumber(3);
    const char* positive[4] = {"$1,234.50", "1,234.50$", "$ 1,234.50", "1,234.50 $"};
    for (unsigned order = 0; order < 4; ++order) {
        spec.positiveOrder = order;
        EXPECT_EQ(Currency("1234.5", spec), positive[order]) << "positive order " << order;
    }
    spec.positiveOrder = 0;
    const char* negative[16] = {
        "($1,234.50)", "-$1,234.50", "$-1,234.50", "$1,234.50-",  "(1,234.50$)", "-1,234.50$",
        "1,234.50-$",  "1,234.50$-", "-1,234.50 $", "-$ 1,234.50", "1,234.50 $-", "$ 1,234.50-",
        "$ -1,234.50", "1,234.50- $", "($ 1,234.50)", "(1,234.50 $)",
    };
    for (unsigned order = 0; order < 16; ++order) {
        spec.negativeOrder = order;
        EXPECT_EQ(Currency("-1234.5", spec), negative[order]) << "negative order " << order;
    }
    spec.negativeOrder = 16;
    EXPECT_EQ(Currency("-1", spec), "<fail>");
    spec.negativeOrder = 0;
    spec.positiveOrder = 4;
    EXPECT_EQ(Currency("1", spec), "<fail>");
}

struct GroupingCase {
    const char* text;
    unsigned number;  // the same grouping as the settings' number form
    const char* value;
    const char* expected;
};

class Grouping : public ::testing::TestWithParam<GroupingCase> {};

TEST_P(Grouping, Text) {
    const GroupingCase& c = GetParam();
    NumberFormatSpec spec = English(0);
    spec.grouping = DigitGrouping::FromText(c.text);
    EXPECT_EQ(Number(c.value, spec), c.expected);
    spec.grouping = DigitGrouping::FromNumber(c.number);
    EXPECT_EQ(Number(c.value, spec), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Grouping,
    ::testing::Values(GroupingCase{"3;0", 3, "1234567890", "1,234,567,890"},
                      GroupingCase{"3;0", 3, "123", "123"}, GroupingCase{"3;0", 3, "1234", "1,234"},
                      GroupingCase{"3;0", 3, "123456", "123,456"},
                      GroupingCase{"3;2;0", 32, "1234567890", "1,23,45,67,890"},
                      GroupingCase{"3;2;0", 32, "12345", "12,345"},
                      GroupingCase{"3", 30, "1234567890", "1234567,890"},
                      GroupingCase{"3;2", 320, "1234567890", "12345,67,890"},
                      GroupingCase{"0", 0, "1234567890", "1234567890"}, GroupingCase{"", 0, "-1234", "-1234"},
                      GroupingCase{"4;0", 4, "123456789", "1,2345,6789"},
                      GroupingCase{"3;0", 3, "-9223372036854775808", "-9,223,372,036,854,775,808"}));

TEST(NumberFormat, GroupingNumberOfTheSettings) {
    // Separators of any length, or none.
    NumberFormatSpec spec = English(0);
    spec.grouping = DigitGrouping::FromNumber(3);
    spec.thousandSep = ". ";
    EXPECT_EQ(Number("1234567", spec), "1. 234. 567");
    spec.thousandSep = "";
    EXPECT_EQ(Number("1234567", spec), "1234567");
}

TEST(NumberFormat, RoundingOnTheText) {
    struct Case {
        const char* value;
        unsigned digits;
        const char* expected;
    } cases[] = {
        {"2.675000", 2, "2.68"},  // half up on the decimal text, not on the binary value
        {"0.995", 2, "1.00"},      {"9.995", 2, "10.00"},      {"999.5", 0, "1,000"},
        {"999999.999", 2, "1,000,000.00"}, {"1.2", 4, "1.2000"},
        {"1.23456789012", 9, "1.234567890"}, {"-0.001", 2, "0.00"},  // rounds to zero: no sign
        {"-0.005", 2, "-0.01"},    {"0.4", 0, "0"},            {"-0.4", 0, "0"},
        {".5", 1, "0.5"},          {"5.", 0, "5"},             {"000123", 0, "123"},
    };
    for (const Case& c : cases) EXPECT_EQ(Number(c.value, English(c.digits)), c.expected) << c.value;
}

TEST(NumberFormat, LeadingZero) {
    NumberFormatSpec spec = English(2);
    spec.leadingZero = false;
    EXPECT_EQ(Number("0.5", spec), ".50");
    EXPECT_EQ(Number("-0.5", spec), "-.50");
    EXPECT_EQ(Number("0", spec), ".00");
    EXPECT_EQ(Number("0.999", spec), "1.00");
    spec.numDigits = 0;
    EXPECT_EQ(Number("0", spec), "0");  // a whole number always shows its digit
}

TEST(NumberFormat, RejectedInput) {
    for (const char* value : {"", "-", ".", "-.", "1e5", "inf", "nan", "1.2.3", "+1", " 1", "1 ", "0x10", "1,000"})
        EXPECT_EQ(Number(value, English(2)), "<fail>") << value;
    EXPECT_EQ(Number("1", English(10)), "<fail>");
    EXPECT_EQ(Number("1", English(9)), "1.000000000");
}

TEST(NumberFormat, LongValues) {
    // Longer than any on-stack buffer: 1000 nines with a carry through all of them.
    std::string value(1000, '9');
    value += ".9";
    NumberFormatSpec spec = English(0);
    spec.grouping = DigitGrouping::FromText("0");
    std::string expected = "1" + std::string(1000, '0');
    EXPECT_EQ(Number(value.c_str(), spec), expected);
}

}  // namespace
