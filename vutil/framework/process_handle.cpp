// Process handles: two small objects sharing one record of the process. Live
// handles are kept in a set so that a stale or foreign pointer is refused rather
// than followed.

#include "vutil/framework/process_handle.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_set>

#include "vutil/platform/error.h"

namespace vutil {

namespace {

struct ProcessRecord {
    explicit ProcessRecord(platform::ProcessId p) : pid(p) {}
    ~ProcessRecord() {
        // A process nobody waited for is reaped if it is done; one still running is
        // left alone, as closing a handle elsewhere leaves the process alone.
        std::uint32_t code = 0;
        if (!ended) platform::ReapIfExited(pid, code);
    }
    platform::ProcessId pid;
    std::mutex lock;
    bool ended = false;
    std::uint32_t exitCode = 0;
};

struct Handle {
    std::shared_ptr<ProcessRecord> record;
};

std::mutex& Registry() {
    static std::mutex* m = new std::mutex;
    return *m;
}
std::unordered_set<void*>& Live() {
    static auto* live = new std::unordered_set<void*>;
    return *live;
}

std::shared_ptr<ProcessRecord> Find(void* handle) {
    std::lock_guard<std::mutex> guard(Registry());
    if (!handle || !Live().count(handle)) return nullptr;
    return static_cast<Handle*>(handle)->record;
}

}  // namespace

void CProcessHandle::Create(platform::ProcessId pid, void*& process, void*& thread) {
    auto record = std::make_shared<ProcessRecord>(pid);
    auto p = std::make_unique<Handle>(Handle{record});
    auto t = std::make_unique<Handle>(Handle{record});
    std::lock_guard<std::mutex> guard(Registry());
    Live().insert(p.get());
    Live().insert(t.get());
    process = p.release();
    thread = t.release();
}

bool CProcessHandle::IsHandle(void* handle) { return Find(handle) != nullptr; }

bool CProcessHandle::Close(void* handle) {
    std::unique_ptr<Handle> owned;
    {
        std::lock_guard<std::mutex> guard(Registry());
        if (!handle || !Live().erase(handle)) {
            platform::SetLastErrorCode(platform::kErrorInvalidHandle);
            return false;
        }
        owned.reset(static_cast<Handle*>(handle));
    }
    return true;
}

DWORD CProcessHandle::Wait(void* handle, DWORD milliseconds) {
    auto record = Find(handle);
    if (!record) {
        platform::SetLastErrorCode(platform::kErrorInvalidHandle);
        return kWaitFailed;
    }
    std::lock_guard<std::mutex> guard(record->lock);
    if (record->ended) return kWaitObject0;
    if (milliseconds == kInfinite) {
        if (!platform::WaitForProcess(record->pid, record->exitCode)) return kWaitFailed;
        record->ended = true;
        return kWaitObject0;
    }
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (true) {
        if (platform::ReapIfExited(record->pid, record->exitCode)) {
            record->ended = true;
            return kWaitObject0;
        }
        if (std::chrono::steady_clock::now() >= end) return kWaitTimeout;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool CProcessHandle::GetExitCode(void* handle, DWORD& code) {
    auto record = Find(handle);
    if (!record) {
        platform::SetLastErrorCode(platform::kErrorInvalidHandle);
        return false;
    }
    std::lock_guard<std::mutex> guard(record->lock);
    if (!record->ended && platform::ReapIfExited(record->pid, record->exitCode)) record->ended = true;
    code = record->ended ? record->exitCode : kStillActive;
    return true;
}

platform::ProcessId CProcessHandle::GetProcessId(void* handle) {
    auto record = Find(handle);
    return record ? record->pid : 0;
}

}  // namespace vutil
