// CStringUtils: shared constants, blank handling, searching and list helpers.

#include "vutil/text/string_utils.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "vutil/core/app_logger.h"
#include "vutil/text/string_utils_internal.h"

namespace vutil {

using namespace text_detail;

namespace {

CString SeparatorString(bool braces) {
    CString s(kWordSeparators);
    if (braces) s += "{}";
    return s;
}

// Start of the n-th (1-based) non-overlapping occurrence, or npos.
std::size_t NthOccurrence(std::string_view hay, std::string_view needle, int n) {
    std::size_t pos = hay.find(needle);
    for (int k = 1; k < n && pos != std::string_view::npos; ++k) pos = hay.find(needle, pos + needle.size());
    return pos;
}

std::size_t CountOccurrences(std::string_view hay, std::string_view needle) {
    std::size_t count = 0;
    for (std::size_t pos = hay.find(needle); pos != std::string_view::npos; pos = hay.find(needle, pos + needle.size()))
        ++count;
    return count;
}

bool Boundary(char c) { return Blank(c) || Punct(c); }

bool Equal(const CString& a, const CString& b, bool caseSensitive) {
    return caseSensitive ? a.Compare(b) == 0 : a.CompareNoCase(b) == 0;
}

void LogSite(const char* site) {
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(site);
}

}  // namespace

const CString CStringUtils::m_csEmpty;
const CString CStringUtils::m_csEllipsis("...");
const CString CStringUtils::m_csSpace(" ");
const CString CStringUtils::m_csWordSeparators = SeparatorString(false);
const CString CStringUtils::m_csWordSeparatorsBraces = SeparatorString(true);

// ---- Blank handling ----

bool CStringUtils::IsEffectivelyEmpty(const CString& text) { return AllBlank(text.view()); }

void CStringUtils::Trim(CString& text) {
    std::string& s = text.str();
    std::size_t last = s.size();
    while (last > 0 && Blank(s[last - 1])) --last;
    std::size_t first = 0;
    while (first < last && Blank(s[first])) ++first;
    s.erase(last);
    s.erase(0, first);
}

void CStringUtils::PadString(CString& text, int width, const CString& pad, bool atFront) {
    if (pad.IsEmpty() || text.GetLength() >= width) return;
    // Whole copies of the pad until the width is reached, built in one go.
    std::size_t missing = static_cast<std::size_t>(width - text.GetLength());
    std::size_t copies = (missing + pad.view().size() - 1) / pad.view().size();
    std::string fill;
    fill.reserve(copies * pad.view().size() + text.view().size());
    for (std::size_t i = 0; i < copies; ++i) fill += pad.view();
    if (atFront) {
        fill += text.view();
        text.str().swap(fill);
    } else {
        text += std::string_view(fill);
    }
}

// ---- Searching ----

int CStringUtils::FindLast(const CString& text, const CString& sub) {
    if (text.IsEmpty() || sub.IsEmpty()) return -1;
    return FoundAt(text.view().rfind(sub.view()));
}

int CStringUtils::FindOccurrenceIndex(const CString& text, const CString& sub, int n, bool caseSensitive) {
    if (sub.IsEmpty() || n <= 0 || IsEffectivelyEmpty(text)) return -1;
    if (caseSensitive) return FoundAt(NthOccurrence(text.view(), sub.view(), n));
    return FoundAt(NthOccurrence(Lowered(text.view()), Lowered(sub.view()), n));
}

int CStringUtils::FindOccurrences(const CString& text, const CString& sub, bool caseSensitive) {
    if (sub.IsEmpty() || IsEffectivelyEmpty(text)) return 0;
    if (caseSensitive) return ToInt(CountOccurrences(text.view(), sub.view()));
    return ToInt(CountOccurrences(Lowered(text.view()), Lowered(sub.view())));
}

int CStringUtils::FindWholeWordMatch(const CString& text, const CString& word, int n, int start) {
    std::string_view t = text.view();
    std::string_view w = word.view();
    if (w.empty() || t.size() < w.size() || n < 1 || start < 0 || IsEffectivelyEmpty(text)) return -1;
    int count = 0;
    // Candidates may overlap: each search resumes one past the previous candidate.
    for (std::size_t pos = t.find(w, static_cast<std::size_t>(start)); pos != std::string_view::npos;
         pos = t.find(w, pos + 1)) {
        std::size_t end = pos + w.size();
        bool whole;
        if (pos == 0 && end == t.size()) return n == 1 ? 0 : -1;
        if (pos == 0) whole = Boundary(t[end]);
        else if (end == t.size()) whole = Boundary(t[pos - 1]);
        else whole = Boundary(t[pos - 1]) && Boundary(t[end]);
        if (whole && ++count == n) return ToInt(pos);
    }
    return -1;
}

void CStringUtils::FindOccurrencePair(const CString& text, const CString& open, const CString& close, int n,
                                      int& openPos, int& closePos) {
    openPos = closePos = -1;
    std::string_view t = text.view();
    std::string_view o = open.view();
    std::string_view c = close.view();
    // Empty markers would pair with themselves at every index; they mark nothing.
    if (n < 1 || o.empty() || c.empty()) return;
    std::size_t p = t.find(o);
    int count = 0;
    while (p != std::string_view::npos) {
        std::size_t q = t.find(c, p + o.size());
        if (q == std::string_view::npos) return;
        // The innermost opener before this closer is the one it pairs with.
        std::size_t inner = t.substr(p + o.size(), q - p - o.size()).rfind(o);
        if (inner != std::string_view::npos) p = p + o.size() + inner;
        if (++count == n) {
            openPos = ToInt(p);
            closePos = ToInt(q);
            return;
        }
        p = t.find(o, q + c.size());
    }
}

POSITION CStringUtils::FindInList(const CString& text, const CStringList& list, bool caseSensitive) {
    // Both ends at once: hosts look up recent items, which sit at either end.
    POSITION head = list.GetHeadPosition();
    POSITION tail = list.GetTailPosition();
    for (int i = 0, j = list.GetCount() - 1; i <= j; ++i, --j) {
        POSITION front = head;
        if (Equal(list.GetNext(head), text, caseSensitive)) return front;
        if (i == j) break;
        POSITION back = tail;
        if (Equal(list.GetPrev(tail), text, caseSensitive)) return back;
    }
    return nullptr;
}

// ---- Lists ----

void CStringUtils::LineUp(CStringList& lines, const CString& sub, int n, bool caseSensitive) {
    if (sub.IsEmpty() || n == 0 || lines.IsEmpty()) return;
    std::vector<int> columns;
    columns.reserve(static_cast<std::size_t>(lines.GetCount()));
    int target = -1;
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
        int c = FindOccurrenceIndex(lines.GetNext(pos), sub, n, caseSensitive);
        columns.push_back(c);
        if (c > target) target = c;
    }
    if (target <= 0) return;
    std::size_t i = 0;
    for (POSITION pos = lines.GetHeadPosition(); pos; ++i) {
        CString& line = lines.GetNext(pos);
        int c = columns[i];
        if (c >= 0 && c < target) line.str().insert(static_cast<std::size_t>(c), static_cast<std::size_t>(target - c), ' ');
    }
}

