#pragma once
// The X display, reached through libX11 loaded at run time and only when DISPLAY
// names a display. Internal to the POSIX backend.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vutil/platform/clipboard.h"
#include "vutil/platform/desktop.h"

namespace vutil::platform::posix {

// True when DISPLAY is set and libX11 could be loaded (the display itself is
// opened per call).
bool X11Present();

std::vector<TopWindow> X11TopWindows();
std::string X11WindowTitle(std::uintptr_t id);

bool X11ClipboardPublish(const ClipboardFormats& formats);
std::optional<std::string> X11ClipboardRead(std::string_view format);

}  // namespace vutil::platform::posix
