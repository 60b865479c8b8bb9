// vutil html: the links and anchors of a page, and HTML character entities.

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string_view>

#include "command.h"
#include "vutil/files/file_utils.h"
#include "vutil/web/html_utils.h"

namespace {

using vutil::CHTMLUtils;
using vutil::CString;
using vutil::TextArray;

// The page's lines without their ends, as the link checker reads a page.
bool ReadPage(const std::string& path, TextArray& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string_view all = bytes;
    while (!all.empty()) {
        std::size_t nl = all.find('\n');
        std::string_view line = all.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.Add(CString(line));
        if (nl == std::string_view::npos) break;
        all.remove_prefix(nl + 1);
    }
    return true;
}

int Links(const std::vector<std::string>& args) {
    bool unverified = false;
    std::string path;
    for (const auto& a : args) {
        if (a == "--unverified") unverified = true;
        else if (a.size() > 1 && a[0] == '-') return vutil::cli::UsageError("html", "unknown option '" + a + "'");
        else if (path.empty()) path = a;
        else return vutil::cli::UsageError("html", "links takes one file");
    }
    if (path.empty()) return vutil::cli::UsageError("html", "links needs a file");
    TextArray lines;
    if (!ReadPage(path, lines)) {
        std::cerr << "vutil html: cannot read '" << path << "'\n";
        return 1;
    }
    std::vector<CHTMLUtils::FoundLink> found;
    CHTMLUtils::ParseLinksWithSources(lines, vutil::CFileUtils::GetFileExt(CString(path)), unverified, found);
    for (const auto& f : found) {
        std::cout << f.line << '\t' << vutil::cli::Utf8(f.tag) << '\t' << vutil::cli::Utf8(f.attribute) << '\t'
                  << vutil::cli::Utf8(f.link) << '\n';
    }
    return 0;
}

int Anchors(const std::vector<std::string>& args) {
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-'))
        return vutil::cli::UsageError("html", "anchors takes one file");
    TextArray lines;
    if (!ReadPage(args[0], lines)) {
        std::cerr << "vutil html: cannot read '" << args[0] << "'\n";
        return 1;
    }
    TextArray anchors;
    bool duplicates = false;
    CHTMLUtils::GetAnchors(lines, anchors, duplicates);
    for (const CString& a : anchors) std::cout << vutil::cli::Utf8(a) << '\n';
    if (duplicates) std::cerr << "vutil html: duplicate anchors were merged\n";
    return 0;
}

int Encode(const std::vector<std::string>& args) {
    bool remove = false, blank = false, bytes = false;
    for (const auto& a : args) {
        if (a == "--remove") remove = true;
        else if (a == "--blank") blank = true;
        else if (a == "--bytes") bytes = true;
        else return vutil::cli::UsageError("html", "encode takes no argument '" + a + "'");
    }
    std::ostringstream all;
    all << std::cin.rdbuf();
    CString text(all.str());
    CHTMLUtils::ReplaceHTMLReservedChars(text, remove, blank);
    if (bytes) std::cout.write(text.GetString(), text.GetLength());
    else std::cout << vutil::cli::Utf8(text);
    return 0;
}

constexpr const char* kUsage =
    "usage: vutil html links [--unverified] <file>   links of a page: line, tag, attribute, link\n"
    "       vutil html anchors <file>                the anchors a page offers, sorted, duplicates merged\n"
    "       vutil html encode [--remove|--blank] [--bytes]\n"
    "           character entities (&lt; &amp; &#169; ...) of standard input turned into their\n"
    "           characters (--remove: dropped, --blank: spaces); output UTF-8, or the bytes with --bytes\n";

int RunHtml(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (args.empty()) return vutil::cli::UsageError("html", "need links, anchors or encode");
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "links") return Links(rest);
    if (args[0] == "anchors") return Anchors(rest);
    if (args[0] == "encode") return Encode(rest);
    return vutil::cli::UsageError("html", "unknown action '" + args[0] + "'");
}

vutil::cli::Register reg({"html",
                          "links [--unverified] <file> | anchors <file> | encode [--remove|--blank] [--bytes]",
                          "links of a page (line, tag, attribute, link), its anchors, or its character entities "
                          "(&lt; &amp; &#169; ...) turned into characters, standard input to output",
                          RunHtml});

}  // namespace
