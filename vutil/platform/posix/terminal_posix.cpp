#include <unistd.h>

#include "vutil/platform/terminal.h"

namespace vutil::platform {

bool StreamIsTerminal(StdStream stream) {
    return isatty(stream == StdStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

}  // namespace vutil::platform
