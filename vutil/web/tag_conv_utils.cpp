// CTagConvUtils: template tags replaced by values, optional blocks, marked regions.

#include "vutil/web/tag_conv_utils.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "vutil/dates/date_time.h"
#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"
#include "vutil/web/html_scan_internal.h"

namespace vutil {

using namespace html_detail;

const CString CTagConvUtils::TAG_BACKLINK("{BACKLINK_TO}");
const CString CTagConvUtils::TAG_FORWARDLINK("{FORWARDLINK_TO}");
const CString CTagConvUtils::TAG_IMAGE_FILENAME("{IMAGE_FILENAME}");
const CString CTagConvUtils::TAG_IMAGE_FILE("{IMAGE_FILE}");
const CString CTagConvUtils::TAG_IMAGE_WIDTH("{IMAGE_WIDTH}");
const CString CTagConvUtils::TAG_IMAGE_HEIGHT("{IMAGE_HEIGHT}");

namespace {

bool Occurs(const CString& text, const CString& what) { return !what.IsEmpty() && text.Find(what) >= 0; }

// Replaces every occurrence; an empty tag or marker names nothing.
void ReplaceAll(CString& text, const CString& what, const CString& with) {
    if (!what.IsEmpty()) text.Replace(what, with);
}

}  // namespace

bool CTagConvUtils::HaveAnyTag(const CString& text) {
    const int open = text.Find('{');
    if (open < 0 || text.Find('}', open) < 0) return false;
    const int c = Signed(text[open + 1]);
    return open + 1 < text.GetLength() && !CStringUtils::IsSpace(c) && CStringUtils::IsUpper(c);
}

void CTagConvUtils::RemoveAllTags(CString& text, bool useNbsp, const CStringList& tags) {
    if (CStringUtils::IsEffectivelyEmpty(text) || !HaveAnyTag(text)) return;
    const CString with = useNbsp ? CString("&nbsp;") : CString();
    for (POSITION pos = tags.GetHeadPosition(); pos;) {
        const CString& tag = tags.GetNext(pos);
        if (!Occurs(text, tag)) continue;
        text.Replace(tag, with);
        if (!HaveAnyTag(text)) return;
    }
}

void CTagConvUtils::RemoveAllTags(CString& text, bool useNbsp, const std::map<CString, CString>& tags) {
    if (CStringUtils::IsEffectivelyEmpty(text) || !HaveAnyTag(text)) return;
    const CString with = useNbsp ? CString("&nbsp;") : CString();
    for (const auto& entry : tags) {
        if (!Occurs(text, entry.first)) continue;
        text.Replace(entry.first, with);
        if (!HaveAnyTag(text)) return;
    }
}

void CTagConvUtils::ReplaceTag(CString& text, const CString& tag, const CString& value) {
    if (Occurs(text, tag)) text.Replace(tag, value);
}

void CTagConvUtils::ReplaceTag(CString& text, const CString& tag, int n, bool group) {
    if (Occurs(text, tag)) text.Replace(tag, CNumberTextConv::NumberToString(n, group, 0, CString()));
}

void CTagConvUtils::ReplaceTag(CString& text, const CString& tag, double v, int digits, bool currency, bool group) {
    if (Occurs(text, tag)) text.Replace(tag, CNumberTextConv::DoubleToString(v, digits, currency, 0, CString(), group));
}

void CTagConvUtils::ReplaceTag(CString& text, const CString& tag, const DateTime& when, bool textual) {
    if (!Occurs(text, tag)) return;
    text.Replace(tag, when.IsValid() ? DateTime::ConvertDateToText(when, false, false, false, !textual) : CString());
}

void CTagConvUtils::ReplaceTagEmptyIfZero(CString& text, const CString& tag, int n, bool group) {
    if (n < 1) ReplaceTag(text, tag, CString());
    else ReplaceTag(text, tag, n, group);
}

void CTagConvUtils::ReplaceTagIfEmpty(CString& text, const CString& tag, const CString& value,
                                      const CString& fallback) {
    ReplaceTag(text, tag, value.IsEmpty() ? fallback : value);
}

void CTagConvUtils::ReplaceTagYesNo(CString& text, const CString& tag, bool yes) {
    ReplaceTag(text, tag, CString(yes ? "Y" : "N"));
}

void CTagConvUtils::ReplaceTitleTag(CString& text, const CString& tag, const CString& title) {
    if (!Occurs(text, tag)) return;
    if (!title.IsEmpty()) text.Replace(tag, title);
    else ReplaceHREFEmptyString(text, tag);
}

namespace {

// The pair walk of FindOccurrencePair on lower-cased text, one pair at a time: the first
// "<a " at or after from, the first "/a>" after it, and the innermost "<a " between.
bool NextLinkElement(std::string_view lower, std::size_t from, std::size_t& p, std::size_t& q) {
    p = lower.find("<a ", from);
    if (p == npos) return false;
    q = lower.find("/a>", p + 3);
    if (q == npos) return false;
    const std::size_t inner = lower.substr(p + 3, q - p - 3).rfind("<a ");
    if (inner != npos) p = p + 3 + inner;
    return true;
}

// A tag that can cover part of an element's own "<a " or its closing "/" changes how the
// elements after it pair up once replaced.
bool MayCoverLinkMarker(std::string_view tag) {
    const char c = tag.front();
    return c == '<' || c == ' ' || tag.back() == '/' || ((c == 'a' || c == 'A') && (tag.size() == 1 || tag[1] == ' '));
}

// Counts the elements afresh after each replacement: right for every tag, quadratic in
// the number of elements.
void ReplaceHREFEmptyStringByCount(CString& text, const CString& tag) {
    CString lower(text);
    lower.MakeLower();
    for (int n = 1;; ++n) {
        int p = -1, q = -1;
        CStringUtils::FindOccurrencePair(lower, "<a ", "/a>", n, p, q);
        if (p < 0) {
            text.Replace(tag, CString());
            return;
        }
        const int first = text.Find(tag);
        if (first < p || first > q) continue;
        CString element = text.Mid(p, q - p + 1);
        element.Replace(tag, CString("(none)"));
        text = text.Left(p) + element + text.Mid(q + 1);
        lower = text;
        lower.MakeLower();
    }
}

}  // namespace

void CTagConvUtils::ReplaceHREFEmptyString(CString& text, const CString& tag) {
    // Inside a link element an empty title would leave nothing to click: it gets a word.
    if (tag.IsEmpty()) return;
    const std::string_view t = tag.view();
    if (MayCoverLinkMarker(t)) return ReplaceHREFEmptyStringByCount(text, tag);
    // Otherwise a replacement leaves every "<a " and "/a>" where it was, so the elements
    // after it are the ones that followed it before: one walk, the text rebuilt once.
    CString lowered(text);
    lowered.MakeLower();
    const std::string_view in = text.view(), lower = lowered.view();
    std::string out;
    std::size_t copied = 0;                 // in[0, copied) is in out, with its replacements
    std::size_t first = in.find(t);         // the tag's first place in the current text
    for (std::size_t from = 0, p, q; first != npos && NextLinkElement(lower, from, p, q); from = q + 3) {
        if (first < p) break;  // outside every element from here on
        if (first > q) continue;
        CString e(in.substr(p, q - p + 1));
        e.Replace(tag, CString("(none)"));
        out.append(in, copied, p - copied);
        out += e.view();
        copied = q + 1;
        // The first place now: one that reaches into the new element, else a later one.
        const std::size_t back = std::min(p, t.size() - 1);
        std::string window(in.substr(p - back, back));
        window += e.view();
        window.append(in.substr(q + 1, t.size() - 1));
        const std::size_t w = window.find(t);
        if (w != npos && w < back + e.view().size()) break;  // before every later element
        first = in.find(t, q + 1);
    }
    if (copied == 0) {
        text.Replace(tag, CString());
        return;
    }
    out.append(in, copied, npos);
    CString result(std::move(out));
    result.Replace(tag, CString());
    text = std::move(result);
}

void CTagConvUtils::ReplaceURLBlock(CStringList& lines, const CString& startMarker, const CString& endMarker,
                                    const CString& tag, const CString& url) {
    if (url.IsEmpty()) {
        CStringUtils::ReplaceTextBlock(lines, startMarker, endMarker, CString(), false);
        return;
    }
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
        CString& line = lines.GetNext(pos);
        if (!HaveAnyTag(line)) continue;
        ReplaceAll(line, tag, url);
        ReplaceAll(line, startMarker, CString());
        ReplaceAll(line, endMarker, CString());
    }
}

