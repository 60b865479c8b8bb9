// CHTMLUtils: HTML character entities, the extensions a link may carry, and paths as
// links between pages.

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

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

// The entity keys in table order, so that each has a small number.
struct EntityKeys {
    std::vector<std::string_view> keys;
    std::vector<char> values;
    std::size_t longest = 0;

    EntityKeys() {
        for (const auto& [key, value] : Entities()) {
            keys.emplace_back(key);
            values.push_back(value);
            longest = std::max(longest, key.size());
        }
    }
    int Find(std::string_view candidate) const {
        auto it = std::lower_bound(keys.begin(), keys.end(), candidate);
        return it != keys.end() && *it == candidate ? static_cast<int>(it - keys.begin()) : -1;
    }
};

const EntityKeys& Keys() {
    static const auto* keys = new EntityKeys();
    return *keys;
}

// Entity decoding in one pass. The rule decodes the leftmost "&...;" candidate, replaces
// every occurrence of it in the whole text at once, and starts again; done literally,
// a chain such as "&amp;amp;amp;..." costs a pass over the text per level. Here the text
// stays in place: a replaced entity keeps its first byte (the value) and the rest is
// marked deleted, the scan never goes back further than the last open "&", and every
// entity that could be hit by a later "replace all" is kept on a per-key list, so a
// replacement touches only its own occurrences. The result is the literal rule's.
class EntityDecoder {
public:
    enum Mode { kValue, kRemove, kBlank };

    EntityDecoder(std::string& s, Mode mode)
        : m_s(s), m_n(static_cast<std::uint32_t>(s.size())), m_mode(mode), m_keys(Keys()),
          m_lists(m_keys.keys.size()) {}

    void Run() {
        IndexAll();
        std::vector<std::uint32_t> amps;  // every "&" since the last rejected candidate
        for (std::uint32_t i = Next(0); i <= m_n;) {
            const char c = At(i);
            if (c == '&') {
                amps.push_back(i);
            } else if (c == ';' && !amps.empty()) {
                const std::uint32_t p = amps.back();
                char buf[12];
                std::size_t len = 0;
                for (std::uint32_t j = p;; j = Next(j)) {
                    if (len == sizeof buf - 1) return Finish();  // longer than 10 after its "&": decoding ends
                    buf[len++] = At(j);
                    if (j == i) break;
                }
                const int id = m_keys.Find(std::string_view(buf, len));
                if (id < 0) {
                    amps.clear();
                    i = Next(i);
                    continue;
                }
                ReplaceAll(id, p);
                amps.pop_back();
                i = First(p);  // the value may begin or end a new entity
                continue;
            }
            i = Next(i);
        }
        Finish();
    }

private:
    // Positions are 1-based; 0 and n + 1 are sentinels that are never deleted.
    char At(std::uint32_t i) const { return m_s[i - 1]; }
    char& At(std::uint32_t i) { return m_s[i - 1]; }
    bool Alive(std::uint32_t i) const { return m_next.empty() || m_next[i] == i; }

    // The first position at or after i that is not deleted.
    std::uint32_t First(std::uint32_t i) {
        if (m_next.empty()) return i;
        while (m_next[i] != i) {
            m_next[i] = m_next[m_next[i]];
            i = m_next[i];
        }
        return i;
    }
    // The last position at or before i that is not deleted.
    std::uint32_t Last(std::uint32_t i) {
        if (m_prev.empty()) return i;
        while (m_prev[i] != i) {
            m_prev[i] = m_prev[m_prev[i]];
            i = m_prev[i];
        }
        return i;
    }
    std::uint32_t Next(std::uint32_t i) { return First(i + 1); }
    std::uint32_t Prev(std::uint32_t i) { return Last(i - 1); }

    void Delete(std::uint32_t i) {
        if (m_next.empty()) {
            m_next.resize(std::size_t{m_n} + 2);
            m_prev.resize(std::size_t{m_n} + 2);
            for (std::uint32_t k = 0; k <= m_n + 1; ++k) m_next[k] = m_prev[k] = k;
        }
        m_next[i] = i + 1;
        m_prev[i] = i - 1;
    }