bool CStringUtils::RemoveDuplicates(CStringList& list, bool caseSensitive) {
    // Keeping the first of each equal group in one pass gives the same list as comparing
    // every element with every later one, without the quadratic cost.
    std::unordered_set<std::string> seen;
    seen.reserve(static_cast<std::size_t>(list.GetCount()));
    bool removed = false;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        POSITION at = pos;
        const CString& item = list.GetNext(pos);
        bool fresh = caseSensitive ? seen.insert(item.str()).second : seen.insert(Lowered(item.view())).second;
        if (!fresh) {
            list.RemoveAt(at);
            removed = true;
        }
    }
    return removed;
}

void CStringUtils::SplitLine(const CString& text, const CString& delimiter, CStringArray& pieces) {
    std::string_view t = text.view();
    std::string_view d = delimiter.view();
    std::size_t pos = d.empty() ? std::string_view::npos : t.find(d);
    if (pos == std::string_view::npos) {
        pieces.Add(text);
        return;
    }
    std::size_t from = 0;
    for (; pos != std::string_view::npos; pos = t.find(d, from)) {
        pieces.Add(CString(t.substr(from, pos - from)));
        from = pos + d.size();
    }
    pieces.Add(CString(t.substr(from)));
}

void CStringUtils::ConvertArrayToList(const CStringArray* from, CStringList* to) {
    if (!from) return LogSite("{8E3249C0-053D-487A-9902-90A1BAA2B262}");
    if (!to) return LogSite("{BD9ADFBF-D92F-4A44-A829-19D4AD1F754D}");
    to->RemoveAll();
    for (int i = 0; i < from->GetSize(); ++i) to->AddTail((*from)[i]);
}

void CStringUtils::ConvertListToArray(const CStringList* from, CStringArray* to) {
    if (!to) return LogSite("{371991FC-7718-4B36-B344-71232BCEB5AB}");
    if (!from) return LogSite("{A75F5F54-CCDB-424C-ADFF-B481274B7777}");
    to->SetSize(0);
    to->SetSize(from->GetCount());
    int i = 0;
    for (POSITION pos = from->GetHeadPosition(); pos; ++i) to->SetAt(i, from->GetNext(pos));
}

}  // namespace vutil
