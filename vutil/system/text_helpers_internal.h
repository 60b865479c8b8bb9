#pragma once
// Stand-ins for CNumberTextConv's number helpers and CDirUtils::ParseParentDir, with
// the same behaviour, until those classes carry them; then each call site switches to
// the real member and this file goes.

#include <cstdint>
#include <cstdlib>

#include "vutil/dates/locale_utils.h"
#include "vutil/framework/cstring.h"

namespace vutil::text_helpers {

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
