// CStringUtils: punctuation, case, prefix and suffix matching, wildcard specifications.

#include <algorithm>
#include <string>
#include <string_view>

#include "vutil/text/string_utils.h"
#include "vutil/text/string_utils_internal.h"

namespace vutil {

using namespace text_detail;

namespace text_detail {

std::pair<std::size_t, std::size_t> TrimPunctuationBounds(std::string_view t, std::string_view keepLeading,
                                                          std::string_view keepTrailing) noexcept {
    std::size_t first = 0;
    std::size_t last = t.size();
    while (last > 0 && Blank(t[last - 1])) --last;
    while (first < last && Blank(t[first])) ++first;
    while (first < last && Punct(t[first]) && !InSet(keepLeading, t[first])) ++first;
    std::size_t len = last - first;
    if (len == 0) return {first, first};
    // An abbreviation (U.S., e.g.) keeps its last full stop.
    if (len >= 4 && len % 2 == 0) {
        bool abbreviation = true;
        for (std::size_t i = 0; i < len && abbreviation; ++i)
            abbreviation = (i % 2 == 0) ? Letter(t[first + i]) : t[first + i] == '.';
        if (abbreviation) return {first, last};
    }
    while (last > first && Punct(t[last - 1]) && !InSet(keepTrailing, t[last - 1])) --last;
    return {first, last};
}

}  // namespace text_detail

namespace {

// The text character's other case, or itself when it has none (0x80-0xFF included).
int OtherCase(char c) {
    int v = Signed(c);
    if (v < 0) return v;
    return CStringUtils::IsLower(v) ? CStringUtils::ToUpper(v) : CStringUtils::ToLower(v);
}

bool SameNoCase(char pattern, char text) { return pattern == text || Signed(pattern) == OtherCase(text); }

bool MatchAt(std::string_view text, std::size_t at, std::string_view part, bool caseSensitive) {
    if (caseSensitive) return text.compare(at, part.size(), part) == 0;
    for (std::size_t i = 0; i < part.size(); ++i)
        if (!SameNoCase(part[i], text[at + i])) return false;
    return true;
}

bool StartsWith(std::string_view text, std::string_view prefix, bool caseSensitive) {
    if (text.empty() || prefix.empty() || text.size() < prefix.size()) return false;
    return MatchAt(text, 0, prefix, caseSensitive);
}

bool EndsWith(std::string_view text, std::string_view suffix, bool caseSensitive) {
    if (text.empty() || suffix.empty() || text.size() < suffix.size()) return false;
    return MatchAt(text, text.size() - suffix.size(), suffix, caseSensitive);
}

bool Equal(std::string_view a, std::string_view b, bool caseSensitive) {
    return caseSensitive ? a == b : CString::CompareNoCase(a, b) == 0;
}

std::size_t Find(std::string_view text, std::string_view sub, bool caseSensitive) {
    if (caseSensitive) return text.find(sub);
    return Lowered(text).find(Lowered(sub));
}

bool QuestionMarkMatch(std::string_view text, std::string_view spec, bool caseSensitive) {
    std::size_t q = spec.find('?');
    if (q == std::string_view::npos) return !text.empty() && Equal(text, spec, caseSensitive);
    // The "?" stands for exactly one character or for none.
    if (spec.size() != text.size() && spec.size() != text.size() + 1) return false;
    std::string_view left = spec.substr(0, q);
    std::string_view right = spec.substr(q + 1);
    if (!left.empty()) return StartsWith(text, left, caseSensitive);
    if (!right.empty()) return EndsWith(text, right, caseSensitive);
    return false;
}

bool SpecMatch(std::string_view text, std::string_view spec, bool caseSensitive) {
    if (spec.empty() || spec == "*" || spec == "*?" || spec == "?*" || spec == "?*?" || spec == "*?*") return true;
    if (!text.empty() && Equal(text, spec, caseSensitive)) return true;
    if (spec.find_first_not_of('?') == std::string_view::npos) return text.size() <= spec.size();
    std::size_t star = spec.find('*');
    if (star == std::string_view::npos) return QuestionMarkMatch(text, spec, caseSensitive);
    if (star > 0) {
        // The rest after the first "*" is literal, and may overlap the prefix in the text.
        std::string_view prefix = spec.substr(0, star);
        std::string_view rest = spec.substr(star + 1);
        if (rest.empty()) return StartsWith(text, prefix, caseSensitive);
        return StartsWith(text, prefix, caseSensitive) && EndsWith(text, rest, caseSensitive);
    }
    std::size_t other = spec.find('*', 1);
    if (other != std::string_view::npos) {
        if (other != spec.size() - 1) return false;
        std::string_view mid = spec.substr(1, spec.size() - 2);
        std::size_t q = mid.find('?');
        if (q == std::string_view::npos) return Find(text, mid, caseSensitive) != std::string_view::npos;
        std::string_view left = mid.substr(0, q);
        std::string_view right = mid.substr(q + 1);
        std::size_t p1 = Find(text, left, caseSensitive);
        std::size_t p2 = Find(text, right, caseSensitive);
        if (p1 == std::string_view::npos || p2 == std::string_view::npos) return false;
        return p2 == p1 + left.size() || p2 == p1 + left.size() + 1;
    }
    std::string_view rest = spec.substr(1);
    if (spec.find('?') != std::string_view::npos) return QuestionMarkMatch(text, rest, caseSensitive);
    return EndsWith(text, rest, caseSensitive);
}

}  // namespace

// ---- Punctuation and case ----

void CStringUtils::RemovePunctuation(CString& text) {
    // Removing each punctuation character everywhere as it is met leaves exactly the
    // non-punctuation characters in order; one pass gets there directly.
    std::string& s = text.str();
    s.erase(std::remove_if(s.begin(), s.end(), Punct), s.end());
}

void CStringUtils::TrimPunctuation(CString& text, const CString& keepLeading, const CString& keepTrailing) {
    auto [first, last] = TrimPunctuationBounds(text.view(), keepLeading.view(), keepTrailing.view());
    std::string& s = text.str();
    s.erase(last);
    s.erase(0, first);
}

void CStringUtils::PreserveCase(const CString& model, CString& target) {
    std::size_t n = std::min(model.view().size(), target.view().size());
    std::string& t = target.str();
    for (std::size_t i = 0; i < n; ++i) {
        int m = Signed(model.view()[i]);
        int c = Signed(t[i]);
        if (c < 0) continue;  // no table entry: left as it is
        // Non-letters count as both cases, so a digit in the model upper-cases.
        if (IsUpper(m) && !IsUpper(c)) t[i] = static_cast<char>(ToUpper(c));
        else if (IsLower(m) && !IsLower(c)) t[i] = static_cast<char>(ToLower(c));
    }
}

bool CStringUtils::MatchFirstChars(const CString& text, const CString& prefix, bool caseSensitive) {
    return StartsWith(text.view(), prefix.view(), caseSensitive);
}

bool CStringUtils::MatchLastChars(const CString& text, const CString& suffix, bool caseSensitive) {
    return EndsWith(text.view(), suffix.view(), caseSensitive);
}

// ---- Wildcards ----

bool CStringUtils::MatchSpec(const CString& text, const CString& spec, bool caseSensitive) {
    return SpecMatch(text.view(), spec.view(), caseSensitive);
}

bool CStringUtils::MatchSpecQuestionMark(const CString& text, const CString& spec, bool caseSensitive) {
    return QuestionMarkMatch(text.view(), spec.view(), caseSensitive);
}

}  // namespace vutil
