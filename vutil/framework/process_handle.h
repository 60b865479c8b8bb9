#pragma once
// CProcessHandle: the handles of a started process and of its main thread, as a
// launch hands them out. Either may be waited on; the caller closes both. The
// process is reaped by the first wait that sees it end, or when the last handle is
// closed after it ended.

#include "vutil/framework/types.h"
#include "vutil/platform/process.h"

namespace vutil {

class CProcessHandle {
public:
    static constexpr DWORD kInfinite = 0xFFFFFFFFu;
    static constexpr DWORD kWaitObject0 = 0;
    static constexpr DWORD kWaitTimeout = 258;
    static constexpr DWORD kWaitFailed = 0xFFFFFFFFu;
    static constexpr DWORD kStillActive = 259;

    // The two handles of one started process.
    static void Create(platform::ProcessId pid, void*& process, void*& thread);
    // False for a null, closed or foreign handle.
    static bool Close(void* handle);
    static bool IsHandle(void* handle);
    // kWaitObject0 once the process has ended, kWaitTimeout while it runs on.
    static DWORD Wait(void* handle, DWORD milliseconds);
    // The exit code, or kStillActive while the process runs.
    static bool GetExitCode(void* handle, DWORD& code);
    static platform::ProcessId GetProcessId(void* handle);
};

}  // namespace vutil