bool CTagConvUtils::ReplaceImageBlock(CStringList& lines, const CString& startMarker, const CString& endMarker,
                                      const CString& imageFile, int width, int height) {
    if (startMarker.IsEmpty() || endMarker.IsEmpty()) return false;
    if (imageFile.IsEmpty()) {
        CStringUtils::ReplaceTextBlock(lines, startMarker, endMarker, CString(), false);
        return false;
    }
    auto size = [](int v) {
        CString s;
        if (v >= 1) s.Format("%d", v);
        return s;
    };
    bool replaced = false;
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
        CString& line = lines.GetNext(pos);
        if (!HaveAnyTag(line)) continue;
        replaced |= line.Replace(TAG_IMAGE_FILENAME, imageFile) > 0;
        replaced |= line.Replace(TAG_IMAGE_FILE, imageFile) > 0;
        line.Replace(TAG_IMAGE_WIDTH, size(width));
        line.Replace(TAG_IMAGE_HEIGHT, size(height));
        line.Replace(startMarker, CString());
        line.Replace(endMarker, CString());
    }
    return replaced;
}

void CTagConvUtils::ParseHTMLBetweenTags(CStringList& lines, const CString& startTag, const CString& endTag,
                                         CStringList& cut, int& index) {
    index = -1;
    if (startTag.IsEmpty() || endTag.IsEmpty()) return;
    bool inRegion = false;
    int i = 0;
    for (POSITION pos = lines.GetHeadPosition(); pos; ++i) {
        POSITION at = pos;
        CString& line = lines.GetNext(pos);
        int s = -1, e = -1;
        if (HaveAnyTag(line)) {
            s = line.Find(startTag);
            e = s >= 0 ? line.Find(endTag, s + startTag.GetLength()) : line.Find(endTag);
        }
        if (s >= 0 && e >= 0) {
            cut.AddTail(line.Mid(s + startTag.GetLength(), e - s - startTag.GetLength()));
            line = line.Left(s) + line.Mid(e + endTag.GetLength());
            index = i;
            return;
        }
        if (s >= 0) {
            CString after = line.Mid(s + startTag.GetLength());
            if (!after.IsEmpty()) cut.AddTail(after);
            index = i;
            inRegion = true;
            if (s == 0) {
                lines.RemoveAt(at);
                --i;
            } else {
                line = line.Left(s);
            }
            continue;
        }
        if (e >= 0) {
            if (e > 0) cut.AddTail(line.Left(e));
            CString after = line.Mid(e + endTag.GetLength());
            if (after.IsEmpty()) lines.RemoveAt(at);
            else line = after;
            return;
        }
        if (inRegion) {
            cut.AddTail(line);
            lines.RemoveAt(at);
            --i;
        }
    }
}

