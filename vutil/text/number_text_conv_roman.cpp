// CNumberTextConv: Roman numerals both ways.

#include <climits>
#include <cstdint>

#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

constexpr const char* kUnits[10] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
constexpr const char* kTens[10] = {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"};
constexpr const char* kHundreds[10] = {"", "C", "CC", "CCC", "CD", "D", "DC", "DCC", "DCCC", "CM"};

char UpperAscii(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsOneOf(char c, const char* set) noexcept {
    for (; *set; ++set)
        if (c == *set) return true;
    return false;
}

}  // namespace

CString CNumberTextConv::ConvertToRoman(int n) {
    if (n < 1) return CString();
    CString result;
    std::string& s = result.str();
    s.reserve(static_cast<std::size_t>(n / 1000) + 12);
    s.assign(static_cast<std::size_t>(n / 1000), 'M');
    s += kHundreds[n / 100 % 10];
    s += kTens[n / 10 % 10];
    s += kUnits[n % 10];
    return result;
}

int CNumberTextConv::ConvertFromRoman(const CString& text) {
    if (CStringUtils::IsEffectivelyEmpty(text)) return 0;
    const std::string_view s = text.view();
    // The total is kept in 64 bits: a long run of "M" cannot overflow it, and the
    // result saturates at the int limit.
    std::int64_t total = 0;
    std::size_t i = 0;
    char prev = '\0';
    while (i < s.size() && UpperAscii(s[i]) == 'M') {
        total += 1000;
        prev = 'M';
        ++i;
    }
    // The level records which smaller numerals may still follow: it falls as a
    // numeral is used in a subtractive or repeated form.
    int level = 4;
    for (; i < s.size(); prev = UpperAscii(s[i]), ++i) {
        const char c = UpperAscii(s[i]);
        switch (c) {
            case 'I':
                if (prev == 'I') level = 0;
                total += 1;
                if (total % 5 == 0) return -1;
                break;
            case 'V':
                if (prev == 'I') {
                    if (level < 1) return -1;
                    total += 3;
                } else if (prev == 'V') {
                    return -1;
                } else {
                    total += 5;
                }
                level = 0;
                break;
            case 'X':
                if (prev == 'I') {
                    if (level < 1) return -1;
                    total += 8;
                    level = 0;
                } else if (prev == 'V') {
                    return -1;
                } else {
                    if (prev == 'X') level = 1;
                    total += 10;
                    if (total % 50 == 0) return -1;
                }
                break;
            case 'L':
                if (IsOneOf(prev, "ILV")) return -1;
                if (level < 2) return -1;
                total += prev == 'X' ? 30 : 50;
                level = 1;
                break;
            case 'C':
                if (prev == 'C') {
                    level = 3;
                } else if (IsOneOf(prev, "ILV")) {
                    return -1;
                } else if (prev == 'X') {
                    if (level < 2) return -1;
                    total += 80;
                    level = 1;
                    break;
                } else if (level < 3) {
                    return -1;
                }
                total += 100;
                if (total % 500 == 0) return -1;
                break;
            case 'D':
                if (IsOneOf(prev, "DILVX")) return -1;
                if (level < 4) return -1;
                total += prev == 'C' ? 300 : 500;
                level = prev == 'C' ? 2 : 3;
                break;
            case 'M':
                if (prev != 'C' || level < 4) return -1;
                total += 800;
                level = 2;
                break;
            default:
                break;
        }
    }
    return total > INT_MAX ? INT_MAX : static_cast<int>(total);
}

}  // namespace vutil
