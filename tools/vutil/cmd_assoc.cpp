// vutil assoc: the program that opens files with an extension.

#include <iostream>

#include "command.h"
#include "vutil/platform/error.h"
#include "vutil/system/exe_utils.h"

namespace {

using vutil::CExeUtils;
using vutil::CString;

constexpr const char* kName = "assoc";

int Run(const std::vector<std::string>& args) {
    CExeUtils::LaunchCommand command = CExeUtils::LC_OPEN;
    std::string extension;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--print") command = CExeUtils::LC_PRINT;
        else if (args[i] == "--edit") command = CExeUtils::LC_EDIT;
        else if (!args[i].empty() && args[i][0] == '-') return vutil::cli::UsageError(kName, "unknown option '" + args[i] + "'");
        else if (!extension.empty()) return vutil::cli::UsageError(kName, "one extension only");
        else extension = args[i];
    }
    if (extension.empty() || extension[0] != '.')
        return vutil::cli::UsageError(kName, "an extension beginning with '.' is needed");
    CString exe = CExeUtils::GetFileAssocExe(CString(extension), command);
    if (exe.IsEmpty()) return vutil::cli::SystemError(kName, "no program for " + extension, vutil::platform::kErrorNoAssociation);
    std::cout << vutil::cli::Utf8(exe) << '\n';
    return 0;
}

const vutil::cli::Register kRegister({kName, "[--edit|--print] <.ext>", "prints the program that opens files with the extension", Run});

}  // namespace
