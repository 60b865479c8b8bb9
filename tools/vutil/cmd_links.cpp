// vutil links check: the link checker. Reads every page, extracts its links, checks
// local targets on disk (file, case, anchor, self-reference, hard-wired paths) and
// remote ones over HTTP with N workers, each with its own Internet session.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "command.h"
#include "vutil/files/file_utils.h"
#include "vutil/framework/internet_session.h"
#include "vutil/platform/path.h"
#include "vutil/platform/terminal.h"
#include "vutil/text/string_utils.h"
#include "vutil/web/html_utils.h"
#include "vutil/web/internet_utils.h"

namespace fs = std::filesystem;
using vutil::CHTMLUtils;
using vutil::CString;
using vutil::TextArray;

namespace {

constexpr const char* kName = "links";
constexpr const char* kUsage =
    "check <page-or-folder> [--recursive] [--external] [--jobs N] [--format text|json|csv] [--explain]\n"
    "            [--map FROM=TO]... [--timeout SECONDS]";

void PrintHelp() {
    std::cout << "usage: vutil links " << kUsage << "\n\n"
        "Checks the links of one page, or of every page in a folder (--recursive: and below).\n"
        "Local links: the file exists (with the same case), the anchor is on the page once,\n"
        "the link is not to the page itself and not a hard-wired local path. Remote links are\n"
        "fetched only with --external, by N workers (--jobs, default 4). --map FROM=TO checks\n"
        "remote links that begin with FROM at TO instead (a staging server); --timeout limits the\n"
        "wait for connecting and for each answer. Each link is printed\n"
        "with its page, line, result code and title (--explain: the explanation), then a summary.\n"
        "Attribute values that name no file or address (a button caption, a media type) are skipped.\n"
        "Exit status: 0 all links good, 1 a link is broken, 2 bad usage.\n";
}

enum class Format { Text, Json, Csv };

struct Options {
    std::string target;
    bool recursive = false;
    bool external = false;
    int jobs = 4;
    Format format = Format::Text;
    bool explain = false;
    long timeoutSeconds = 0;
    std::vector<std::pair<std::string, std::string>> maps;
};

struct Link {
    std::size_t page;  // index into the page list
    int line;          // 1-based
    CString text;
    std::uint32_t code = CHTMLUtils::HTTP_LINK_NOTYETVALIDATED;
    bool remote = false;
};

bool StartsNoCase(const CString& text, const char* prefix) {
    return vutil::CStringUtils::MatchFirstChars(text, CString(prefix), false);
}

// "C:\x", "c:/x" or "\\server\share": a path on one machine, not a site-relative link.
bool IsDrivePath(const CString& link) {
    if (link.GetLength() >= 3 && vutil::CStringUtils::IsAlpha(static_cast<unsigned char>(link[0])) && link[1] == ':' &&
        (link[2] == '\\' || link[2] == '/'))
        return true;
    return link.GetLength() >= 2 && link[0] == '\\' && link[1] == '\\';
}

// A scheme such as "mailto:" or "javascript:": letters, digits, "+", "-", "." before a ":".
bool HasScheme(const CString& link) {
    int colon = link.Find(':');
    if (colon < 2) return false;
    for (int i = 0; i < colon; ++i) {
        char c = link[i];
        if (!vutil::CStringUtils::IsAlpha(static_cast<unsigned char>(c)) && !vutil::CStringUtils::IsDigit(static_cast<unsigned char>(c)) &&
            c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// Values the extractor returns for attributes that may hold an address but here hold
// a word or a media type (a button caption, "IE=edge", "text/html; charset=utf-8").
bool IsNotALink(const CString& link) {
    if (link.Find("; ") >= 0) return true;
    return link.FindOneOf("./\\#:") < 0;
}

std::string PercentDecoded(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) && hex(text[i + 2])) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

class LocalChecker {
public:
    LocalChecker(const fs::path& root, const std::vector<fs::path>& pages) : m_root(root), m_pages(pages) {}

    std::uint32_t Check(std::size_t page, const CString& link) {
        CString file = link;
        CString anchor;
        int hash = CHTMLUtils::GetAnchorIndex(link);
        if (hash >= 0) {
            file = link.Left(hash);
            anchor = link.Mid(hash + 1);
        }
        file.Trim();
        if (StartsNoCase(file, "file:")) {
            CString path = vutil::CInternetUtils::ConvertFromURLToLocalPath(file);
            return Exists(fs::path(HostPath(path))) ? CHTMLUtils::HTTP_LINK_HARDWIRED_LOCAL
                                                    : CHTMLUtils::HTTP_LINK_LOCAL_NOTEXIST;
        }
        if (IsDrivePath(file))
            return Exists(fs::path(HostPath(file))) ? CHTMLUtils::HTTP_LINK_LOCAL_BADSYNTAX
                                                    : CHTMLUtils::HTTP_LINK_LOCAL_NOTEXIST;

        std::string rel(file.GetString(), static_cast<std::size_t>(file.GetLength()));
        rel = PercentDecoded(rel.substr(0, rel.find('?')));
        fs::path target;
        if (rel.empty()) {
            target = m_pages[page];
        } else {
            std::replace(rel.begin(), rel.end(), '\\', '/');
            fs::path base = rel[0] == '/' ? m_root : m_pages[page].parent_path();
            target = (base / fs::path(rel[0] == '/' ? rel.substr(1) : rel)).lexically_normal();
        }
        std::error_code ec;
        auto status = fs::status(target, ec);
        if (ec || !fs::exists(status)) {
            return CaseInsensitiveMatch(target) ? CHTMLUtils::HTTP_LINK_LOCAL_BADCASE
                                                : CHTMLUtils::HTTP_LINK_LOCAL_NOTEXIST;
        }
        if (fs::is_directory(status)) {
            // A folder works on a server through its index page.
            for (const char* index : {"index.html", "index.htm", "default.htm", "default.html", "index.php"})
                if (fs::is_regular_file(target / index, ec)) return CHTMLUtils::HTTP_LINK_VALID;
            return CHTMLUtils::HTTP_LINK_LOCAL_NOTEXIST;
        }
        if (!rel.empty() && anchor.IsEmpty() && fs::equivalent(target, m_pages[page], ec))
            return CHTMLUtils::HTTP_LINK_LOCAL_SELFREF;
        if (anchor.IsEmpty())
            return rel.find('#') != std::string::npos ? CHTMLUtils::HTTP_LINK_LOCAL_BADCHAR : CHTMLUtils::HTTP_LINK_VALID;
        TextArray& lines = Lines(target);
        if (lines.IsEmpty()) return CHTMLUtils::HTTP_LINK_ANCHORREF_NOFILE;
        CString found;
        return CHTMLUtils::ValidateAnchor(anchor, lines, found);
    }

    // The lines of a page, read once.
    TextArray& Lines(const fs::path& page) {
        auto [it, added] = m_lines.try_emplace(page.string());
        if (added) vutil::CFileUtils::ReadFileContent(CString(page.string()), it->second, true, nullptr);
        return it->second;
    }

private:
    // A path as the library writes it ("C:\\x", "\\x", "tmp\\x" from a file URL) on this host.
    static std::string HostPath(const CString& libraryPath) {
        std::string p(libraryPath.GetString(), static_cast<std::size_t>(libraryPath.GetLength()));
        // "file:///home/x" converts to a path without drive or leading separator.
        if (p.size() < 2 || (p[1] != ':' && p[0] != '\\' && p[0] != '/')) p = "/" + p;
        return vutil::platform::ToHostPath(p).value_or(std::string());
    }
    static bool Exists(const fs::path& p) {
        std::error_code ec;
        return fs::exists(p, ec);
    }
    // True when the file exists under another case of its name or folders.
    static bool CaseInsensitiveMatch(const fs::path& target) {
        CString given(vutil::platform::FromHostPath(target.string()));
        CString stored = vutil::CFileUtils::GetCaseSensitiveFilePath(given, given.GetLength());
        return stored != given && stored.CompareNoCase(given) == 0;
    }

    fs::path m_root;
    const std::vector<fs::path>& m_pages;
    std::map<std::string, TextArray> m_lines;
};

// Writes one line over the last on a terminal; nothing otherwise.
class Progress {
public:
    Progress() : m_on(vutil::platform::StreamIsTerminal(vutil::platform::StdStream::Error)) {}
    // At most ten lines a second: a terminal is slower than the checker.
    void Show(const std::string& text) {
        if (!m_on) return;
        auto now = std::chrono::steady_clock::now();
        if (m_shown && now - m_last < std::chrono::milliseconds(100)) return;
        m_last = now;
        std::cerr << "\r\033[K" << text << std::flush;
        m_shown = true;
    }
    void Clear() {
        if (m_shown) std::cerr << "\r\033[K" << std::flush;
        m_shown = false;
    }

private:
    bool m_on;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_last;
};

// Validates the distinct remote addresses with `jobs` workers, one session each.
void CheckRemote(const std::vector<CString>& urls, std::vector<std::uint32_t>& codes, const Options& options,
                 Progress& progress) {
    codes.assign(urls.size(), CHTMLUtils::HTTP_LINK_NOTYETVALIDATED);
    if (urls.empty()) return;
    int jobs = std::max(1, std::min<int>(options.jobs, static_cast<int>(urls.size())));
    // Sessions are made before the workers start: their set-up reads the settings store.
    std::vector<std::unique_ptr<vutil::CInternetSession>> sessions;
    for (int i = 0; i < jobs; ++i) {
        sessions.emplace_back(vutil::CInternetUtils::CreateInternetSession());
        if (sessions.back() && options.timeoutSeconds > 0)
            for (vutil::DWORD option : {vutil::INTERNET_OPTION_CONNECT_TIMEOUT, vutil::INTERNET_OPTION_RECEIVE_TIMEOUT})
                sessions.back()->SetOption(option, static_cast<vutil::DWORD>(options.timeoutSeconds * 1000));
    }
    // The anchor split writes TextArray's process-wide options: anchored addresses go
    // through one at a time.
    std::mutex anchorLock;
    std::atomic<std::size_t> next{0}, done{0};
    std::mutex waitLock;
    std::condition_variable finished;
    auto work = [&](vutil::CInternetSession* session) {
        for (std::size_t i; (i = next.fetch_add(1)) < urls.size();) {
            CString url = urls[i];
            std::uint32_t code;
            // An address typed without its scheme is repaired first, as a browser would.
            if (StartsNoCase(url, "www.") && !vutil::CInternetUtils::IsValidWebSiteAddress(url)) {
                code = CHTMLUtils::HTTP_LINK_INVALIDURL;
            } else if (url.Find('#') >= 0) {
                std::lock_guard<std::mutex> hold(anchorLock);
                code = CHTMLUtils::ValidateLinkExternal(session, url);
            } else {
                code = CHTMLUtils::ValidateLinkExternal(session, url);
            }
            codes[i] = code;
            if (done.fetch_add(1) + 1 == urls.size()) {
                std::lock_guard<std::mutex> hold(waitLock);
                finished.notify_all();
            }
        }
    };
    std::vector<std::thread> workers;
    for (int i = 0; i < jobs; ++i) workers.emplace_back(work, sessions[static_cast<std::size_t>(i)].get());
    {
        std::unique_lock<std::mutex> hold(waitLock);
        while (!finished.wait_for(hold, std::chrono::milliseconds(200), [&] { return done.load() >= urls.size(); }))
            progress.Show("remote links: " + std::to_string(done.load()) + "/" + std::to_string(urls.size()));
    }
    for (auto& w : workers) w.join();
    for (auto& s : sessions)
        if (s) s->Close();
}

std::string JsonText(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string CsvText(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

bool IsBroken(std::uint32_t code) {
    return code != CHTMLUtils::HTTP_LINK_NOTYETVALIDATED && (code < 200 || code > 399);
}

// The pages to check: the one file, or the folder's pages in path order.
bool CollectPages(const Options& options, fs::path& root, std::vector<fs::path>& pages) {
    std::error_code ec;
    fs::path target = fs::absolute(options.target, ec).lexically_normal();
    if (fs::is_regular_file(target, ec)) {
        root = target.parent_path();
        pages.push_back(target);
        return true;
    }
    if (!fs::is_directory(target, ec)) return false;
    root = target;
    TextArray extensions, files;
    CHTMLUtils::GetSupportedHTMLFiles(extensions, false);
    vutil::CFileUtils::GetFileList(CString(target.string() + "/"), extensions, options.recursive, files, false, false,
                                   true);
    for (const CString& file : files)
        if (auto host = vutil::platform::ToHostPath(file.view())) pages.emplace_back(fs::path(*host).lexically_normal());
    std::sort(pages.begin(), pages.end());
    return true;
}

int Check(const Options& options) {
    fs::path root;
    std::vector<fs::path> pages;
    if (!CollectPages(options, root, pages)) {
        std::cerr << "vutil links: cannot read '" << options.target << "'\n";
        return 1;
    }
    Progress progress;
    LocalChecker local(root, pages);
    std::vector<Link> links;
    std::map<std::string, std::size_t> remoteIndex;
    std::vector<CString> remoteUrls;
    std::vector<std::size_t> remoteOf;  // per link: index into remoteUrls
    for (std::size_t p = 0; p < pages.size(); ++p) {
        progress.Show("pages: " + std::to_string(p + 1) + "/" + std::to_string(pages.size()) + ", links: " +
                      std::to_string(links.size()));
        TextArray lines = local.Lines(pages[p]);
        CString ext(pages[p].extension().string().substr(pages[p].extension().empty() ? 0 : 1));
        // The whole page once, so comments that span lines are blanked; then line by
        // line for the line numbers.
        TextArray all;
        CHTMLUtils::ParseLinksFromLines(lines, ext, all, true);
        for (unsigned int i = 0; i < lines.GetCount(); ++i) {
            if (lines.Items()[i].IsEmpty()) continue;
            TextArray one, found;
            one.Add(lines.Items()[i]);
            CHTMLUtils::ParseLinksFromLines(one, ext, found, true);
            for (const CString& text : found) {
                if (IsNotALink(text)) continue;
                Link link{p, static_cast<int>(i) + 1, text};
                link.remote = vutil::CInternetUtils::IsInternetFile(text) ||
                              (HasScheme(text) && !StartsNoCase(text, "file:") && !IsDrivePath(text));
                if (!link.remote) {
                    link.code = local.Check(p, text);
                } else if (options.external) {
                    std::string url(text.GetString(), static_cast<std::size_t>(text.GetLength()));
                    for (const auto& [from, to] : options.maps)
                        if (url.compare(0, from.size(), from) == 0) {
                            url = to + url.substr(from.size());
                            break;
                        }
                    auto [it, added] = remoteIndex.try_emplace(url, remoteUrls.size());
                    if (added) remoteUrls.emplace_back(url);
                    remoteOf.resize(links.size() + 1, SIZE_MAX);
                    remoteOf[links.size()] = it->second;
                }
                links.push_back(std::move(link));
            }
        }
    }
    std::vector<std::uint32_t> remoteCodes;
    CheckRemote(remoteUrls, remoteCodes, options, progress);
    remoteOf.resize(links.size(), SIZE_MAX);
    for (std::size_t i = 0; i < links.size(); ++i)
        if (remoteOf[i] != SIZE_MAX) links[i].code = remoteCodes[remoteOf[i]];
    progress.Clear();

    std::size_t broken = 0, unchecked = 0;
    for (const Link& l : links) {
        broken += IsBroken(l.code);
        unchecked += l.code == CHTMLUtils::HTTP_LINK_NOTYETVALIDATED;
    }
    auto pageName = [&](std::size_t p) {
        std::string rel = pages[p].lexically_relative(root).generic_string();
        return rel.empty() || pages.size() == 1 ? pages[p].filename().generic_string() : rel;
    };
    auto text = [](const CString& s) { return vutil::cli::Utf8(s); };
    std::ostringstream out;
    if (options.format == Format::Json) out << "{\"links\": [";
    if (options.format == Format::Csv) out << "page,line,link,code,title" << (options.explain ? ",explanation" : "") << "\n";
    for (std::size_t i = 0; i < links.size(); ++i) {
        const Link& l = links[i];
        std::string title = text(CHTMLUtils::GetValidationDescription(l.code, false));
        std::string detail = options.explain ? text(CHTMLUtils::GetValidationDescription(l.code, true)) : "";
        switch (options.format) {
        case Format::Text:
            out << pageName(l.page) << ":" << l.line << ": " << l.code << " "
                << (l.code == 200 ? "OK" : title.empty() ? (l.code == 0 ? "not checked" : "OK") : title) << "  "
                << text(l.text) << "\n";
            if (!detail.empty()) {
                std::string indented = "    " + detail;
                for (std::size_t at = 0; (at = indented.find('\n', at)) != std::string::npos; at += 5)
                    indented.insert(at + 1, "    ");
                out << indented << "\n";
            }
            break;
        case Format::Json:
            out << (i ? ",\n " : "\n ") << "{\"page\": " << JsonText(pageName(l.page)) << ", \"line\": " << l.line
                << ", \"link\": " << JsonText(text(l.text)) << ", \"code\": " << l.code
                << ", \"title\": " << JsonText(title) << ", \"broken\": " << (IsBroken(l.code) ? "true" : "false");
            if (options.explain) out << ", \"explanation\": " << JsonText(detail);
            out << "}";
            break;
        case Format::Csv:
            out << CsvText(pageName(l.page)) << "," << l.line << "," << CsvText(text(l.text)) << "," << l.code << ","
                << CsvText(title);
            if (options.explain) out << "," << CsvText(detail);
            out << "\n";
            break;
        }
    }
    std::string summary = std::to_string(pages.size()) + " pages, " + std::to_string(links.size()) + " links: " +
                          std::to_string(links.size() - broken - unchecked) + " good, " + std::to_string(broken) +
                          " broken, " + std::to_string(unchecked) + " not checked";
    switch (options.format) {
    case Format::Text: out << summary << "\n"; break;
    case Format::Json:
        out << "\n], \"summary\": {\"pages\": " << pages.size() << ", \"links\": " << links.size()
            << ", \"good\": " << links.size() - broken - unchecked << ", \"broken\": " << broken
            << ", \"unchecked\": " << unchecked << "}}\n";
        break;
    case Format::Csv: std::cerr << summary << "\n"; break;
    }
    std::cout << out.str() << std::flush;
    return broken ? 1 : 0;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) return vutil::cli::UsageError(kName, "missing subcommand (see vutil links --help)");
    if (args[0] == "--help" || args[0] == "-h") {
        PrintHelp();
        return 0;
    }
    if (args[0] != "check") return vutil::cli::UsageError(kName, "unknown subcommand '" + args[0] + "'");
    Options options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            PrintHelp();
            return 0;
        } else if (a == "--recursive" || a == "-r") {
            options.recursive = true;
        } else if (a == "--external") {
            options.external = true;
        } else if (a == "--explain") {
            options.explain = true;
        } else if (a == "--jobs" || a == "-j") {
            if (!value(v) || v.empty() || v.find_first_not_of("0123456789") != std::string::npos || v.size() > 3 ||
                std::stoi(v) < 1)
                return vutil::cli::UsageError(kName, "--jobs needs a number from 1 to 999");
            options.jobs = std::stoi(v);
        } else if (a == "--timeout") {
            if (!value(v) || v.empty() || v.find_first_not_of("0123456789") != std::string::npos || v.size() > 6)
                return vutil::cli::UsageError(kName, "--timeout needs a number of seconds");
            options.timeoutSeconds = std::stol(v);
        } else if (a == "--format") {
            if (!value(v)) return vutil::cli::UsageError(kName, "--format needs text, json or csv");
            if (v == "text") options.format = Format::Text;
            else if (v == "json") options.format = Format::Json;
            else if (v == "csv") options.format = Format::Csv;
            else return vutil::cli::UsageError(kName, "unknown format '" + v + "' (text, json or csv)");
        } else if (a == "--map") {
            std::size_t eq;
            if (!value(v) || (eq = v.find('=')) == std::string::npos || eq == 0)
                return vutil::cli::UsageError(kName, "--map needs FROM=TO");
            options.maps.emplace_back(v.substr(0, eq), v.substr(eq + 1));
        } else if (!a.empty() && a[0] == '-') {
            return vutil::cli::UsageError(kName, "unknown option '" + a + "'");
        } else if (options.target.empty()) {
            options.target = a;
        } else {
            return vutil::cli::UsageError(kName, "more than one page or folder given");
        }
    }
    if (options.target.empty()) return vutil::cli::UsageError(kName, "no page or folder given");
    return Check(options);
}

vutil::cli::Register reg({kName, kUsage, "check the links of a page or a folder of pages (local and remote)", Run});

}  // namespace
