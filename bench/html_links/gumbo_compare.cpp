// Link extraction speed and output: CHTMLUtils::ParseLinks's walk beside a link
// extractor written on gumbo (an HTML5 parser), over the same bytes in the same run.
//
//   gumbo_compare [--detail] <page>...     (run by bench/html_links_bench.sh)
//
// Both sides start from the page's bytes in memory: the library cuts them into lines
// (what the page reader hands it) and walks the lines; gumbo parses the bytes into a tree
// and the extractor walks the tree for the same tag/attribute pairs. Per page it prints
// how many links each finds and sorts every difference into the rule that explains it.

#include <gumbo.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "vutil/files/file_utils.h"
#include "vutil/web/html_utils.h"

namespace {

// Processor time of this process: the machine is shared, and a side that was waiting for
// a core should not look slower for it.
double Now() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

struct Pair {
    const char* tag;
    std::vector<const char*> attributes;
};

// The tag/attribute pairs the library reads, in its order.
const std::vector<Pair> kPairs = {
    {"a", {"href"}},       {"area", {"href"}},   {"applet", {"code"}},  {"base", {"href"}},
    {"embed", {"src"}},    {"form", {"action"}}, {"frame", {"src"}},    {"head", {"profile"}},
    {"html", {"xmlns"}},   {"img", {"src"}},     {"input", {"src", "value"}}, {"link", {"href"}},
    {"meta", {"content"}}, {"object", {"archive", "classid", "codebase", "data"}},
    {"param", {"value"}},  {"script", {"src"}},
};

struct GumboLink {
    std::string value;
    std::string rawTag;  // the start tag as written
};

const Pair* PairOf(const GumboElement& e) {
    const char* name = gumbo_normalized_tagname(e.tag);
    if (e.tag == GUMBO_TAG_UNKNOWN) return nullptr;
    for (const Pair& p : kPairs)
        if (std::strcmp(p.tag, name) == 0) return &p;
    return nullptr;
}

// The reference: every element of the table gives its first non-empty attribute value;
// "#" and "mailto:" values are skipped and a meta element gives the target of "url=".
void Collect(const GumboNode* node, std::vector<GumboLink>& out) {
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) return;
    const GumboElement& e = node->v.element;
    if (const Pair* p = PairOf(e); p && e.original_tag.length > 0) {
        for (const char* name : p->attributes) {
            const GumboAttribute* a = gumbo_get_attribute(&e.attributes, name);
            if (!a || !*a->value) continue;
            std::string v = a->value;
            if (std::strcmp(name, "content") == 0) {
                std::string lower = v;
                std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
                std::size_t u = lower.find("url=");
                if (u == std::string::npos) break;
                v = v.substr(u + 4);
            }
            if (v != "#" && strncasecmp(v.c_str(), "mailto:", 7) != 0)
                out.push_back({v, std::string(e.original_tag.data, e.original_tag.length)});
            break;
        }
    }
    for (unsigned i = 0; i < e.children.length; ++i)
        Collect(static_cast<const GumboNode*>(e.children.data[i]), out);
}

std::vector<GumboLink> GumboLinks(const std::string& bytes) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, bytes.data(), bytes.size());
    std::vector<GumboLink> links;
    Collect(output->root, links);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return links;
}

vutil::TextArray Lines(const std::string& bytes) {
    vutil::TextArray lines;
    std::string_view all = bytes;
    while (!all.empty()) {
        std::size_t nl = all.find('\n');
        std::string_view line = all.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.Add(vutil::CString(line));
        if (nl == std::string_view::npos) break;
        all.remove_prefix(nl + 1);
    }
    return lines;
}

std::vector<std::string> LibraryLinks(const std::string& bytes, const vutil::CString& ext) {
    vutil::TextArray links;
    vutil::CHTMLUtils::ParseLinksFromLines(Lines(bytes), ext, links, true);
    std::vector<std::string> out;
    for (const vutil::CString& l : links) out.push_back(l.str());
    return out;
}

// Why a link gumbo found is not among the library's.
const char* GumboOnlyReason(const GumboLink& g) {
    if (g.rawTag.find('\n') != std::string::npos) return "tag spread over lines (pages are read line by line)";
    vutil::TextArray one;
    vutil::CHTMLUtils::ParseLink(vutil::CString(g.rawTag), one, true);
    if (one.IsEmpty()) {
        if (g.value.find('&') != std::string::npos || g.rawTag.find('&') != std::string::npos)
            return "entity in the value (gumbo decodes it, the library keeps the text as written)";
        const std::size_t eq = g.rawTag.rfind('=');
        if (eq != std::string::npos && g.rawTag.find_first_of("\"'", eq) == std::string::npos)
            return "unquoted value with nothing after it in the tag (not taken)";
        return "value filter (one full stop and a \":\" without \":/\", script call, e-mail address, unknown extension)";
    }
    if (one.GetAt(one.GetCount() - 1).str() != g.value)
        return "value read differently (entity, \"url=\" of a meta refresh, a quoted script target)";
    return "an earlier \"<\" on the line swallowed the tag, or the tag lies in a comment gumbo ends sooner";
}

struct Totals {
    double bytes = 0, libSeconds = 0, gumboSeconds = 0;
    long libLinks = 0, gumboLinks = 0;
    std::map<std::string, long> reasons;
};

