#pragma once
// Helpers shared by the CHTMLUtils and CTagConvUtils sources; not part of the public
// interface. They work on views so that a page is walked without copying its lines.

#include <string>
#include <string_view>

#include "vutil/core/text_array.h"
#include "vutil/framework/cstring.h"
#include "vutil/text/string_utils_internal.h"

namespace vutil::html_detail {

using text_detail::Blank;
using text_detail::Signed;
constexpr std::size_t npos = std::string_view::npos;

// CStringUtils::FindOccurrencePair for the first pair, on a view: the first opener, the
// first closer after it, then the innermost opener before that closer.
inline bool FirstPair(std::string_view t, std::string_view open, std::string_view close, std::size_t& p,
                      std::size_t& q) noexcept {
    if (open.empty() || close.empty()) return false;
    p = t.find(open);
    if (p == npos) return false;
    q = t.find(close, p + open.size());
    if (q == npos) return false;
    std::size_t inner = t.substr(p + open.size(), q - p - open.size()).rfind(open);
    if (inner != npos) p = p + open.size() + inner;
    return true;
}

inline std::string_view TrimView(std::string_view s) noexcept {
    std::size_t b = 0, e = s.size();
    while (b < e && Blank(s[b])) ++b;
    while (e > b && Blank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

inline bool AllBlank(std::string_view s) noexcept { return text_detail::AllBlank(s); }

inline char LowerChar(char c) noexcept {
    return Signed(c) >= 0 ? static_cast<char>(CStringUtils::m_tableLowercase[static_cast<unsigned char>(c)]) : c;
}

// Lower-cases `s` into `out`, reusing its storage.
inline void LowerInto(std::string_view s, std::string& out) {
    out.resize(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) out[i] = LowerChar(s[i]);
}

// Case-insensitive prefix test by the character tables (CStringUtils::MatchFirstChars).
inline bool StartsNoCase(std::string_view s, std::string_view prefix) noexcept {
    if (prefix.empty() || s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (LowerChar(s[i]) != LowerChar(prefix[i])) return false;
    return true;
}

inline bool Contains(std::string_view s, std::string_view sub) noexcept { return s.find(sub) != npos; }
inline bool Contains(std::string_view s, char c) noexcept { return s.find(c) != npos; }

// The page's lines, read as CFileUtils::ReadFileContent reads them (plain road).
void ReadPage(const CString& path, TextArray& lines);

// CHTMLUtils::ParseLinkValidExt, reachable from the extraction helpers.
bool LinkValidExt(const CString& extension);

// The value after "=" as written: quoted, or up to the first space (an unquoted value
// with no space after it gives nothing). A quoted value ends at the first like quote
// that ends the attribute (a blank, ">", "/" or the end follows), so that a script call
// quoted inside it, href='javascript:open('win.html')', stays whole; without such a
// quote it ends at the first like quote.
inline std::string_view RawValue(std::string_view rest) noexcept {
    if (rest.empty()) return {};
    const char quote = rest[0];
    if (quote == '"' || quote == '\'') {
        const std::size_t first = rest.find(quote, 1);
        if (first == npos) return {};
        for (std::size_t close = first; close != npos; close = rest.find(quote, close + 1)) {
            const char next = close + 1 < rest.size() ? rest[close + 1] : ' ';
            if (Blank(next) || next == '>' || next == '/') return rest.substr(1, close - 1);
        }
        return rest.substr(1, first - 1);
    }
    std::size_t space = rest.find(' ');
    return space != npos && space >= 1 ? rest.substr(0, space) : std::string_view();
}

// IsOnlyBlanks for from <= to: every character after `from` through `to` is blank.
inline bool OnlyBlanksBetween(std::string_view text, std::size_t from, std::size_t to) noexcept {
    for (std::size_t i = from + 1; i <= to && i < text.size(); ++i)
        if (!Blank(text[i])) return false;
    return true;
}

}  // namespace vutil::html_detail
