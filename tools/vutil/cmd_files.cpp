// vutil ls, dirs and du: file lists, directory lists and the directory analysis.

#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>

#include "command.h"
#include "vutil/dates/date_time.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"

namespace {

using vutil::CDirUtils;
using vutil::CFileUtils;
using vutil::CString;
using vutil::TextArray;

using vutil::cli::WantsHelp;

// "*.htm;*.html" -> two specs.
void AddSpecs(const std::string& text, TextArray& specs) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t semi = text.find(';', start);
        if (semi == std::string::npos) semi = text.size();
        if (semi > start) specs.Add(CString(text.substr(start, semi - start)));
        start = semi + 1;
    }
}

CString DirArgument(const std::string& arg) {
    CString dir(arg);
    CDirUtils::EnsureTrailingBackslash(dir);
    return dir;
}

void Print(const CString& line) {
    // Most names are ASCII, which needs no conversion.
    const auto text = line.view();
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size())) << '\n';
    else
        std::cout << vutil::cli::Utf8(line) << '\n';
}

bool Exists(const CString& dir) {
    return CDirUtils::IsDir(dir, false);
}

int RunLs(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << "usage: vutil ls <dir> [--include \"*.htm;*.html\"] [--exclude SPECS] [--recursive] [--hidden]\n"
                     "Lists the files of a directory in walk order; specs are ';'-separated wildcards.\n";
        return 0;
    }
    std::string dirArg;
    TextArray include, exclude;
    bool recursive = false, hidden = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--recursive" || a == "-r") recursive = true;
        else if (a == "--hidden") hidden = true;
        else if (a == "--include" || a == "--exclude") {
            if (i + 1 >= args.size()) return vutil::cli::UsageError("ls", a + " needs a list of specs");
            AddSpecs(args[++i], a == "--include" ? include : exclude);
        } else if (!a.empty() && a[0] == '-') return vutil::cli::UsageError("ls", "unknown option '" + a + "'");
        else if (dirArg.empty()) dirArg = a;
        else return vutil::cli::UsageError("ls", "one directory only ('" + a + "')");
    }
    if (dirArg.empty()) return vutil::cli::UsageError("ls", "missing directory");
    const CString dir = DirArgument(dirArg);
    if (!Exists(dir)) {
        std::cerr << "vutil ls: not a directory: " << dirArg << "\n";
        return 1;
    }
    // Specs that are all "*.ext" also go to the walk as extensions, so that the files they
    // leave out are never asked for their attributes; the specs still decide below.
    TextArray extensions;
    for (const CString& spec : include) {
        const std::string_view v = spec.view();
        if (v.size() < 3 || v.substr(0, 2) != "*." || v.find_first_of("*?.\\/", 2) != std::string_view::npos) {
            extensions.DeleteAll();
            break;
        }
        extensions.Add(CString(v.substr(2)));
    }
    TextArray files;
    {
        vutil::cli::StatusLine status("listing " + dirArg);
        CFileUtils::GetFileList(dir, extensions, recursive, files, hidden, hidden, false);
    }
    const TextArray none;
    for (const CString& f : files) {
        if (!include.IsEmpty() && !CFileUtils::MatchFileSpec(f, true, none, include, false)) continue;
        if (!exclude.IsEmpty() && CFileUtils::MatchFileSpec(f, true, none, exclude, false)) continue;
        Print(f);
    }
    return 0;
}

