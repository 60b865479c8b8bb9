#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "vutil/platform/open_document.h"
#include "vutil/platform/path.h"

extern char** environ;

namespace vutil::platform {

bool OpenDocumentWithHandler(std::string_view path) {
    const std::optional<std::string> host = ToHostPath(path);
    if (!host) return false;
    std::string program = "xdg-open";
    std::string argument = *host;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool DocumentOpeningSuppressed() noexcept { return std::getenv("VUTIL_NO_OPEN") != nullptr; }

}  // namespace vutil::platform
