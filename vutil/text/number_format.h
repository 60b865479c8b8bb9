#pragma once
// Locale-style number and currency formatting of decimal text.
//
// These stand in for the system's number and currency formatters: they take a plain
// decimal text ("-1234.5678") and lay it out with a digit grouping, separators, a
// number of fractional digits (rounded half up on the text), the leading-zero flag and
// one of the numbered negative / positive layouts the regional settings speak of. The
// settings are plain values here; NumberFormatSpec::FromLocale() and
// CurrencyFormatSpec::FromLocale() read them from the user's regional settings.

#include <cstdint>
#include <string>
#include <string_view>

#include "vutil/framework/cstring.h"

namespace vutil {

// Sizes of the digit groups from the decimal separator leftwards.
struct DigitGrouping {
    std::uint8_t sizes[10] = {};
    int count = 0;            // sizes in use; 0 = no grouping
    bool repeatLast = false;  // the last size repeats over the remaining digits

    // The number form the settings give (one decimal digit per group, most significant
    // first): 3 = groups of three, 32 = three then twos, 0 = none. A trailing 0 digit
    // stops the repeat (30 = one group of three, then the rest ungrouped).
    static DigitGrouping FromNumber(unsigned grouping) noexcept;
    // The text form of the regional settings: "3;0" = groups of three, "3;2;0" = three
    // then twos, "3" = one group of three then the rest, "0" or "" = none.
    static DigitGrouping FromText(std::string_view grouping) noexcept;
};

struct NumberFormatSpec {
    unsigned numDigits = 0;     // fractional digits, 0-9
    bool leadingZero = true;    // "0.5" rather than ".5"
    DigitGrouping grouping;
    CString decimalSep = ".";
    CString thousandSep = ",";
    unsigned negativeOrder = 1; // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -"

    // The user's number settings: locale digits, leading zero, grouping, separators
    // (each cut to four characters) and negative order.
    static NumberFormatSpec FromLocale();
};

struct CurrencyFormatSpec {
    unsigned numDigits = 2;
    bool leadingZero = true;
    DigitGrouping grouping;
    CString decimalSep = ".";
    CString thousandSep = ",";
    CString currencySymbol = "$";
    unsigned positiveOrder = 0;  // 0 "$1.1", 1 "1.1$", 2 "$ 1.1", 3 "1.1 $"
    // 0 "($1.1)", 1 "-$1.1", 2 "$-1.1", 3 "$1.1-", 4 "(1.1$)", 5 "-1.1$", 6 "1.1-$",
    // 7 "1.1$-", 8 "-1.1 $", 9 "-$ 1.1", 10 "1.1 $-", 11 "$ 1.1-", 12 "$ -1.1",
    // 13 "1.1- $", 14 "($ 1.1)", 15 "(1.1 $)"
    unsigned negativeOrder = 0;

    // The user's currency settings, the same way.
    static CurrencyFormatSpec FromLocale();
};

// Formats `value` ([-]digits[.digits], at least one digit) into `out` (replacing its
// content). False, with `out` empty, for a value of another shape or a spec outside
// the ranges above. A value that rounds to zero carries no sign.
bool FormatNumberText(std::string_view value, const NumberFormatSpec& spec, std::string& out);
bool FormatCurrencyText(std::string_view value, const CurrencyFormatSpec& spec, std::string& out);

}  // namespace vutil
