// vutil cp, mv, rm, attr and lnk: the file operations, attributes and shortcuts.

#include <cstdio>
#include <iostream>
#include <string>

#include "command.h"
#include "vutil/dates/date_time.h"
#include "vutil/files/file_utils.h"

namespace {

using vutil::CFileUtils;
using vutil::CString;

using vutil::cli::WantsHelp;

// The library speaks backslashes; a leading one still names a host absolute path.
CString Path(const std::string& arg) {
    std::string p = arg;
    for (char& c : p)
        if (c == '/') c = '\\';
    return CString(p);
}

int Fail(const std::string& name, const CString& errors) {
    std::cerr << "vutil " << name << ": " << vutil::cli::Utf8(errors) << "\n";
    return 1;
}

int RunCopyOrMove(const std::string& name, const std::vector<std::string>& args) {
    const bool move = name == "mv";
    if (WantsHelp(args)) {
        std::cout << "usage: vutil " << name << " <source> <target>\n"
                  << (move ? "Moves a file; across file systems it copies, then deletes the source.\n"
                           : "Copies a file over its target; the target is replaced only when the copy is complete.\n");
        return 0;
    }
    if (args.size() != 2) return vutil::cli::UsageError(name, "expected <source> <target>");
    CString errors;
    bool ok;
    {
        vutil::cli::StatusLine status((move ? "moving " : "copying ") + args[0]);
        ok = move ? CFileUtils::MoveFileA(Path(args[0]), Path(args[1]), errors)
                  : CFileUtils::CopyFileA(Path(args[0]), Path(args[1]), errors);
    }
    if (ok) return 0;
    return Fail(name, errors.IsEmpty() ? CString("nothing to do") : errors);
}

int RunRm(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << "usage: vutil rm [--trash] <file>...\n"
                     "Deletes files; with --trash they go to the desktop's trash, where they can be restored.\n";
        return 0;
    }
    bool trash = false;
    std::vector<std::string> files;
    for (const auto& a : args) {
        if (a == "--trash") trash = true;
        else if (a.size() > 1 && a[0] == '-') return vutil::cli::UsageError("rm", "unknown option " + a);
        else files.push_back(a);
    }
    if (files.empty()) return vutil::cli::UsageError("rm", "no file given");
    int rc = 0;
    for (const auto& f : files) {
        CString errors;
        if (!CFileUtils::DeleteFileA(Path(f), errors, trash, false))
            rc = Fail("rm", errors.IsEmpty() ? CString((f + ": not a file").c_str()) : errors);
    }
    return rc;
}

int RunAttr(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << "usage: vutil attr <file> [+r|-r] [+h|-h] [+a|-a] [--age \"YYYY-MM-DD hh:mm:ss\"]\n"
                     "Sets the read-only, hidden and archive bits and the file times (local time), then\n"
                     "shows size, modification time, attributes and the version strings of an executable.\n";
        return 0;
    }
    if (args.empty()) return vutil::cli::UsageError("attr", "no file given");
    const CString path = Path(args[0]);
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--age") {
            int y, mo, d, h, mi, s;
            if (i + 1 >= args.size() ||
                std::sscanf(args[i + 1].c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6)
                return vutil::cli::UsageError("attr", "--age needs \"YYYY-MM-DD hh:mm:ss\"");
            if (!CFileUtils::SetFileAge(path, vutil::DateTime(y, mo, d, h, mi, s))) {
                std::cerr << "vutil attr: cannot set the times of " << args[0] << "\n";
                return 1;
            }
            ++i;
        } else if (a.size() == 2 && (a[0] == '+' || a[0] == '-') && (a[1] == 'r' || a[1] == 'h' || a[1] == 'a')) {
            const bool on = a[0] == '+';
            if (a[1] == 'r') CFileUtils::SetReadOnly(path, on);
            else if (a[1] == 'h') CFileUtils::SetHidden(path, on);
            else CFileUtils::SetArchived(path, on);
        } else {
            return vutil::cli::UsageError("attr", "unknown argument " + a);
        }
    }
    std::uint64_t size = 0;
    vutil::DateTime modified;
    bool system, hidden, readOnly, archive;
    CString strings[7];
    CFileUtils::GetFileInfo(path, &size, &modified, &system, &hidden, &readOnly, &archive, &strings[0], &strings[1],
                            &strings[2], &strings[3], &strings[4], &strings[5], &strings[6]);
    if (!modified.IsValidDate()) {
        std::cerr << "vutil attr: cannot read " << args[0] << "\n";
        return 1;
    }
    char when[32];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", modified.GetYear(), modified.GetMonth(),
                  modified.GetDay(), modified.GetHour(), modified.GetMinute(), modified.GetSecond());
    std::cout << "size: " << size << "\nmodified: " << when << "\nattributes: " << (readOnly ? "R" : "-")
              << (hidden ? "H" : "-") << (system ? "S" : "-") << (archive ? "A" : "-") << "\n";
    static const char* const kNames[] = {"Comments",       "CompanyName",     "FileDescription", "FileVersion",
                                         "LegalCopyright", "LegalTrademarks", "ProductName"};
    for (int i = 0; i < 7; ++i)
        if (!strings[i].IsEmpty()) std::cout << kNames[i] << ": " << vutil::cli::Utf8(strings[i]) << "\n";
    return 0;
}

int RunLnk(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << "usage: vutil lnk <file.lnk>\n"
                     "       vutil lnk --make <dir> <target> <name> [--show N]\n"
                     "       vutil lnk --url <dir> <address> <name>\n"
                     "Shows the target of a shell link, or writes a .lnk or .url shortcut.\n";
        return 0;
    }
    if (!args.empty() && (args[0] == "--make" || args[0] == "--url")) {
        int show = 1;
        if (args.size() == 6 && args[4] == "--show") show = std::atoi(args[5].c_str());
        else if (args.size() != 4) return vutil::cli::UsageError("lnk", "expected <dir> <target> <name>");
        const bool ok = args[0] == "--make"
                            ? CFileUtils::CreateFileShortcut(Path(args[1]), Path(args[2]), CString(args[3]), show)
                            : CFileUtils::CreateURLShortcut(Path(args[1]), CString(args[2]), CString(args[3]));
        if (ok) return 0;
        std::cerr << "vutil lnk: cannot write the shortcut " << args[3] << " in " << args[1] << "\n";
        return 1;
    }
    if (args.size() != 1) return vutil::cli::UsageError("lnk", "expected one shortcut file");
    const CString target = CFileUtils::GetLinkTarget(Path(args[0]));
    if (target.IsEmpty()) {
        std::cerr << "vutil lnk: no target in " << args[0] << "\n";
        return 1;
    }
    std::cout << vutil::cli::Utf8(target) << "\n";
    return 0;
}

vutil::cli::Register regCp({"cp", "<source> <target>", "copy a file safely (temporary file, then rename)",
                            [](const std::vector<std::string>& a) { return RunCopyOrMove("cp", a); }});
vutil::cli::Register regMv({"mv", "<source> <target>", "move or rename a file",
                            [](const std::vector<std::string>& a) { return RunCopyOrMove("mv", a); }});
vutil::cli::Register regRm({"rm", "[--trash] <file>...", "delete files, or move them to the trash", RunRm});
vutil::cli::Register regAttr({"attr", "<file> [+r|-r] [+h|-h] [+a|-a] [--age TIME]",
                              "set and show attributes, times and version strings", RunAttr});
vutil::cli::Register regLnk({"lnk", "<file.lnk> | --make <dir> <target> <name> | --url <dir> <address> <name>",
                             "read or write shortcuts", RunLnk});

}  // namespace
