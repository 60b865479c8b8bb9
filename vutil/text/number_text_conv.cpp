// CNumberTextConv: locale-formatted numbers, byte sizes and colour text.

#include "vutil/text/number_text_conv.h"

#include <charconv>
#include <cstdio>

#include "vutil/text/number_format.h"
#include "vutil/text/number_locale_internal.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

// Unit of 1024^(i-1) for i = 1 ... 9; only up to " PB" is reachable from 64 bits.
constexpr const char* kByteUnits[10] = {"", " bytes", " KB", " MB", " GB", " TB", " PB", " EB", " ZB", " YB"};

CString GroupedInteger(std::string_view digits) {
    CString result;
    FormatNumberText(digits, numlocale::Current().integer, result.str());
    return result;
}

}  // namespace

CString CNumberTextConv::NumberToString(int n, bool group, int width, const CString& pad) {
    char digits[16];
    const char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    CString result = group ? GroupedInteger(std::string_view(digits, static_cast<std::size_t>(end - digits)))
                           : CString(digits, static_cast<int>(end - digits));
    CStringUtils::PadString(result, width, pad, true);
    return result;
}

CString CNumberTextConv::NumberToString(std::uint64_t n) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    return GroupedInteger(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

CString CNumberTextConv::DoubleToString(double v, int digits, bool currency, int width, const CString& pad,
                                        bool group) {
    // Six decimals first, then the formatter rounds again to the wanted count.
    char text[349];
    const int len = std::snprintf(text, sizeof text, "%f", v);
    const std::string_view value(text, len > 0 && len < static_cast<int>(sizeof text) ? static_cast<std::size_t>(len) : 0);
    CString result;
    if (currency) {
        CurrencyFormatSpec spec = numlocale::Current().currency;
        if (digits >= 0) spec.numDigits = static_cast<unsigned>(digits);
        if (!group) spec.thousandSep.Empty();
        FormatCurrencyText(value, spec, result.str());
    } else {
        NumberFormatSpec spec = numlocale::Current().number;
        if (digits >= 0) spec.numDigits = static_cast<unsigned>(digits);
        if (!group) spec.thousandSep.Empty();
        FormatNumberText(value, spec, result.str());
    }
    CStringUtils::PadString(result, width, pad, true);
    return result;
}

void CNumberTextConv::RemoveDecimalZeroes(CString& text) {
    const CString& sep = numlocale::Current().decimalSep;
    if (sep.IsEmpty() || text.Find(sep) < 0) return;
    std::string& s = text.str();
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == sep[0]) s.pop_back();
}

CString CNumberTextConv::ConvertToBytes(std::uint64_t n) {
    if (n == 1) return "1 byte";
    // The limit is shifted in 64 bits, so from 2^60 up it wraps to 0 and nothing fits.
    std::uint64_t limit = 1024;
    int unit = 1;
    while (unit <= 9 && !(n < limit)) {
        limit <<= 10;
        ++unit;
    }
    if (unit > 9) return CString();
    if (unit == 1) return NumberToString(static_cast<int>(n), true, 0, CString()) + kByteUnits[1];
    const unsigned decimals = numlocale::Current().number.numDigits;
    // Truncated, not rounded, and in integers so that nothing is lost to the double:
    // 1048575 bytes are "1,023.99 KB", never "1,024.00 KB".
    __extension__ typedef unsigned __int128 Wide;
    const unsigned scaleDigits = decimals > 9 ? 9 : decimals;
    std::uint64_t scale = 1;
    for (unsigned i = 0; i < scaleDigits; ++i) scale *= 10;
    const Wide scaled = (static_cast<Wide>(n) * scale) >> (10 * (unit - 1));
    const double value = static_cast<double>(scaled) / static_cast<double>(scale);
    return DoubleToString(value, static_cast<int>(decimals), false, 0, CString(), true) + kByteUnits[unit];
}

CString CNumberTextConv::ConvertCOLORREFToHexString(unsigned long colour) {
    CString text;
    text.Format("#%02X%02X%02X", static_cast<unsigned>(colour & 0xFF), static_cast<unsigned>((colour >> 8) & 0xFF),
                static_cast<unsigned>((colour >> 16) & 0xFF));
    return text;
}

CString CNumberTextConv::ConvertCOLORREFToRGBString(unsigned long colour) {
    CString text;
    text.Format("RGB(%3d, %3d, %3d)", static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
    return text;
}

}  // namespace vutil
