// CStringUtils: context excerpts, text blocks, common prefixes and XML text.

#include <algorithm>
#include <string>
#include <string_view>

#include "vutil/text/string_utils.h"
#include "vutil/text/string_utils_internal.h"

namespace vutil {

using namespace text_detail;

CString CStringUtils::EllipsisSurroundingWord(const CString& text, int pos, int length, int words) {
    std::string_view t = text.view();
    if (t.empty() || pos < 0 || length < 1 || words < 1) return CString();
    // A word that does not lie inside the text has no context to show.
    if (static_cast<std::size_t>(pos) + static_cast<std::size_t>(length) > t.size()) return CString();
    std::size_t wordEnd = static_cast<std::size_t>(pos) + static_cast<std::size_t>(length);

    CString result;
    std::string& out = result.str();
    // Walk outwards counting spaces; each walk stops on the space that passes the limit.
    int spaces = 0;
    int left = pos - 1;
    while (left > 0) {
        if (t[static_cast<std::size_t>(left)] == ' ' && ++spaces > words) break;
        --left;
    }
    std::size_t start = 0;
    if (left > 0) {
        out = m_csEllipsis.str();
        start = static_cast<std::size_t>(left) + 1;
    }
    out.append(t.substr(start, wordEnd - start));

    spaces = 0;
    std::size_t right = wordEnd;
    if (right < t.size()) {
        while (right < t.size() - 1) {
            if (t[right] == ' ' && ++spaces > words) break;
            ++right;
        }
        out.append(t.substr(wordEnd, right - wordEnd + 1));
    }
    Trim(result);
    if (right + 1 < t.size()) out += m_csEllipsis.view();
    return result;
}

void CStringUtils::ReplaceTextBlock(CStringList& lines, const CString& startMarker, const CString& endMarker,
                                    const CString& replacement, bool blankOut) {
    // Markers are found without regard to case; lower-casing keeps every index, so the
    // positions found in the copy apply to the line itself.
    const std::string start = Lowered(startMarker.view());
    const std::string end = Lowered(endMarker.view());
    bool inBlock = false;
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
        POSITION at = pos;
        std::string& line = lines.GetNext(pos).str();
        const std::string lower = Lowered(line);
        const std::size_t s = lower.find(start);
        const std::size_t e = lower.find(end);
        const std::size_t npos = std::string::npos;
        if (s != npos && e != npos && s < e) {
            std::size_t after = e + end.size();  // one past the block's last character
            if (blankOut) std::fill(line.begin() + static_cast<std::ptrdiff_t>(s),
                                    line.begin() + static_cast<std::ptrdiff_t>(std::min(after, line.size())), ' ');
            else line = line.substr(0, s) + replacement.str() + line.substr(std::min(after, line.size()));
        } else if (e != npos) {
            std::size_t after = std::min(e + end.size(), line.size());
            if (blankOut) std::fill(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(after), ' ');
            else line = replacement.str() + line.substr(after);
            inBlock = false;
        } else if (s != npos) {
            if (blankOut) std::fill(line.begin() + static_cast<std::ptrdiff_t>(s), line.end(), ' ');
            else line.erase(s);
            inBlock = true;
        } else if (inBlock) {
            if (blankOut) std::fill(line.begin(), line.end(), ' ');
            else lines.RemoveAt(at);
        }
    }
}

bool CStringUtils::IsInTextBlock(const CString& text, const CString& startMarker, const CString& endMarker,
                                 bool inBlock) {
    if (text.IsEmpty()) return false;
    const std::string t = Lowered(text.view());
    const std::size_t s = t.rfind(Lowered(startMarker.view()));
    const std::size_t e = t.rfind(Lowered(endMarker.view()));
    if (s != std::string::npos) return !(e != std::string::npos && e >= s);
    if (e != std::string::npos) return false;
    return inBlock;
}

CString CStringUtils::DetermineCommonChars(const CString& a, const CString& b, bool caseSensitive) {
    std::string_view x = a.view();
    std::string_view y = b.view();
    std::size_t n = std::min(x.size(), y.size());
    std::size_t i = 0;
    if (caseSensitive) {
        while (i < n && x[i] == y[i]) ++i;
    } else {
        // Bytes without a table entry compare as themselves.
        auto upper = [](char c) { return Signed(c) < 0 ? Signed(c) : ToUpper(Signed(c)); };
        while (i < n && upper(x[i]) == upper(y[i])) ++i;
    }
    if (i == n) return y.size() < x.size() ? b : a;
    return CString(x.substr(0, i));
}

CString CStringUtils::GetCommonText(const CStringList& list, bool caseSensitive) {
    CString common;
    bool started = false;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const CString& item = list.GetNext(pos);
        if (item.IsEmpty()) continue;
        if (!started) {
            common = item;
            started = true;
            continue;
        }
        common = DetermineCommonChars(item, common, caseSensitive);
        if (common.IsEmpty()) break;
    }
    return common;
}

void CStringUtils::ProcessXMLTag(CString& name) {
    name = CString(Lowered(name.view()));
    Trim(name);
    std::string& s = name.str();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        // An element name may not begin with a full stop.
        if (Letter(c) || Digit(c) || c == '-' || c == '_' || (c == '.' && i > 0)) s[kept++] = c;
    }
    s.resize(kept);
}

void CStringUtils::ProcessXMLValue(CString& value) {
    value.Replace("&", "&amp;");
    value.Replace("<", "&lt;");
    value.Replace(">", "&gt;");
}

}  // namespace vutil
