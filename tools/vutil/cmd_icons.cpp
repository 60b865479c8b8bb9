// vutil icons: one PNG per icon group of an executable's resources.

#include <iostream>
#include <string>

#include "command.h"
#include "vutil/core/app_logger.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/platform/error.h"
#include "vutil/platform/file.h"
#include "vutil/platform/terminal.h"

namespace {

using vutil::CString;

int RunIcons(const std::vector<std::string>& args) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h") {
            std::cout << "usage: vutil icons <exe> <out-folder> [--small]\n"
                         "Writes one PNG per icon group of a Windows executable or DLL, in resource order,\n"
                         "as <name>-<n>.png at the normal icon size (32x32) or the small one (16x16).\n";
            return 0;
        }
    std::vector<std::string> paths;
    bool small = false;
    for (const auto& a : args) {
        if (a == "--small") small = true;
        else if (!a.empty() && a[0] == '-') return vutil::cli::UsageError("icons", "unknown option '" + a + "'");
        else paths.push_back(a);
    }
    if (paths.size() < 2) return vutil::cli::UsageError("icons", paths.empty() ? "missing executable" : "missing output folder");
    if (paths.size() > 2) return vutil::cli::UsageError("icons", "too many arguments ('" + paths[2] + "')");

    const CString exe(paths[0]);
    {
        vutil::platform::FileHandle h = vutil::platform::OpenFile(exe.view(), vutil::platform::kFileRead);
        if (h == vutil::platform::kInvalidFile)
            return vutil::cli::SystemError("icons", "cannot read " + paths[0], vutil::platform::GetLastErrorCode());
        vutil::platform::CloseFile(h);
    }
    CString outDir(paths[1]);
    vutil::CDirUtils::EnsureTrailingBackslash(outDir);
    if (!vutil::CDirUtils::IsDir(outDir, false) && !vutil::CDirUtils::CreateDirectoryA(outDir))
        return vutil::cli::SystemError("icons", "cannot create " + paths[1], vutil::platform::GetLastErrorCode());

    // The library logs why a walk stopped; keep those lines to tell the user.
    vutil::CAppLogger* log = vutil::CAppLogger::GetInstance();
    if (!log) log = vutil::CAppLogger::CreateForTesting();
    const std::size_t logStart = log->Lines().size();

    vutil::CImageList images;
    const bool onTerminal = vutil::platform::StreamIsTerminal(vutil::platform::StdStream::Error);
    if (onTerminal) std::cerr << "reading " << paths[0] << "..." << std::flush;
    vutil::CFileUtils::LoadFileIcons(exe, images, small);
    if (onTerminal) std::cerr << "\r\033[K" << std::flush;

    const CString base = vutil::CFileUtils::ParseFileNameFromPath(exe, false);
    for (int i = 0; i < images.GetImageCount(); ++i) {
        CString name;
        name.Format("%s%s-%d.png", outDir.GetString(), base.GetString(), i + 1);
        if (!images.WritePng(i, name))
            return vutil::cli::SystemError("icons", "cannot write " + vutil::cli::Utf8(name),
                                           vutil::platform::GetLastErrorCode());
        std::cout << vutil::cli::Utf8(name) << '\n';
    }
    const auto& lines = log->Lines();
    if (images.GetImageCount() == 0) {
        std::cerr << "vutil icons: no icons read from " << paths[0];
        if (lines.size() > logStart)
            std::cerr << " (" << vutil::cli::Utf8(lines.back().site) << " " << vutil::cli::Utf8(lines.back().text) << ")";
        std::cerr << "\n";
        return 1;
    }
    return 0;
}

vutil::cli::Register regIcons({"icons", "<exe> <out-folder> [--small]",
                               "write one PNG per icon group of an executable's resources", RunIcons});

}  // namespace
