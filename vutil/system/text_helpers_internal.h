#pragma once
// Stand-ins for a few text and number helpers of CStringUtils / CNumberTextConv,
// with the same behaviour, until those classes carry them; then each call site
// switches to the real member and this file goes.

#include <cstdint>
#include <cstdlib>

#include "vutil/dates/locale_utils.h"
#include "vutil/framework/collections.h"
#include "vutil/framework/cstring.h"
#include "vutil/text/string_utils.h"

namespace vutil::text_helpers {

// CStringUtils::IsEffectivelyEmpty
inline bool IsEffectivelyEmpty(const CString& text) {
    for (int i = 0; i < text.GetLength(); ++i)
        if (!CStringUtils::IsSpace(static_cast<signed char>(text[i]))) return false;
    return true;
}

// CStringUtils::Trim
inline void Trim(CString& text) {
    int n = text.GetLength();
    int first = 0;
    while (first < n && CStringUtils::IsSpace(static_cast<signed char>(text[first]))) ++first;
    int last = n;
    while (last > first && CStringUtils::IsSpace(static_cast<signed char>(text[last - 1]))) --last;
    if (first > 0 || last < n) text = text.Mid(first, last - first);
}

// CStringUtils::SplitLine
inline void SplitLine(const CString& text, const CString& delimiter, CStringArray& pieces) {
    if (delimiter.IsEmpty() || text.Find(delimiter) < 0) {
        pieces.Add(text);
        return;
    }
    int start = 0;
    for (int at; (at = text.Find(delimiter, start)) >= 0; start = at + delimiter.GetLength())
        pieces.Add(text.Mid(start, at - start));
    pieces.Add(text.Mid(start));
}

// CStringUtils::MatchFirstChars
inline bool MatchFirstChars(const CString& text, const CString& prefix, bool caseSensitive) {
    if (text.IsEmpty() || prefix.IsEmpty() || text.GetLength() < prefix.GetLength()) return false;
    for (int i = 0; i < prefix.GetLength(); ++i) {
        int t = static_cast<signed char>(text[i]);
        int p = static_cast<signed char>(prefix[i]);
        if (t == p) continue;
        if (caseSensitive) return false;
        int other = CStringUtils::IsLower(t) ? CStringUtils::ToUpper(t) : CStringUtils::ToLower(t);
        if (t < 0 || other != p) return false;
    }
    return true;
}

// CDirUtils::ParseParentDir
inline CString ParseParentDir(const CString& path) {
    for (int i = path.GetLength() - 2; i >= 0; --i)
        if (path[i] == '\\' || path[i] == '/') return path.Left(i + 1);
    return CString();
}

// CNumberTextConv::GetNumberFromString: atoi without the locale thousands separator.
inline int GetNumberFromString(const CString& text) {
    CString plain(text);
    CString sep = CLocaleUtils::GetThousandsSeparator();
    if (!sep.IsEmpty()) plain.Replace(sep, CString());
    return std::atoi(plain.GetString());
}

// CNumberTextConv::NumberToString(unsigned __int64): grouped by the locale.
inline CString NumberToString(std::uint64_t n) {
    CString digits;
    digits.Format("%llu", static_cast<unsigned long long>(n));
    unsigned grouping = CLocaleUtils::GetDigitGrouping();
    if (grouping == 0) return digits;
    // 32 means groups of 3, then of 2 repeated (the locale's "3;2;0").
    CString sizes;
    sizes.Format("%u", grouping);
    CString sep = CLocaleUtils::GetThousandsSeparator();
    CString out;
    int end = digits.GetLength();
    int k = 0;
    while (end > 0) {
        int size = sizes[k] - '0';
        if (k + 1 < sizes.GetLength()) ++k;
        int start = end - size > 0 ? end - size : 0;
        CString group = digits.Mid(start, end - start);
        out = start > 0 ? sep + group + out : group + out;
        end = start;
    }
    return out;
}

// CNumberTextConv::NumberToString(int, bool, int, const CString&) without grouping.
inline CString NumberToString(int n, bool /*group*/, int width, const CString& pad) {
    CString out;
    out.Format("%d", n);
    while (!pad.IsEmpty() && out.GetLength() < width) out = pad + out;
    return out;
}

}  // namespace vutil::text_helpers
