// CHTMLUtils: anchors a page offers, the anchor part of a link, text between tags and
// a page's base address.

#include <string>
#include <string_view>

#include "vutil/core/app_logger.h"
#include "vutil/files/file_utils.h"
#include "vutil/web/html_scan_internal.h"
#include "vutil/web/html_utils.h"

namespace vutil {

using namespace html_detail;

namespace {

// The name given by attribute `attr` (" name" or " id") of a lower-cased tag, or nothing.
bool AnchorName(std::string_view lowerTag, std::string_view tag, std::size_t a, std::string_view attr,
                std::string_view& name) {
    std::size_t p = 0, q = 0;
    if (!FirstPair(lowerTag, attr, "=", p, q) || p < a) return false;
    if (!OnlyBlanksBetween(lowerTag, p + attr.size() - 1, q - 1)) return false;
    std::string_view rest = TrimView(tag.substr(q + 1));
    // A quoted name runs to its closing quote; single quotes count as well as double.
    char end = ' ';
    if (rest.size() > 1 && (rest[0] == '"' || rest[0] == '\'')) {
        end = rest[0];
        rest.remove_prefix(1);
    }
    std::size_t stop = rest.find(end);
    if (stop == npos) {
        name = {};
        return true;  // the attribute is there, its name is not taken
    }
    name = rest.substr(0, stop);
    return true;
}

}  // namespace

int CHTMLUtils::GetAnchorIndex(const CString& link) {
    std::string_view l = link.view();
    std::size_t p = 0, q = 0;
    if (FirstPair(l, ".", "#", p, q)) {
        TextArray pages;
        GetSupportedHTMLFiles(pages, false);
        // The look-up leaves its options stored, as every option-taking TextArray call does.
        TextArray::m_bCaseSensitive = false;
        TextArray::m_bFilePaths = false;
        TextArray::m_bIncludeFileDirs = true;
        bool found = false;
        pages.Find(CString(l.substr(p + 1, q - p - 1)), false, found);
        return found ? static_cast<int>(q) : -1;
    }
    std::size_t i = 0;
    while (i < l.size() && Blank(l[i])) ++i;
    return i < l.size() && l[i] == '#' ? static_cast<int>(i) : -1;
}

void CHTMLUtils::GetAnchors(const TextArray& lines, TextArray& anchors, bool& hadDuplicates) {
    hadDuplicates = false;
    std::string lower;
    for (const CString& item : lines) {
        std::string_view line = item.view();
        if (AllBlank(line)) continue;
        LowerInto(line, lower);
        if (lower.find("<a") == npos) continue;
        // Tags are found on the lower-cased line; the same positions hold in the line.
        std::size_t at = 0;
        while (true) {
            std::size_t lt = lower.find('<', at);
            if (lt == npos) break;
            if (lt + 1 == lower.size() || lower[lt + 1] == '/') {
                at = lt + 1;
                continue;
            }
            std::size_t gt = lower.find('>', lt);
            if (gt == npos) break;
            at = gt + 1;
            std::string_view lowerTag = std::string_view(lower).substr(lt, gt - lt + 1);
            std::string_view tag = line.substr(lt, gt - lt + 1);
            std::size_t a = lowerTag.find("<a");
            if (a == npos) continue;
            std::string_view name;
            if (AnchorName(lowerTag, tag, a, " name", name) || AnchorName(lowerTag, tag, a, " id", name)) {
                if (!name.empty()) anchors.Add(CString(name));
            }
        }
    }
    if (anchors.GetCount() < 2) return;
    anchors.Sort(true, false, false, true);
    const std::vector<CString>& items = anchors.Items();
    std::vector<CString> kept;
    kept.reserve(items.size());
    for (const CString& s : items)
        if (kept.empty() || kept.back().CompareNoCase(s) != 0) kept.push_back(s);
    if (kept.size() < items.size()) {
        hadDuplicates = true;
        anchors.DeleteAll();
        anchors.CopyFromVector(kept);
    }
}

void CHTMLUtils::ParseTextBetweenHTMLTags(const TextArray& lines, const CString& openTag, const CString& closeTag,
                                          TextArray& texts) {
    if (openTag.IsEmpty() || closeTag.IsEmpty()) return;
    std::string open, close, lower;
    LowerInto(openTag.view(), open);
    LowerInto(closeTag.view(), close);
    bool inElement = false;
    auto afterTagEnd = [](std::string_view s) {
        std::size_t gt = s.find('>');
        return gt == npos ? s : s.substr(gt + 1);
    };
    auto beforeTag = [](std::string_view s) {
        std::size_t lt = s.find('<');
        return lt == npos ? s : s.substr(0, lt);
    };
    for (const CString& item : lines) {
        LowerInto(item.view(), lower);
        std::string_view line = item.view();
        std::string_view low = lower;
        while (true) {
            std::size_t s = low.find(open);
            std::size_t e = low.find(close);
            if (e == npos) {
                if (s != npos) {
                    std::string_view t = afterTagEnd(line.substr(s + open.size()));
                    if (!t.empty()) texts.Add(CString(t));
                    inElement = true;
                } else if (inElement && !line.empty()) {
                    texts.Add(CString(line));
                }
                break;
            }
            std::string_view t = s != npos && s < e ? beforeTag(afterTagEnd(line.substr(s + open.size(), e - s - open.size())))
                                                    : beforeTag(line.substr(0, e));
            if (!t.empty()) texts.Add(CString(t));
            inElement = false;
            line.remove_prefix(e + close.size());
            low.remove_prefix(e + close.size());
        }
    }
}

CString CHTMLUtils::GetHTMLBasePath(const CString& path) {
    TextArray lines;
    ReadPage(path, lines);
    if (lines.IsEmpty()) {
        if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine("{3DAE8B49-E4D8-4709-A0DF-C04F9C20E677}");
        return CString();
    }
    return GetHTMLBasePathFromLines(lines);
}

CString CHTMLUtils::GetHTMLBasePathFromLines(const TextArray& lines) {
    for (const CString& item : lines) {
        std::string_view line = item.view();
        if (line.find("</head>") != npos) return CString();
        std::size_t p = 0, q = 0;
        if (!FirstPair(line, "base", "href", p, q) || !OnlyBlanksBetween(line, p + 3, q - 1)) continue;
        std::string_view rest = TrimView(line.substr(q + 4));
        if (rest.empty() || rest[0] != '=') continue;
        std::string_view value = TrimView(RawValue(TrimView(rest.substr(1))));
        if (!value.empty()) return CString(value);
    }
    return CString();
}

}  // namespace vutil
