// CHTMLUtils: link extraction from pages, style sheets, server scripts and feeds.
//
// A page is walked once: each line is scanned for tags in place, and only the tags
// whose name carries a link are copied out, so the work stays linear in the page size
// whatever the markup looks like.

#include <set>
#include <string>
#include <string_view>

#include "vutil/core/app_logger.h"
#include "vutil/files/file_utils.h"
#include "vutil/web/html_scan_internal.h"
#include "vutil/web/html_utils.h"
#include "vutil/web/internet_utils.h"

namespace vutil {

using namespace html_detail;

namespace {

struct LinkTag {
    std::string_view prefix;
    bool isLinkTag;
    std::string_view attributes[4];
};

// Tag prefixes (lower case, with the blank that ends the name) and the attributes tried.
constexpr LinkTag kLinkTags[] = {
    {"a ", true, {"href"}},
    {"area ", true, {"href"}},
    {"applet ", true, {"code"}},
    {"base ", false, {"href"}},
    {"embed ", true, {"src"}},
    {"form ", false, {"action"}},
    {"frame ", true, {"src"}},
    {"head ", true, {"profile"}},
    {"html ", true, {"xmlns"}},
    {"img ", true, {"src"}},
    {"input ", false, {"src", "value"}},
    {"link ", true, {"href"}},
    {"meta ", false, {"content"}},
    {"object ", false, {"archive", "classid", "codebase", "data"}},
    {"param ", false, {"value"}},
    {"script ", true, {"src"}},
};

const LinkTag* FindLinkTag(std::string_view tag) noexcept {
    const char first = LowerChar(tag[0]);
    for (const LinkTag& t : kLinkTags)
        if (t.prefix[0] == first && StartsNoCase(tag, t.prefix)) return &t;
    return nullptr;
}

// The n-th double-quoted string of a value, walked once for all n.
template <class F>
void ForEachQuoted(std::string_view value, F&& f) {
    std::size_t at = 0;
    while (true) {
        std::size_t open = value.find('"', at);
        if (open == npos) return;
        std::size_t close = value.find('"', open + 1);
        if (close == npos) return;
        f(value.substr(open + 1, close - open - 1));
        at = close + 1;
    }
}

CString FileExt(std::string_view value) { return CFileUtils::GetFileExt(CString(value)); }

// Lower-cased copy of the tag being examined, kept between calls to spare allocations.
thread_local std::string t_lowerTag;

// ParseURLFromTagAttribute on a view.
CString AttributeLink(std::string_view tag, std::string_view attribute, bool isLinkTag, bool includeUnverified,
                      TextArray& extraLinks) {
    extraLinks.DeleteAll();
    LowerInto(tag, t_lowerTag);
    std::size_t p = 0, q = 0;
    if (!FirstPair(t_lowerTag, attribute, "=", p, q)) return CString();
    if (!OnlyBlanksBetween(t_lowerTag, p + attribute.size() - 1, q - 1)) return CString();

    std::string_view rest = TrimView(tag.substr(q + 1));
    if (rest.empty()) return CString();
    std::string_view value = TrimView(RawValue(rest));
    if (value.empty() || StartsNoCase(value, "mailto:")) return CString();

    if (attribute == "content") {
        std::size_t u = 0, e = 0;
        if (FirstPair(value, "url", "=", u, e) && OnlyBlanksBetween(value, u + 2, e - 1))
            return CString(TrimView(value.substr(e + 1)));
        if (Contains(value, "pics-")) {
            bool any = false;
            std::string_view current;
            ForEachQuoted(value, [&](std::string_view s) {
                if (!any) {
                    any = true;
                    current = s;
                } else if (!s.empty() && s != "#") {
                    extraLinks.Add(CString(current));
                    current = s;
                }
            });
            if (any) return CString(current);
        }
    }

    // A script call such as open('page.html') carries its target in single quotes.
    if (std::size_t a = value.find('\''); a != npos) {
        std::size_t b = value.find('\'', a + 1);
        if (b != npos) value = value.substr(a + 1, b - a - 1);
    }

    int dots = 0;
    bool hash = false, slash = false, open = false;
    const std::size_t firstClose = value.find(')');
    const bool canClose = firstClose != npos && value.find('.', firstClose + 1) != npos;
    for (char c : value) {
        if (c == '.') ++dots;
        else if (c == '#') hash = true;
        else if (c == '/') slash = true;
        else if (c == '(') open = true;
        else if (c == ')' && canClose) open = false;
    }
    if (open) return CString();

    const CString result(value);
    if (dots == 0) {
        if (!hash) return includeUnverified ? result : CString();
    } else if (dots == 1) {
        if (!StartsNoCase(value, "http")) {
            if (Contains(value, '@') && LinkValidExt(FileExt(value))) return CString();
            const bool pathLike = !Contains(value, ':') || Contains(value, ":/") || Contains(value, ":\\");
            if (!pathLike || !LinkValidExt(FileExt(value))) return CString();
        }
    } else if (!slash && !includeUnverified && !StartsNoCase(value, "www.")) {
        return CString();
    }

    if (slash && dots >= 1 && value.size() >= 2 && value.substr(value.size() - 2) == "./")
        return includeUnverified ? result : CString();
    if (!isLinkTag) {
        std::size_t ob = value.find('{'), cb = value.find('}');
        if (ob != npos && cb != npos && ob < cb) {
            bool lower = false;
            for (std::size_t i = ob + 1; i < cb && !lower; ++i) lower = CStringUtils::IsLower(Signed(value[i]));
            if (!lower) return CString();
        }
    }
    if (!hash && !CFileUtils::IsFile(result, true, true)) {
        CString site(result);
        if (!CInternetUtils::IsValidWebSiteAddress(site)) return includeUnverified ? result : CString();
    }
    return result;
}

// Where a link was found: the tag name (or the function or element) and the attribute.
struct Source {
    std::string_view tag;
    std::string_view attribute;
};

struct ArraySink {
    TextArray& links;
    void operator()(CString&& link, Source) { links.Add(std::move(link)); }
};

// ParseLink on a view: the tags are found in place and only link tags are examined.
template <class Sink>
void LinksOfLine(std::string_view text, Sink&& sink, bool includeUnverified, TextArray& extra) {
    std::size_t at = 0;
    while (true) {
        std::size_t lt = text.find('<', at);
        if (lt == npos) return;
        if (lt + 1 == text.size() || text[lt + 1] == '/') {
            at = lt + 1;
            continue;
        }
        std::size_t gt = text.find('>', lt);
        if (gt == npos) return;
        at = gt + 1;
        std::string_view tag = TrimView(text.substr(lt + 1, gt - lt));
        if (tag.size() < 7) continue;
        const LinkTag* kind = FindLinkTag(tag);
        if (!kind) continue;
        tag.remove_prefix(kind->prefix.size());
        const std::string_view name = kind->prefix.substr(0, kind->prefix.size() - 1);
        for (std::string_view attribute : kind->attributes) {
            if (attribute.empty()) break;
            CString value = AttributeLink(tag, attribute, kind->isLinkTag, includeUnverified, extra);
            for (const CString& e : extra) sink(CString(e), Source{name, attribute});
            if (!value.IsEmpty()) {
                if (value != "#") sink(std::move(value), Source{name, attribute});
                break;
            }
        }
    }
}

// ParseFunctionLinks on a view.
template <class Sink>
void FunctionLinks(std::string_view text, Sink&& sink, std::string_view function, std::string_view prefix) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::string_view rest = text.substr(at);
        std::size_t p = 0, q = 0;
        if (!FirstPair(rest, function, "(", p, q)) return;
        if (!AllBlank(rest.substr(p + function.size(), q - p - function.size()))) {
            at += q;  // continue from the "("
            continue;
        }
        std::string_view head = rest.substr(p, q - p + 1);
        std::size_t a = 0, b = 0;
        // A call whose "(" has no ")" after it ends the scan: nothing later can close it.
        if (!FirstPair(rest, head, ")", a, b)) return;
        std::string_view arg = TrimView(rest.substr(a + head.size(), b - a - head.size()));
        at += b;
        if (arg.size() < 2 || (arg.front() != '"' && arg.front() != '\'') ||
            (arg.back() != '"' && arg.back() != '\''))
            continue;
        arg = arg.substr(1, arg.size() - 2);
        if (!prefix.empty() && StartsNoCase(arg, prefix)) arg = TrimView(arg.substr(prefix.size()));
        if (!AllBlank(arg)) sink(CString(arg), Source{function, {}});
    }
}

