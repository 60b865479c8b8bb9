#pragma once
// The desktop's programs: which program handles a file type or an address scheme,
// the default web browser, opening a document or address with its handler, and the
// top-level windows of the display. POSIX: freedesktop.org MIME associations and
// desktop entries; windows through the X display when there is one.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vutil/platform/types.h"

namespace vutil::platform {

// One program as the desktop registers it.
struct DesktopApp {
    std::string id;       // registration name ("firefox-esr.desktop")
    std::string name;     // display name, Windows-1252
    std::string command;  // command line as registered
    std::string icon;     // icon name or file
    std::string program;  // the program file, library form; empty when not found
};

// The program that runs the verb ("open", "edit", "print", ...) for files with the
// extension (".txt") or for an address scheme ("http:"). "open" takes the handler's
// main command, any other verb an action of that name in its registration.
std::optional<DesktopApp> AppForExtension(std::string_view extension, std::string_view verb);
// The desktop's default web browser.
std::optional<DesktopApp> DefaultBrowser();

// Opens a document, folder or address with its handler and the verb. parameters
// follow the handler's own arguments (split by the Windows rules). Returns 0, or the
// Windows error code (2 missing file, 1155 no handler for the verb, ...), also set
// as the thread's last error. With VUTIL_NO_OPEN set nothing is started; when it
// names a file, the command that would have run is appended to it as one line.
DWORD OpenWithHandler(std::string_view target, std::string_view parameters, std::string_view dir,
                      std::string_view verb);

// Top-level windows, topmost first; none without a display.
struct TopWindow {
    std::uintptr_t id = 0;
    std::string className;  // Windows-1252
    std::string title;      // Windows-1252
};
std::vector<TopWindow> ListTopWindows();
// The title of one window; empty when it has none or is gone.
std::string WindowTitle(std::uintptr_t id);

}  // namespace vutil::platform