void Compare(const std::string& name, const std::string& bytes, const vutil::CString& ext, Totals& t,
             bool detail, int repeats) {
    std::vector<std::string> lib;
    std::vector<GumboLink> ref;
    double libBest = 1e9, refBest = 1e9;
    for (int r = 0; r < repeats; ++r) {
        const double t0 = Now();
        lib = LibraryLinks(bytes, ext);
        const double t1 = Now();
        ref = GumboLinks(bytes);
        const double t2 = Now();
        libBest = std::min(libBest, t1 - t0);
        refBest = std::min(refBest, t2 - t1);
    }
    t.bytes += static_cast<double>(bytes.size());
    t.libSeconds += libBest;
    t.gumboSeconds += refBest;
    t.libLinks += static_cast<long>(lib.size());
    t.gumboLinks += static_cast<long>(ref.size());

    // Multiset difference both ways; the library's side with the tag each link came from.
    std::vector<vutil::CHTMLUtils::FoundLink> sources;
    vutil::CHTMLUtils::ParseLinksWithSources(Lines(bytes), ext, true, sources);
    std::map<std::string, std::vector<std::string>> count;
    for (const auto& f : sources) count[f.link.str()].push_back(f.tag.str());
    std::vector<const GumboLink*> gumboOnly;
    for (const auto& g : ref) {
        auto it = count.find(g.value);
        if (it != count.end() && !it->second.empty()) it->second.pop_back();
        else gumboOnly.push_back(&g);
    }
    long libOnly = 0;
    for (const auto& [v, tags] : count) {
        for (const auto& tag : tags) {
            ++libOnly;
            if (tag == "meta")
                ++t.reasons["library only: meta content without \"url=\", kept as an unverified value"];
            else if (v.find('&') != std::string::npos)
                ++t.reasons["library only: value with an entity, kept as written (gumbo decodes it)"];
            else
                ++t.reasons["library only: tag text in a script, style or comment gumbo reads as text, or a value read differently"];
        }
    }
    std::map<std::string, long> local;
    for (const GumboLink* g : gumboOnly) {
        ++t.reasons[std::string("gumbo only: ") + GumboOnlyReason(*g)];
        ++local[GumboOnlyReason(*g)];
    }
    std::printf("%-60.60s %9zu B  lib %5zu  gumbo %5zu  lib-only %4ld  gumbo-only %4zu\n", name.c_str(),
                bytes.size(), lib.size(), ref.size(), libOnly, gumboOnly.size());
    if (detail) {
        for (const auto& [reason, n] : local) std::printf("      %4ld  %s\n", n, reason.c_str());
        for (const GumboLink* g : gumboOnly) std::printf("        gumbo only: %.100s\n", g->value.c_str());
        for (const auto& [v, tags] : count)
            for (const auto& tag : tags) std::printf("        library only (%s): %.100s\n", tag.c_str(), v.c_str());
    }
}

// A page of ordinary markup: paragraphs, links, images, tables, scripts and comments.
std::string GeneratedPage(std::size_t size) {
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\"><head><title>Generated</title>\n"
                       "<link rel=\"stylesheet\" href=\"style/site.css\">\n</head><body>\n";
    for (unsigned i = 0; page.size() < size; ++i) {
        const std::string n = std::to_string(i);
        page += "<div class=\"section\" id=\"s" + n + "\"><h2>Section " + n + "</h2>\n";
        page += "<p>Some text about item " + n + " with <a href=\"pages/item" + n +
                ".html\">a link</a>, an <em>emphasis</em> and an image "
                "<img src=\"img/pic" + n + ".png\" alt=\"picture " + n + "\" width=\"64\" height=\"48\">.</p>\n";
        page += "<table><tr><td>cell</td><td><a href=\"http://www.example.com/d/" + n +
                "\" title=\"remote\">remote</a></td></tr></table>\n";
        if (i % 7 == 0) page += "<!-- note " + n + " <a href=\"old.html\"> -->\n";
        if (i % 11 == 0) page += "<script src=\"js/app" + n + ".js\"></script>\n";
        page += "<ul><li><a href=\"#s" + n + "\">back</a></li><li><a href=\"mailto:x@example.com\">mail</a></li></ul></div>\n";
    }
    page += "</body></html>\n";
    return page;
}

}  // namespace

int main(int argc, char** argv) {
    bool detail = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--detail") == 0) detail = true;
        else files.push_back(argv[i]);
    }
    Totals corpus;
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Compare(f.substr(f.rfind('/') + 1), bytes, vutil::CFileUtils::GetFileExt(vutil::CString(f)), corpus, detail, 3);
    }
    Totals big;
    Compare("generated page", GeneratedPage(50u << 20), vutil::CString("html"), big, true, 2);

    auto report = [](const char* what, const Totals& t) {
        const double mb = t.bytes / 1e6;
        std::printf("\n%s: %.1f MB, %ld links (library), %ld links (gumbo)\n", what, mb, t.libLinks, t.gumboLinks);
        std::printf("  library  %8.1f MB/s\n  gumbo    %8.1f MB/s\n  ratio (library time / gumbo time) %.3f\n",
                    mb / t.libSeconds, mb / t.gumboSeconds, t.libSeconds / t.gumboSeconds);
        for (const auto& [reason, n] : t.reasons) std::printf("  %6ld  %s\n", n, reason.c_str());
    };
    report("/usr/share/doc corpus", corpus);
    report("generated 50 MB page", big);
    return 0;
}