    // Every complete candidate of the text that is a key, on its key's list.
    void IndexAll() {
        std::uint32_t open = 0;
        for (std::uint32_t i = 1; i <= m_n; ++i) {
            const char c = At(i);
            if (c == '&') {
                open = i;
            } else if (c == ';' && open) {
                if (i - open + 1 <= m_keys.longest) {
                    const int id = m_keys.Find(std::string_view(&At(open), i - open + 1));
                    if (id >= 0) m_lists[static_cast<std::size_t>(id)].push_back(open);
                }
                open = 0;
            }
        }
    }

    // The key's text starts at x (and so is a whole candidate: keys hold no inner "&" or ";").
    bool Holds(std::uint32_t x, std::string_view key) {
        if (x < 1 || x > m_n || !Alive(x)) return false;
        std::uint32_t j = x;
        for (std::size_t k = 0; k < key.size(); ++k, j = Next(j))
            if (j > m_n || At(j) != key[k]) return false;
        return true;
    }

    void ReplaceAll(int id, std::uint32_t current) {
        const std::string_view key = m_keys.keys[static_cast<std::size_t>(id)];
        std::vector<std::uint32_t>& list = m_lists[static_cast<std::size_t>(id)];
        std::vector<std::uint32_t> hits;
        hits.reserve(list.size() + 1);
        hits.push_back(current);
        for (std::uint32_t x : list)
            if (x != current && Holds(x, key)) hits.push_back(x);
        list.clear();
        std::sort(hits.begin(), hits.end());
        hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
        for (std::uint32_t x : hits) {
            std::uint32_t j = x;
            for (std::size_t k = 0; k < key.size(); ++k) {
                const std::uint32_t after = Next(j);
                if (m_mode == kBlank) At(j) = ' ';
                else if (k == 0 && m_mode == kValue) At(j) = m_keys.values[static_cast<std::size_t>(id)];
                else Delete(j);
                j = after;
            }
        }
        // Spaces never complete a key, so blanking makes no new candidates worth a list.
        if (m_mode == kBlank) return;
        for (std::uint32_t x : hits) IndexAround(x);
    }

    // A key that a replacement at x completed goes on its list.
    void IndexAround(std::uint32_t x) {
        const std::uint32_t limit = static_cast<std::uint32_t>(m_keys.longest);
        std::uint32_t left, right;  // the nearest bytes on each side that the scan starts from
        if (Alive(x)) {
            left = right = x;
        } else {
            left = Prev(x);
            right = Next(x);
        }
        std::uint32_t start = 0, end = 0, steps = 0;
        for (std::uint32_t j = left; j >= 1 && steps < limit; j = Prev(j), ++steps) {
            const char c = At(j);
            if (c == '&') {
                start = j;
                break;
            }
            if (c == ';' && j != right) return;
        }
        if (!start) return;
        steps = 0;
        for (std::uint32_t j = right; j <= m_n && steps < limit; j = Next(j), ++steps) {
            const char c = At(j);
            if (c == ';') {
                end = j;
                break;
            }
            if (c == '&' && j != start) return;
        }
        if (!end) return;
        char buf[16];
        std::size_t len = 0;
        for (std::uint32_t j = start;; j = Next(j)) {
            if (len == limit) return;
            buf[len++] = At(j);
            if (j == end) break;
        }
        const int id = m_keys.Find(std::string_view(buf, len));
        if (id >= 0) m_lists[static_cast<std::size_t>(id)].push_back(start);
    }

    void Finish() {
        if (m_next.empty()) return;
        std::size_t w = 0;
        for (std::uint32_t i = First(1); i <= m_n; i = Next(i)) m_s[w++] = At(i);
        m_s.resize(w);
    }

    std::string& m_s;
    std::uint32_t m_n;
    Mode m_mode;
    const EntityKeys& m_keys;
    std::vector<std::vector<std::uint32_t>> m_lists;  // candidate starts per key; some may be stale
    std::vector<std::uint32_t> m_next, m_prev;        // deleted positions link onwards; empty until one is
};

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
    if (text.view().find('&') == npos) return;
    EntityDecoder(text.str(), blank ? EntityDecoder::kBlank : remove ? EntityDecoder::kRemove : EntityDecoder::kValue)
        .Run();
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
