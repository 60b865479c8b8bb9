// CNumberTextConv: tolerant parsing of numbers out of free text.

#include <string_view>

#include "vutil/text/number_locale_internal.h"
#include "vutil/text/number_runtime.h"
#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

bool IsDigitByte(char c) noexcept { return CStringUtils::IsDigit(static_cast<unsigned char>(c)); }

// First character of a locale separator, or -1 (matches no byte) when it is empty.
int FirstByte(const CString& sep) noexcept { return sep.IsEmpty() ? -1 : static_cast<unsigned char>(sep[0]); }

CString WithoutThousandsSeparators(const CString& text) {
    CString copy(text);
    const CString& sep = numlocale::Current().thousandsSep;
    if (!sep.IsEmpty()) copy.Replace(sep, CString());
    return copy;
}

}  // namespace

int CNumberTextConv::GetNumberFromString(const CString& text) {
    return RuntimeAtoi(WithoutThousandsSeparators(text).view());
}

std::int64_t CNumberTextConv::GetNumber64FromString(const CString& text) {
    return RuntimeAtoi64(WithoutThousandsSeparators(text).view());
}

namespace {

// The scan itself, for one pair of separator bytes.
double ScanDouble(std::string_view text, bool parenthesesNegative, int d, int t) noexcept {
    double value = 0.0;
    double weight = 0.1;
    bool negative = false;
    bool fraction = false;
    bool started = false;
    for (const char ch : text) {
        const int c = static_cast<unsigned char>(ch);
        if (!started) {
            if (!IsDigitByte(ch)) {
                if (c == '-' || (c == '(' && parenthesesNegative)) negative = true;
                else if (c == d) fraction = true;
                continue;
            }
            started = true;
        }
        if (c == t) continue;
        if (c == d) {
            fraction = true;
            weight = 0.1;
            continue;
        }
        if (!IsDigitByte(ch)) break;
        const int digit = c - '0';
        if (fraction) {
            value += digit * weight;
            weight /= 10.0;
        } else {
            value = value * 10.0 + digit;
        }
    }
    return negative ? -value : value;
}

}  // namespace

double CNumberTextConv::GetDoubleFromString(const CString& text, bool parenthesesNegative) {
    const numlocale::Settings& loc = numlocale::Current();
    return ScanDouble(text.view(), parenthesesNegative, FirstByte(loc.decimalSep), FirstByte(loc.thousandsSep));
}

int CNumberTextConv::ParseNumber(const CString& text, bool& isRoman, CString& format, bool tryRoman) {
    isRoman = false;
    format.Empty();
    if (CStringUtils::IsEffectivelyEmpty(text)) return 0;
    if (tryRoman) {
        const int r = ConvertFromRoman(text);
        if (r > 0) {
            isRoman = true;
            return r;
        }
    }
    const std::string_view s = text.view();
    std::size_t runBegin = 0;
    std::size_t runEnd = 0;
    bool collecting = false;
    bool ended = false;
    std::string& out = format.str();
    out.reserve(s.size() + 2);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!ended && IsDigitByte(s[i])) {
            if (!collecting) {
                out += "%d";
                collecting = true;
                runBegin = i;
            }
            runEnd = i + 1;
        } else {
            out += s[i];
            if (collecting) ended = true;
        }
    }
    return collecting ? RuntimeAtoi(s.substr(runBegin, runEnd - runBegin)) : 0;
}

bool CNumberTextConv::IsNumber(const CString& text) {
    if (text.IsEmpty()) return true;
    // Only the locale strings that are a single character take part.
    char accepted[5];
    int count = 0;
    const numlocale::Settings& loc = numlocale::Current();
    for (const CString* s : {&loc.thousandsSep, &loc.decimalSep, &loc.currencySymbol, &loc.currencyThousandsSep,
                             &loc.currencyDecimalSep}) {
        if (s->GetLength() == 1) accepted[count++] = (*s)[0];
    }
    for (const char c : text.view()) {
        if (IsDigitByte(c)) continue;
        bool ok = false;
        for (int i = 0; i < count && !ok; ++i) ok = c == accepted[i];
        if (!ok) return false;
    }
    return true;
}

void CNumberTextConv::ParseFirstAndLastDigits(const CString& text, double& first, double& last, CString& middle) {
    first = 0.0;
    last = 0.0;
    middle = text;
    const numlocale::Settings& loc = numlocale::Current();
    const int d = FirstByte(loc.decimalSep);
    const int t = FirstByte(loc.thousandsSep);
    auto inNumber = [&](char ch) {
        const int c = static_cast<unsigned char>(ch);
        return IsDigitByte(ch) || c == d || c == t;
    };
    const int len = text.GetLength();
    int lead = 0;
    while (lead < len && inNumber(text[lead])) ++lead;
    if (lead > 0) {
        first = GetDoubleFromString(text.Left(lead), false);
        middle = text.Mid(lead);
    }
    int trail = 0;
    while (trail < len && inNumber(text[len - 1 - trail])) ++trail;
    if (trail > 0) {
        last = GetDoubleFromString(text.Right(trail), false);
        middle.Truncate(middle.GetLength() > trail ? middle.GetLength() - trail : 0);
    }
}

long CNumberTextConv::ConvertFromHex(const CString& text) {
    if (text.GetLength() <= 2 || text[0] != '0' || text[1] != 'x') return 0;
    return RuntimeStrtol(text.view(), 0);
}

unsigned long CNumberTextConv::ConvertRGBStringToCOLORREF(const CString& text, bool& ok) {
    ok = false;
    if (text.GetLength() < 4 || CString::CompareNoCase(text.view().substr(0, 4), "rgb(") != 0) return 0;
    const int comma1 = text.Find(',');
    if (comma1 < 0) return 0;
    const CString rest = text.Mid(comma1 + 1);
    const int comma2 = rest.Find(',');
    if (comma2 < 0) return 0;
    bool isRoman = false;
    CString format;
    const auto red = static_cast<unsigned long>(ParseNumber(text.Left(comma1), isRoman, format, false));
    const auto green = static_cast<unsigned long>(ParseNumber(rest.Left(comma2), isRoman, format, false));
    const auto blue = static_cast<unsigned long>(ParseNumber(rest.Mid(comma2 + 1), isRoman, format, false));
    ok = true;
    return (blue & 255) << 16 | (green & 255) << 8 | (red & 255);
}

}  // namespace vutil
