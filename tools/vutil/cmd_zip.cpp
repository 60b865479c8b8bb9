// vutil zip and unzip: archives of files and folders, listing and safe extraction.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "vutil/dates/date_time.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/files/zip_archive.h"
#include "vutil/platform/terminal.h"

namespace {

using vutil::CDirUtils;
using vutil::CFileUtils;
using vutil::CString;
using vutil::CZipArchive;

using vutil::cli::WantsHelp;

// "<verb> 12.3 MB" on a terminal, redrawn at most every 4 MB, erased at the end.
class ProgressLine {
public:
    explicit ProgressLine(const char* verb)
        : m_verb(verb), m_on(vutil::platform::StreamIsTerminal(vutil::platform::StdStream::Error)) {}
    ~ProgressLine() {
        if (m_on && m_shown) std::cerr << "\r\033[K" << std::flush;
    }
    void Attach(CZipArchive& zip) {
        if (!m_on) return;
        zip.SetProgress([this](std::uint64_t bytes) {
            if (bytes < m_next) return;
            m_next = bytes + (4u << 20);
            m_shown = true;
            std::fprintf(stderr, "\r%s %.1f MB", m_verb, static_cast<double>(bytes) / 1e6);
            std::fflush(stderr);
        });
    }

private:
    const char* m_verb;
    bool m_on, m_shown = false;
    std::uint64_t m_next = 0;
};

int ZipError(const char* command, const std::string& what) {
    std::cerr << "vutil " << command << ": " << what << ": "
              << CZipArchive::FormatMessage(CZipArchive::ZR_RECENT).GetString() << "\n";
    return 1;
}

int List(const std::string& archive) {
    vutil::TextArray names;
    std::vector<std::uint64_t> sizes;
    std::vector<vutil::DateTime> times;
    if (!CFileUtils::GetZipContent(CString(archive), names, sizes, times)) return ZipError("zip", "cannot list " + archive);
    for (unsigned i = 0; i < names.GetCount(); ++i) {
        const auto& t = times[i];
        char when[80] = "-";
        if (t.IsValidDate())
            std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d", t.GetYear(), t.GetMonth(), t.GetDay(),
                          t.GetHour() < 0 ? 0 : t.GetHour(), t.GetMinute() < 0 ? 0 : t.GetMinute());
        std::cout << sizes[i] << "\t" << when << "\t" << vutil::cli::Utf8(names.GetAt(i)) << "\n";
    }
    return 0;
}

int RunZip(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << "usage: vutil zip <archive> <files or folders>...\n"
                     "       vutil zip --list <archive>\n"
                     "Writes a zip archive (folders keep their own name as the top of their entries),\n"
                     "or lists an archive's entries: size, time, name.\n";
        return 0;
    }
    if (!args.empty() && args[0] == "--list") {
        if (args.size() != 2) return vutil::cli::UsageError("zip", "--list takes one archive");
        return List(args[1]);
    }
    for (const auto& a : args)
        if (a.size() > 1 && a[0] == '-') return vutil::cli::UsageError("zip", "unknown option '" + a + "'");
    if (args.empty()) return vutil::cli::UsageError("zip", "missing archive");
    if (args.size() < 2) return vutil::cli::UsageError("zip", "nothing to add");
    CZipArchive zip;
    ProgressLine progress("zip");
    progress.Attach(zip);
    if (zip.Create(CString(args[0])) != CZipArchive::ZR_OK) return ZipError("zip", "cannot create " + args[0]);
    for (std::size_t i = 1; i < args.size(); ++i) {
        CString path(args[i]);
        while (path.GetLength() > 1 && (path.Right(1) == "/" || path.Right(1) == "\\")) path.Truncate(path.GetLength() - 1);
        unsigned r;
        if (CDirUtils::IsDir(path, false)) {
            CString name = CFileUtils::ParseFileNameFromPath(path, true);
            if (name.IsEmpty() || name == "." || name == "..") name = "root";
            r = zip.AddTree(path, name);
        } else {
            r = zip.Add(CFileUtils::ParseFileNameFromPath(path, true), path.GetString(), 0, CZipArchive::ZIP_FILENAME);
        }
        if (r != CZipArchive::ZR_OK) return ZipError("zip", "cannot add " + args[i]);
    }
    if (zip.Close() != CZipArchive::ZR_OK) return ZipError("zip", "cannot write " + args[0]);
    return 0;
}

int RunUnzip(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::cout << "usage: vutil unzip <archive> <folder>\n"
                     "Extracts every entry beneath the folder (created when missing). Entries whose names\n"
                     "would leave it are refused; the command then fails after extracting the rest.\n";
        return 0;
    }
    for (const auto& a : args)
        if (a.size() > 1 && a[0] == '-') return vutil::cli::UsageError("unzip", "unknown option '" + a + "'");
    if (args.size() != 2) return vutil::cli::UsageError("unzip", args.size() < 2 ? "missing archive or folder"
                                                                                 : "too many arguments");
    CZipArchive zip;
    ProgressLine progress("unzip");
    progress.Attach(zip);
    if (zip.Open(CString(args[0])) != CZipArchive::ZR_OK) return ZipError("unzip", "cannot open " + args[0]);
    if (!zip.ExtractBeneath(CString(args[1]), {})) {
        std::cerr << "vutil unzip: some entries could not be extracted (unsafe names or damaged data)\n";
        return 1;
    }
    return 0;
}

vutil::cli::Register regZip({"zip", "<archive> <files or folders>... | --list <archive>",
                             "create a zip archive of files and folders, or list one", RunZip});
vutil::cli::Register regUnzip({"unzip", "<archive> <folder>", "extract a zip archive beneath a folder", RunUnzip});

}  // namespace
