#pragma once
// CNumberTextConv: numbers to display text and display text back to numbers.
//
// Locale-formatted integers and decimals, mixed fractions ("3 1/2"), byte sizes
// ("1.50 KB"), Roman numerals, colours in "#RRGGBB" and "RGB(r, g, b)" notation, and
// tolerant parsing of numbers out of free text. Separators, grouping and layouts come
// from the user's regional settings (CLocaleUtils). No state; nothing throws.

#include <cstdint>

#include "vutil/framework/cstring.h"

namespace vutil {

class CNumberTextConv {
public:
    // ---- Numbers to text ----
    // With `group` the locale's grouping, separators and negative layout; without, the
    // plain decimal text. A non-empty pad then goes in front until the length reaches width.
    static CString NumberToString(int n, bool group, int width, const CString& pad);
    // Always grouped by the locale, no decimals.
    static CString NumberToString(std::uint64_t n);
    // Locale number (or currency) text of v with `digits` decimals (negative: the
    // locale's count); padded like NumberToString.
    static CString DoubleToString(double v, int digits, bool currency, int width, const CString& pad, bool group);
    // Trailing zeros after the locale decimal separator go, then a separator left last.
    static void RemoveDecimalZeroes(CString& text);
    // "1 byte", "512 bytes", "1.50 KB" ... " PB"; "" from 2^60 up.
    static CString ConvertToBytes(std::uint64_t n);

    // ---- Fractions ----
    static CString DoubleToFraction(double v);
    static double FractionToDouble(const CString& text);

    // ---- Parsing ----
    // atoi / _atoi64 of the text with every locale thousands separator removed.
    static int GetNumberFromString(const CString& text);
    static std::int64_t GetNumber64FromString(const CString& text);
    static double GetDoubleFromString(const CString& text, bool parenthesesNegative);
    // The first run of digits as a number, the text around it as a format ("%d" in
    // place of the digits); with tryRoman a valid Roman numeral wins.
    static int ParseNumber(const CString& text, bool& isRoman, CString& format, bool tryRoman);
    // Only digits and one-character locale separators / currency symbol.
    static bool IsNumber(const CString& text);
    static void ParseFirstAndLastDigits(const CString& text, double& first, double& last, CString& middle);
    // strtol of "0x..." text (lower-case x), saturating at 32 bits; other text gives 0.
    static long ConvertFromHex(const CString& text);

    // ---- Colours (0x00BBGGRR) ----
    static CString ConvertCOLORREFToHexString(unsigned long colour);
    static CString ConvertCOLORREFToRGBString(unsigned long colour);
    static unsigned long ConvertRGBStringToCOLORREF(const CString& text, bool& ok);

    // ---- Roman numerals ----
    static CString ConvertToRoman(int n);
    // 0 for effectively empty text, -1 for an ill-formed numeral.
    static int ConvertFromRoman(const CString& text);
};

}  // namespace vutil
