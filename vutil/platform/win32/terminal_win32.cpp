#include "vutil/platform/terminal.h"
#include "vutil/platform/win32/win32_util.h"

namespace vutil::platform {

// Only a console has a mode; a pipe or a file does not.
bool StreamIsTerminal(StdStream stream) {
    HANDLE h = ::GetStdHandle(stream == StdStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    ::DWORD mode = 0;
    return h && h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &mode) != FALSE;
}

}  // namespace vutil::platform
