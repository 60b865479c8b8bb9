// Processes on Windows: CreateProcessW with the arguments joined by the runtime's
// quoting rules. The seam speaks process ids; the handles behind them stay open in a
// table until the process is waited for or reaped, so the id cannot be reused under
// us and the exit code stays readable.

#include <map>
#include <mutex>

#include "vutil/platform/process.h"
#include "vutil/platform/win32/win32_util.h"

namespace vutil::platform {

namespace {

std::mutex& TableLock() {
    static auto* m = new std::mutex;
    return *m;
}

std::map<ProcessId, HANDLE>& Table() {
    static auto* t = new std::map<ProcessId, HANDLE>;
    return *t;
}

// The handle of a process we started and nobody reaped yet; like a child on POSIX,
// any other process cannot be waited for.
HANDLE HandleOf(ProcessId pid) {
    std::lock_guard<std::mutex> guard(TableLock());
    auto it = Table().find(pid);
    if (it != Table().end()) return it->second;
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

void Forget(ProcessId pid, HANDLE h) {
    std::lock_guard<std::mutex> guard(TableLock());
    auto it = Table().find(pid);
    if (it == Table().end() || it->second != h) return;  // another thread reaped it first
    Table().erase(it);
    ::CloseHandle(h);
}

// Waits up to `ms` for the end; true with the exit code once it has ended.
bool Collect(ProcessId pid, ::DWORD ms, std::uint32_t& exitCode) {
    HANDLE h = HandleOf(pid);
    if (!h) return false;
    const ::DWORD r = ::WaitForSingleObject(h, ms);
    if (r != WAIT_OBJECT_0) {
        if (r == WAIT_TIMEOUT) ::SetLastError(WAIT_TIMEOUT);
        return false;
    }
    ::DWORD code = 0;
    if (!::GetExitCodeProcess(h, &code)) return false;
    exitCode = code;
    Forget(pid, h);
    return true;
}

}  // namespace

bool StartProcess(const std::vector<std::string>& argv, std::string_view dir, ProcessId& pid) noexcept {
    pid = 0;
    try {
        if (argv.empty() || argv[0].empty()) return win32::Fail(ERROR_INVALID_PARAMETER);
        std::vector<std::string> args = argv;
        for (char& c : args[0])
            if (c == '/') c = '\\';
        // The program goes first on the line and is found from there (no application
        // name), as the runtime of the child reads its own name from the same line.
        std::wstring line = win32::Wide(JoinCommandLine(args));
        const std::wstring wideDir = win32::WidePath(dir);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
        si.wShowWindow = SW_SHOW;
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                              dir.empty() ? nullptr : wideDir.c_str(), &si, &pi))
            return false;
        ::CloseHandle(pi.hThread);
        pid = static_cast<ProcessId>(pi.dwProcessId);
        std::lock_guard<std::mutex> guard(TableLock());
        auto [it, added] = Table().emplace(pid, pi.hProcess);
        if (!added) {
            // An id of ours that nobody reaped was reused by the system: the old handle goes.
            ::CloseHandle(it->second);
            it->second = pi.hProcess;
        }
        return true;
    } catch (...) {
        return win32::Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

bool WaitForProcess(ProcessId pid, std::uint32_t& exitCode) noexcept {
    return Collect(pid, INFINITE, exitCode);
}

bool ReapIfExited(ProcessId pid, std::uint32_t& exitCode) noexcept { return Collect(pid, 0, exitCode); }

std::string FindProgram(std::string_view name) {
    if (name.empty()) return {};
    const std::wstring wide = win32::WidePath(name);
    std::wstring found(MAX_PATH, L'\0');
    for (;;) {
        // A name with a folder is taken as it is; a bare one is searched where the
        // system looks for programs, ".exe" added when it has no extension.
        const ::DWORD n = ::SearchPathW(nullptr, wide.c_str(), L".exe", static_cast<::DWORD>(found.size()),
                                        found.data(), nullptr);
        if (n == 0) return {};
        if (n < found.size()) {
            found.resize(n);
            break;
        }
        found.assign(n, L'\0');
    }
    const ::DWORD attributes = ::GetFileAttributesW(found.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return win32::Narrow(found);
}

}  // namespace vutil::platform
