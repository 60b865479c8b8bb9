// Processes on POSIX: posix_spawn with a change of directory, waitpid for the end.

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "vutil/platform/error.h"
#include "vutil/platform/path.h"
#include "vutil/platform/posix/sys_calls.h"
#include "vutil/platform/process.h"

extern char** environ;

namespace vutil::platform {

namespace {

std::uint32_t StatusToCode(int status) {
    if (WIFEXITED(status)) return static_cast<std::uint32_t>(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return 128u + static_cast<std::uint32_t>(WTERMSIG(status));
    return 0;
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

bool StartProcess(const std::vector<std::string>& argv, std::string_view dir, ProcessId& pid) noexcept {
    pid = 0;
    try {
        if (argv.empty()) {
            SetLastErrorCode(kErrorInvalidParameter);
            return false;
        }
        auto program = ToHostPath(argv[0]);
        auto hostDir = ToHostPath(dir);
        if (!program || !hostDir) {
            SetLastErrorCode(kErrorPathNotFound);
            return false;
        }
        std::vector<char*> args;
        args.reserve(argv.size() + 1);
        std::string first = *program;
        args.push_back(first.data());
        std::vector<std::string> rest(argv.begin() + 1, argv.end());
        for (auto& a : rest) args.push_back(a.data());
        args.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        if (int e = posix_spawn_file_actions_init(&actions)) {
            SetLastErrorFromErrno(e);
            return false;
        }
        int err = posix_spawn_file_actions_addchdir_np(&actions, hostDir->c_str());
        pid_t child = 0;
        if (err == 0) err = posix_spawn(&child, program->c_str(), &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (err != 0) {
            SetLastErrorFromErrno(err, ErrorContext::kGeneral);
            return false;
        }
        pid = child;
        return true;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool WaitForProcess(ProcessId pid, std::uint32_t& exitCode) noexcept {
    int status = 0;
    pid_t r = posix::RetryAfterSignal([&] { return ::waitpid(static_cast<pid_t>(pid), &status, 0); });
    if (r != static_cast<pid_t>(pid)) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    exitCode = StatusToCode(status);
    return true;
}

bool ReapIfExited(ProcessId pid, std::uint32_t& exitCode) noexcept {
    int status = 0;
    pid_t r = posix::RetryAfterSignal([&] { return ::waitpid(static_cast<pid_t>(pid), &status, WNOHANG); });
    if (r != static_cast<pid_t>(pid)) return false;
    exitCode = StatusToCode(status);
    return true;
}

std::string FindProgram(std::string_view name) {
    if (name.empty()) return {};
    if (name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos) {
        auto host = ToHostPath(name);
        return host && IsExecutableFile(*host) ? FromHostPath(*host) : std::string{};
    }
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        std::size_t colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        if (dir.empty()) dir = ".";
        std::string candidate = dir + "/" + std::string(name);
        if (candidate[0] == '/' && IsExecutableFile(candidate)) return FromHostPath(candidate);
        if (colon == std::string_view::npos) break;
        dirs.remove_prefix(colon + 1);
    }
    return {};
}

}  // namespace vutil::platform
