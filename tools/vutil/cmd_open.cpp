// vutil open: opens a file, folder or address with the desktop's handler.

#include <iostream>

#include "command.h"
#include "vutil/system/exe_utils.h"

namespace {

using vutil::CExeUtils;
using vutil::CString;

constexpr const char* kName = "open";

int Run(const std::vector<std::string>& args) {
    CExeUtils::LaunchCommand command = CExeUtils::LC_OPEN;
    std::string dir, target, parameters;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (target.empty() && (a == "--verb" || a == "--dir")) {
            if (i + 1 == args.size()) return vutil::cli::UsageError(kName, a + " needs a value");
            const std::string& v = args[++i];
            if (a == "--dir") {
                dir = v;
                continue;
            }
            static const char* const kVerbs[] = {"open", "edit", "explore", "find", "print", "properties", "runas"};
            int found = -1;
            for (int k = 0; k < 7; ++k)
                if (v == kVerbs[k]) found = k;
            if (found < 0) return vutil::cli::UsageError(kName, "unknown verb '" + v + "'");
            command = static_cast<CExeUtils::LaunchCommand>(found);
        } else if (target.empty()) {
            if (a.size() > 1 && a[0] == '-') return vutil::cli::UsageError(kName, "unknown option '" + a + "'");
            target = a;
        } else {
            parameters += (parameters.empty() ? "" : " ") + a;
        }
    }
    if (target.empty()) return vutil::cli::UsageError(kName, "a file, folder or address is needed");
    CString error;
    if (!CExeUtils::ShellLaunchApp(CString(target), CString(parameters), CString(dir), true, command, 1, error,
                                   nullptr)) {
        std::cerr << "vutil open: " << target << ": " << vutil::cli::Utf8(error) << '\n';
        return 1;
    }
    return 0;
}

const vutil::cli::Register kRegister({kName, "[--verb open|edit|print|explore|...] [--dir DIR] <file-or-url> [parameters...]",
                                      "opens a file, folder or address with the desktop's handler", Run});

}  // namespace
