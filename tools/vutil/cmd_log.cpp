// vutil log dump: shows an application log file.

#include <cstdio>
#include <iostream>
#include <string>

#include "command.h"
#include "vutil/core/app_logger.h"
#include "vutil/dates/date_time.h"
#include "vutil/framework/archive.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"

namespace {

using vutil::CArchive;
using vutil::CString;

int RunLog(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: vutil log dump <file.log>\n"
                     "Shows the application name and every entry (time, site, text) of a log file.\n";
        return 0;
    }
    if (args.size() != 2 || args[0] != "dump") return vutil::cli::UsageError("log", "expected: dump <file>");
    vutil::CFile file;
    if (!file.Open(args[1].c_str(), vutil::CFile::modeRead | vutil::CFile::typeBinary)) {
        std::cerr << "vutil log: cannot open " << args[1] << "\n";
        return 1;
    }
    try {
        CArchive ar(&file, CArchive::load);
        CString title, app;
        vutil::WORD version = 0;
        vutil::DWORD count = 0;
        ar >> title >> version;
        if (title != "Veltrane Software Log File") {
            std::cerr << "vutil log: not a log file: " << args[1] << "\n";
            return 1;
        }
        ar >> app >> count;
        std::cout << "application: " << vutil::cli::Utf8(app) << "\nversion: " << version << "\nentries: " << count
                  << "\n";
        for (vutil::DWORD i = 0; i < count; ++i) {
            vutil::WORD entryVersion = 0;
            vutil::DateTime when;
            CString site, text;
            ar >> entryVersion;
            when.Serialize(ar);
            ar >> site >> text;
            char stamp[32] = "-";
            if (when.IsValid())
                std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d", when.GetYear(), when.GetMonth(),
                              when.GetDay(), when.GetHour(), when.GetMinute(), when.GetSecond());
            std::cout << stamp << "\t" << vutil::cli::Utf8(site) << "\t" << vutil::cli::Utf8(text) << "\n";
        }
    } catch (const vutil::CArchiveException&) {
        std::cerr << "vutil log: the file ends early: " << args[1] << "\n";
        return 1;
    }
    return 0;
}

vutil::cli::Register regLog({"log", "dump <file.log>", "show an application log file", RunLog});

}  // namespace
