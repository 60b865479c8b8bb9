// vutil browser: the default web browser and the well-known browsers registered.

#include <iostream>

#include "command.h"
#include "vutil/system/browser_utils.h"

namespace {

using vutil::CBrowserUtils;

constexpr const char* kName = "browser";

int Run(const std::vector<std::string>& args) {
    if (!args.empty()) return vutil::cli::UsageError(kName, "takes no arguments");
    int index = 0;
    const auto name = CBrowserUtils::GetDefaultBrowserName();
    const auto path = CBrowserUtils::GetDefaultBrowserPath();
    const auto icon = CBrowserUtils::GetDefaultBrowserIcon(index);
    bool ie = false, firefox = false, opera = false, chrome = false;
    CBrowserUtils::GetInstalledBrowsers(ie, firefox, opera, chrome);
    std::cout << "name:    " << vutil::cli::Utf8(name) << "\n"
              << "command: " << vutil::cli::Utf8(path) << "\n"
              << "icon:    " << vutil::cli::Utf8(icon) << "," << index << "\n"
              << "known:  " << (ie ? " iexplore" : "") << (firefox ? " firefox" : "") << (opera ? " opera" : "")
              << (chrome ? " chrome" : "") << "\n";
    return name.IsEmpty() && path.IsEmpty() ? 1 : 0;
}

const vutil::cli::Register kRegister({kName, "", "shows the default web browser (exit 1 when there is none)", Run});

}  // namespace