template <class Sink>
void SpecialTagLinks(std::string_view text, Sink&& sink, std::string_view openTag, std::string_view closeTag) {
    std::size_t p = 0, q = 0;
    if (!FirstPair(text, openTag, closeTag, p, q)) return;
    std::string_view inner = TrimView(text.substr(p + openTag.size(), q - p - openTag.size()));
    if (!inner.empty()) sink(CString(inner), Source{openTag, {}});
}

// Comments are blanked line by line exactly as the text-block rules do it in blank mode:
// one case per line, the in-comment state carried to the next line.
class CommentBlanker {
public:
    // The line with its comment parts turned into spaces; `buffer` holds the copy when one
    // is needed.
    std::string_view Apply(std::string_view line, std::string& buffer) {
        const std::size_t s = line.find("<!--");
        const std::size_t e = line.find("-->");
        if (s == npos && e == npos && !m_inBlock) return line;
        buffer.assign(line);
        if (s != npos && e != npos && s < e) {
            std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(s),
                      buffer.begin() + static_cast<std::ptrdiff_t>(std::min(e + 3, buffer.size())), ' ');
        } else if (e != npos) {
            std::fill(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(std::min(e + 3, buffer.size())),
                      ' ');
            m_inBlock = false;
        } else if (s != npos) {
            std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(s), buffer.end(), ' ');
            m_inBlock = true;
        } else {
            std::fill(buffer.begin(), buffer.end(), ' ');
        }
        return buffer;
    }

private:
    bool m_inBlock = false;
};

