// CHTMLUtils: HTML character entities, the extensions a link may carry, and paths as
// links between pages.

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "vutil/files/dir_utils.h"
#include "vutil/web/html_scan_internal.h"
#include "vutil/web/html_utils.h"
#include "vutil/web/top_level_domains_internal.h"

namespace vutil {

using namespace html_detail;

namespace {

// Entity text to its Windows-1252 byte; built once and only read afterwards.
const std::map<std::string, char, std::less<>>& Entities() {
    static const auto* table = [] {
        auto* m = new std::map<std::string, char, std::less<>>();
        const std::pair<const char*, unsigned char> named[] = {
            {"&nbsp;", 0x20},   {"&lt;", 0x3C},     {"&gt;", 0x3E},     {"&amp;", 0x26},    {"&quot;", 0x22},
            {"&apos;", 0x60},   {"&laquo;", 0x93},  {"&raquo;", 0x94},  {"&reg;", 0xAE},    {"&trade;", 0x99},
            {"&copy;", 0xA9},   {"&shy;", 0xAD},    {"&deg;", 0xB0},    {"&plusmin;", 0xB1}, {"&sup1;", 0xB9},
            {"&sup2;", 0xB2},   {"&sup3;", 0xB3},   {"&micro;", 0xB5},  {"&frac14;", 0xBC}, {"&frac12;", 0xBD},
            {"&frac34;", 0xBE}, {"&times;", 0xD7},  {"&divide;", 0xF7}, {"&mdash;", 0x97},  {"&ndash;", 0x96},
            {"&ldquo;", 0x93},  {"&rdquo;", 0x94},  {"&lsquo;", 0x91},  {"&rsquo;", 0x92},
            // Numeric references are known only in these exact spellings.
            {"&#09;", 0x09},    {"&#10;", 0x0A},    {"&#13;", 0x0D},    {"&#20;", 0x20},    {"&#149;", 0x95},
            {"&#151;", 0x97},   {"&#153;", 0x99},   {"&#215;", 0xD7},   {"&#247;", 0xF7},
        };
        for (const auto& [name, byte] : named) m->emplace(name, static_cast<char>(byte));
        auto numeric = [m](int from, int to) {
            for (int v = from; v <= to; ++v) m->emplace("&#" + std::to_string(v) + ";", static_cast<char>(v));
        };
        numeric(32, 126);
        numeric(160, 191);
        return m;
    }();
    return *table;
}

// Extensions longer than three characters that a link may still end in.
const std::set<std::string, std::less<>>& KnownExtensions() {
    static const auto* set = [] {
        auto* s = new std::set<std::string, std::less<>>();
        for (std::string_view d : web_internal::TopLevelDomains()) s->emplace(d);
        for (const char* e : {"jpeg", "mpeg", "aifc", "ascx", "aspx", "latex", "midi", "class", "movie", "mp2v",
                              "mpv2", "svgz", "wmdb", "x3dv", "x3dvz", "x3dz", "xfdf"})
            s->emplace(e);
        return s;
    }();
    return *set;
}

bool AllDigits(std::string_view s) noexcept {
    for (char c : s)
        if (!CStringUtils::IsDigit(Signed(c))) return false;
    return true;
}

// Components equal, without regard to case, from the front of both lists.
int CommonComponents(const CStringArray& a, const CStringArray& b) {
    int k = 0;
    while (k < a.GetSize() && k < b.GetSize() && a[k].CompareNoCase(b[k]) == 0) ++k;
    return k;
}

CString JoinFrom(const CStringArray& parts, int from) {
    CString out;
    for (int i = from; i < parts.GetSize(); ++i) {
        if (i > from) out += '/';
        out += parts[i];
    }
    return out;
}

}  // namespace

namespace html_detail {

bool LinkValidExt(const CString& extension) {
    std::string_view ext = extension.view();
    if (AllBlank(ext)) return false;
    const bool htm = ext.find("htm") != npos;
    if (ext.size() > 3 && !htm) {
        if (ext.back() == '/') ext.remove_suffix(1);
        return KnownExtensions().count(ext) != 0;
    }
    if (ext.size() < 6) {
        if (ext == "386") return true;
    } else if (ext.find('#') == npos) {
        return false;
    }
    if (AllDigits(ext)) return false;
    std::size_t digits = 0;
    while (digits < ext.size() && CStringUtils::IsDigit(Signed(ext[digits]))) ++digits;
    return !(digits > 0 && digits < ext.size() && ext[digits] == '!');
}

}  // namespace html_detail

bool CHTMLUtils::ParseLinkValidExt(const CString& extension) { return LinkValidExt(extension); }

void CHTMLUtils::ReplaceHTMLReservedChars(CString& text, bool remove, bool blank) {
    const auto& entities = Entities();
    std::string& s = text.str();
    // Text before the last rejected candidate holds no entity and is never changed by a
    // replacement, so a restart resumes there instead of at the beginning: same result.
    std::size_t resume = 0;
    while (true) {
        std::size_t p = s.find('&', resume);
        if (p == npos) return;
        std::size_t q = s.find(';', p + 1);
        if (q == npos) return;
        std::size_t inner = s.rfind('&', q);
        if (inner != npos && inner > p) p = inner;
        if (q - p > 10) return;
        std::string_view candidate = std::string_view(s).substr(p, q - p + 1);
        auto it = candidate.find(' ') == npos ? entities.find(candidate) : entities.end();
        if (it == entities.end()) {
            resume = q + 1;
            continue;
        }
        const std::string key = it->first;
        const std::string value = blank ? std::string(key.size(), ' ') : remove ? std::string() : std::string(1, it->second);
        // Every occurrence is replaced; none lies before p.
        std::string out;
        out.reserve(s.size());
        out.append(s, 0, p);
        std::size_t at = p;
        for (std::size_t f = s.find(key, at); f != npos; f = s.find(key, at)) {
            out.append(s, at, f - at);
            out += value;
            at = f + key.size();
        }
        out.append(s, at, npos);
        s.swap(out);
    }
}

CString CHTMLUtils::ConvertAbsToRelPathAsLink(const CString& target, const CString& fromFile) {
    if (target.IsEmpty() || fromFile.IsEmpty()) return CString();
    CStringArray to, from;
    CDirUtils::BreakUpDirs(target, to);
    CDirUtils::BreakUpDirs(fromFile, from);
    const int k = CommonComponents(to, from);
    if (k == to.GetSize() && k == from.GetSize()) return CString();
    if (k == 0) return target;
    const CString rest = JoinFrom(to, k);
    const int up = from.GetSize() - k - 1;
    if (up <= 0) return "./" + rest;
    CString link;
    for (int i = 0; i < up; ++i) link += "../";
    return link + rest;
}

CString CHTMLUtils::ConvertRelPathAsLinkToAbs(const CString& link, const CString& fromFile) {
    if (link.IsEmpty() || fromFile.IsEmpty()) return CString();
    CString path = CDirUtils::ParseParentDir(fromFile);
    CStringArray parts;
    CDirUtils::BreakUpDirs(link, parts);
    for (int i = 0; i < parts.GetSize(); ++i) {
        const CString& part = parts[i];
        if (part == ".") continue;
        if (part == "..") {
            path = CDirUtils::ParseParentDir(path);
            continue;
        }
        path += part;
        path += '\\';
    }
    CDirUtils::RemoveTrailingSlash(path);
    path.Replace('/', '\\');
    return path;
}

CString CHTMLUtils::GetServerPath(const CString& localPath, const CString& localRoot, const CString& serverRoot) {
    if (localPath.IsEmpty() || localRoot.IsEmpty() || serverRoot.IsEmpty()) return CString();
    CStringArray local, root;
    CDirUtils::BreakUpDirs(localPath, local);
    CDirUtils::BreakUpDirs(localRoot, root);
    const int k = CommonComponents(root, local);
    if (k == 0 || (k == local.GetSize() && k == root.GetSize())) return serverRoot;
    const CString rest = JoinFrom(local, k);
    CString server = serverRoot;
    for (int i = root.GetSize() - k; i > 0; --i) server = CDirUtils::ParseParentDir(server);
    CDirUtils::EnsureTrailingForwardSlash(server);
    return server + rest;
}

}  // namespace vutil