void CTagConvUtils::FindHTMLSelectorSurroundingTag(const CString& text, const CString& selector, int& start,
                                                   int& end) {
    start = end = -1;
    if (text.IsEmpty() || selector.IsEmpty()) return;
    const int at = text.Find(selector);
    if (at < 0) return;
    int open = at;
    while (open > 0 && text[open] != '<') --open;
    if (text[open] != '<') return;
    const int slash = text.Find('/', at + selector.GetLength());
    if (slash < 0 || slash == text.GetLength() - 1) return;
    const int close = text.Find('>', slash);
    if (close < 0) return;
    start = open;
    end = close;
}

void CTagConvUtils::RemoveHTMLSurroundTag(CString& text, const CString& selector) {
    int start = -1, end = -1;
    FindHTMLSelectorSurroundingTag(text, selector, start, end);
    if (start < 0) return;
    // Only the opening tag goes; the enclosed text and the closing tag stay.
    CStringList range;
    range.AddTail(text.Mid(start, end - start + 1));
    CStringUtils::ReplaceTextBlock(range, "<", ">", CString(), false);
    CString inner = range.IsEmpty() ? CString() : range.GetHead();
    CStringUtils::Trim(inner);
    text = text.Left(start) + inner + text.Mid(end + 1);
}

}  // namespace vutil