int RunDirs(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << "usage: vutil dirs <dir> [--recursive] [--hidden]\nLists the subdirectories of a directory.\n";
        return 0;
    }
    std::string dirArg;
    unsigned long flags = CDirUtils::GDL_CHECKVALID;
    for (const auto& a : args) {
        if (a == "--recursive" || a == "-r") flags |= CDirUtils::GDL_RECURSIVE;
        else if (a == "--hidden") flags |= CDirUtils::GDL_HIDDEN | CDirUtils::GDL_SYSTEM;
        else if (!a.empty() && a[0] == '-') return vutil::cli::UsageError("dirs", "unknown option '" + a + "'");
        else if (dirArg.empty()) dirArg = a;
        else return vutil::cli::UsageError("dirs", "one directory only ('" + a + "')");
    }
    if (dirArg.empty()) return vutil::cli::UsageError("dirs", "missing directory");
    const CString dir = DirArgument(dirArg);
    if (!Exists(dir)) {
        std::cerr << "vutil dirs: not a directory: " << dirArg << "\n";
        return 1;
    }
    TextArray dirs;
    {
        vutil::cli::StatusLine status("listing " + dirArg);
        CDirUtils::GetDirectoryList(dir, dirs, flags);
    }
    for (const CString& d : dirs) Print(d);
    return 0;
}

int RunDu(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << "usage: vutil du <dir> [--ext txt,htm] [--top]\n"
                     "Analyses the files of a directory tree (--top: the directory alone): count,\n"
                     "total, smallest and largest size, oldest and newest modification.\n";
        return 0;
    }
    std::string dirArg;
    bool recursive = true;
    vutil::CStringArray exts;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--top") recursive = false;
        else if (a == "--ext") {
            if (i + 1 >= args.size()) return vutil::cli::UsageError("du", "--ext needs a list of extensions");
            const std::string& list = args[++i];
            std::size_t start = 0;
            while (start <= list.size()) {
                std::size_t comma = list.find(',', start);
                if (comma == std::string::npos) comma = list.size();
                if (comma > start) exts.Add(CString(list.substr(start, comma - start)));
                start = comma + 1;
            }
        } else if (!a.empty() && a[0] == '-') return vutil::cli::UsageError("du", "unknown option '" + a + "'");
        else if (dirArg.empty()) dirArg = a;
        else return vutil::cli::UsageError("du", "one directory only ('" + a + "')");
    }
    if (dirArg.empty()) return vutil::cli::UsageError("du", "missing directory");
    const CString dir = DirArgument(dirArg);
    if (!Exists(dir)) {
        std::cerr << "vutil du: not a directory: " << dirArg << "\n";
        return 1;
    }
    TextArray files;
    vutil::DateTime oldest, newest;
    std::uint64_t smallest = 0, largest = 0, total = 0;
    bool found;
    {
        vutil::cli::StatusLine status("analysing " + dirArg);
        found = CDirUtils::DoDirAnalysis(dir, exts, recursive, &oldest, &newest, &smallest, &largest, &total);
        TextArray extList;
        for (int i = 0; i < exts.GetSize(); ++i) extList.Add(exts[i]);
        CFileUtils::GetFileList(dir, extList, recursive, files, true, true, false);
    }
    if (!found) {
        std::cerr << "vutil du: nothing to analyse in " << dirArg << "\n";
        return 1;
    }
    auto when = [](const vutil::DateTime& t) -> std::string {
        if (!t.IsValidDate()) return "-";
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.GetYear(), t.GetMonth(), t.GetDay(),
                      t.GetHour(), t.GetMinute(), t.GetSecond());
        return buf;
    };
    std::cout << "files: " << files.GetCount() << "\n"
              << "total: " << total << "\n"
              << "smallest: " << (files.IsEmpty() ? 0 : smallest) << "\n"
              << "largest: " << largest << "\n"
              << "oldest: " << when(oldest) << "\n"
              << "newest: " << when(newest) << "\n";
    return 0;
}

vutil::cli::Register regLs({"ls", "<dir> [--include SPECS] [--exclude SPECS] [--recursive] [--hidden]",
                            "list the files of a directory (tree), filtered by wildcard specs", RunLs});
vutil::cli::Register regDirs({"dirs", "<dir> [--recursive] [--hidden]", "list the subdirectories of a directory",
                              RunDirs});
vutil::cli::Register regDu({"du", "<dir> [--ext LIST] [--top]",
                            "directory analysis: counts, sizes, oldest and newest file", RunDu});

}  // namespace