// The page walk of ParseLinks; `lineNumber`, when given, follows the line being read.
template <class Sink>
void LinksOfPage(const TextArray& lines, const CString& extension, bool includeUnverified, Sink&& sink,
                 int* lineNumber = nullptr) {
    const bool css = extension.CompareNoCase("css") == 0;
    const bool php = extension.CompareNoCase("php") == 0;
    const bool xml = extension.CompareNoCase("xml") == 0;
    CommentBlanker comments;
    std::string buffer;
    TextArray extra;
    for (const CString& item : lines) {
        if (lineNumber) ++*lineNumber;
        std::string_view line = comments.Apply(item.view(), buffer);
        if (line.empty()) continue;
        if (css) {
            FunctionLinks(line, sink, "url", "");
            continue;
        }
        LinksOfLine(line, sink, includeUnverified, extra);
        if (php) {
            FunctionLinks(line, sink, "include", "");
            FunctionLinks(line, sink, "header", "Location:");
        } else if (xml) {
            SpecialTagLinks(line, sink, "<link>", "</link>");
            SpecialTagLinks(line, sink, "<guid>", "</guid>");
        }
    }
    // A page with a huge tag should not leave its copy behind for the life of the thread.
    if (t_lowerTag.capacity() > (1u << 20)) std::string().swap(t_lowerTag);
}

}  // namespace

// ---- Members ----

void CHTMLUtils::ParseLinks(const CString& path, TextArray& links, bool includeUnverified) {
    TextArray lines;
    ReadPage(path, lines);
    if (lines.IsEmpty()) {
        if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine("{7627D3D4-96D4-45D0-9F19-A45FC9EDC28D}");
        return;
    }
    ParseLinksFromLines(lines, CFileUtils::GetFileExt(path), links, includeUnverified);
}

void CHTMLUtils::ParseLinksFromLines(const TextArray& lines, const CString& extension, TextArray& links,
                                     bool includeUnverified) {
    LinksOfPage(lines, extension, includeUnverified, ArraySink{links});
}

void CHTMLUtils::ParseLinksWithSources(const TextArray& lines, const CString& extension, bool includeUnverified,
                                       std::vector<FoundLink>& found) {
    int lineNumber = 0;
    LinksOfPage(lines, extension, includeUnverified, [&](CString&& link, Source source) {
        found.push_back(FoundLink{std::move(link), CString(source.tag), CString(source.attribute), lineNumber});
    }, &lineNumber);
}

void CHTMLUtils::ParseLink(const CString& text, TextArray& links, bool includeUnverified) {
    if (text.IsEmpty()) {
        if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine("{373389CB-7BD7-43DF-A723-2C6A39843420}");
        return;
    }
    TextArray extra;
    LinksOfLine(text.view(), ArraySink{links}, includeUnverified, extra);
}

void CHTMLUtils::ParseHTMLTags(const CString& text, TextArray& tags) {
    if (text.IsEmpty()) {
        if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine("{373389CB-7BD7-43DF-A723-2C6A39843420}");
        return;
    }
    std::string_view t = text.view();
    std::size_t at = 0;
    while (true) {
        std::size_t lt = t.find('<', at);
        if (lt == npos) return;
        if (lt + 1 == t.size() || t[lt + 1] == '/') {
            at = lt + 1;
            continue;
        }
        std::size_t gt = t.find('>', lt);
        if (gt == npos) return;
        tags.Add(CString(t.substr(lt, gt - lt + 1)));
        at = gt + 1;
    }
}

CString CHTMLUtils::ParseURLFromTagAttribute(CString tag, const CString& attribute, bool isLinkTag,
                                             bool includeUnverified, TextArray& extraLinks) {
    return AttributeLink(tag.view(), attribute.view(), isLinkTag, includeUnverified, extraLinks);
}

bool CHTMLUtils::IsOnlyBlanks(const CString& text, int from, int to) {
    if (from < 0 || from > to) return false;
    if (from == to) return true;
    if (to >= text.GetLength()) return false;
    return OnlyBlanksBetween(text.view(), static_cast<std::size_t>(from), static_cast<std::size_t>(to));
}

void CHTMLUtils::ParseFunctionLinks(CString text, TextArray& links, const CString& function, const CString& prefix) {
    FunctionLinks(text.view(), ArraySink{links}, function.view(), prefix.view());
}

void CHTMLUtils::ParseSpecialTagLinks(CString text, TextArray& links, const CString& openTag,
                                      const CString& closeTag) {
    SpecialTagLinks(text.view(), ArraySink{links}, openTag.view(), closeTag.view());
}

void CHTMLUtils::GetSupportedHTMLFiles(TextArray& extensions, bool pagesOnly) {
    static constexpr const char* kPages[] = {"htm", "html", "shtm", "stm",  "shtml", "asp",  "jsp",
                                             "cfm", "php",  "php3", "php4", "php5",  "mspx", "xhtml"};
    for (const char* e : kPages) extensions.Add(CString(e));
    if (!pagesOnly) {
        extensions.Add(CString("xml"));
        extensions.Add(CString("css"));
    }
}

}  // namespace vutil
