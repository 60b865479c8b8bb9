// Whole-file operations on the Windows file API: safe copies and rewrites (temporary
// file, flush, one replacing rename), times, attribute bits, mapped views.

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "vutil/platform/file_ops.h"
#include "vutil/platform/win32/file_ops_internal.h"

namespace vutil::platform {

using win32::Guarded;
using win32::NativeHandle;
using win32::TempBeside;
using win32::UniqueHandle;
using win32::Wide;
using win32::WidePath;

namespace {

constexpr ::DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ::DWORD kDosBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
constexpr ::DWORD kSettable = FILE_ATTRIBUTE_READONLY | kDosBits | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::string UniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%lx.%x.%lx", static_cast<unsigned long>(::GetCurrentProcessId()), counter.fetch_add(1),
                  static_cast<unsigned long>(::GetTickCount()));
    return buf;
}

}  // namespace

namespace win32 {

bool TempBeside::Create(std::string_view target) {
    m_target = WidePath(target);
    const std::size_t cut = target.find_last_of("\\/");
    const std::string_view folder = cut == std::string_view::npos ? std::string_view() : target.substr(0, cut + 1);
    const std::string name(target.substr(folder.size()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Through WidePath again: the longer name may need the long-path prefix.
        m_path = WidePath(std::string(folder) + "." + name + "." + UniqueSuffix() + ".tmp");
        m_file.reset(::CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
        if (m_file) return true;
        if (::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    m_path.clear();
    return false;
}

bool TempBeside::Write(const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ::DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<::DWORD>(size);
        ::DWORD done = 0;
        if (!::WriteFile(m_file.get(), p, chunk, &done, nullptr)) return false;
        if (done == 0) return Fail(ERROR_WRITE_FAULT);
        p += done;
        size -= done;
    }
    return true;
}

bool TempBeside::Commit() {
    if (!::FlushFileBuffers(m_file.get())) return false;
    m_file.reset();
    if (m_attributes && !::SetFileAttributesW(m_path.c_str(), m_attributes)) return false;
    if (!::MoveFileExW(m_path.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    m_path.clear();
    return true;
}

TempBeside::~TempBeside() {
    if (m_path.empty()) return;
    const ::DWORD err = ::GetLastError();  // the failure's own code is the caller's answer
    m_file.reset();
    ::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(m_path.c_str());
    ::SetLastError(err);
}

}  // namespace win32

bool CopyFileSafely(std::string_view source, std::string_view target) noexcept {
    return Guarded(false, [&] {
        UniqueHandle in(::CreateFileW(WidePath(source).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!in) return false;
        BY_HANDLE_FILE_INFORMATION bi{};
        if (!::GetFileInformationByHandle(in.get(), &bi)) return false;
        // Pipes, consoles and devices are no files to copy.
        if (::GetFileType(in.get()) != FILE_TYPE_DISK || (bi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return win32::Fail(ERROR_ACCESS_DENIED);
        TempBeside temp;
        if (!temp.Create(target)) return false;
        std::vector<char> buffer(1 << 20);
        for (;;) {
            ::DWORD n = 0;
            if (!::ReadFile(in.get(), buffer.data(), static_cast<::DWORD>(buffer.size()), &n, nullptr)) return false;
            if (n == 0) break;
            if (!temp.Write(buffer.data(), n)) return false;
        }
        // A copy keeps the source's times and attribute bits, as the system's copy does.
        ::SetFileTime(temp.Handle(), nullptr, &bi.ftLastAccessTime, &bi.ftLastWriteTime);
        temp.KeepAttributes(bi.dwFileAttributes & kSettable);
        return temp.Commit();
    });
}

bool ReplaceFileContents(std::string_view path, std::string_view bytes) noexcept {
    return Guarded(false, [&] {
        const std::wstring wide = WidePath(path);
        TempBeside temp;
        if (!temp.Create(path)) return false;
        if (!temp.Write(bytes.data(), bytes.size())) return false;
        // The new contents keep the old file's attribute bits.
        const ::DWORD a = ::GetFileAttributesW(wide.c_str());
        if (a != INVALID_FILE_ATTRIBUTES) temp.KeepAttributes(a & kSettable);
        return temp.Commit();
    });
}

bool SameFileSystem(std::string_view a, std::string_view b) noexcept {
    return Guarded(false, [&] {
        wchar_t va[MAX_PATH + 1], vb[MAX_PATH + 1];
        if (!::GetVolumePathNameW(WidePath(a).c_str(), va, MAX_PATH + 1) ||
            !::GetVolumePathNameW(WidePath(b).c_str(), vb, MAX_PATH + 1))
            return false;
        if (::CompareStringOrdinal(va, -1, vb, -1, TRUE) == CSTR_EQUAL) return true;
        // Two mount points of one volume have one volume name.
        wchar_t na[64], nb[64];
        return ::GetVolumeNameForVolumeMountPointW(va, na, 64) && ::GetVolumeNameForVolumeMountPointW(vb, nb, 64) &&
               ::CompareStringOrdinal(na, -1, nb, -1, TRUE) == CSTR_EQUAL;
    });
}

bool SetFileTimes(std::string_view path, std::uint64_t creation, std::uint64_t access,
                  std::uint64_t write) noexcept {
    return Guarded(false, [&] {
        UniqueHandle f(::CreateFileW(WidePath(path).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!f) return false;
        // A zero time leaves that time as it is.
        const FILETIME c = win32::FileTimeOf(creation), a = win32::FileTimeOf(access), w = win32::FileTimeOf(write);
        return ::SetFileTime(f.get(), creation ? &c : nullptr, access ? &a : nullptr, write ? &w : nullptr) != 0;
    });
}

bool SetDosAttributeBits(std::string_view path, DWORD bits) noexcept {
    return Guarded(false, [&] {
        const std::wstring wide = WidePath(path);
        const ::DWORD now = ::GetFileAttributesW(wide.c_str());
        if (now == INVALID_FILE_ATTRIBUTES) return false;
        const ::DWORD next = ((now & ~kDosBits) | (bits & kDosBits)) & kSettable;
        return ::SetFileAttributesW(wide.c_str(), next ? next : FILE_ATTRIBUTE_NORMAL) != 0;
    });
}

std::string ExpandEnvironmentText(std::string_view text) {
    const std::wstring wide = Wide(text);
    std::wstring out(wide.size() + 256, L'\0');
    for (int round = 0; round < 3; ++round) {
        const ::DWORD n = ::ExpandEnvironmentStringsW(wide.c_str(), out.data(), static_cast<::DWORD>(out.size()));
        if (n == 0) return std::string(text);  // the system could not expand: the text as written
        if (n <= out.size()) {
            out.resize(n - 1);  // n counts the terminating zero
            return win32::Narrow(out);
        }
        out.resize(n);
    }
    return std::string(text);
}

namespace {
std::mutex& ViewLock() {
    static auto* lock = new std::mutex;
    return *lock;
}
// Each view with the mapping object behind it.
std::map<void*, HANDLE>& Views() {
    static auto* views = new std::map<void*, HANDLE>;
    return *views;
}
}  // namespace

void* MapFileView(FileHandle h, std::size_t length, bool writable) noexcept {
    if (length == 0) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // The mapping covers the file as it is; a view longer than the file fails rather
    // than growing it.
    UniqueHandle mapping(
        ::CreateFileMappingW(NativeHandle(h), nullptr, writable ? PAGE_READWRITE : PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return nullptr;
    void* view = ::MapViewOfFile(mapping.get(), writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, length);
    if (!view) return nullptr;
    try {
        std::lock_guard guard(ViewLock());
        Views()[view] = mapping.get();
    } catch (...) {
        ::UnmapViewOfFile(view);
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    mapping.release();
    return view;
}

bool UnmapFileView(void* view) noexcept {
    HANDLE mapping = nullptr;
    {
        std::lock_guard guard(ViewLock());
        auto it = Views().find(view);
        if (it == Views().end()) return win32::Fail(ERROR_INVALID_PARAMETER);
        mapping = it->second;
        Views().erase(it);
    }
    const bool ok = ::UnmapViewOfFile(view) != 0;
    const ::DWORD err = ::GetLastError();
    ::CloseHandle(mapping);
    if (!ok) ::SetLastError(err);
    return ok;
}

std::string HostProgramPath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const ::DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<::DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
    return win32::Narrow(buffer);
}

bool DeleteFileAtRestart(std::string_view path) noexcept {
    // Needs the right to write the machine's pending operations; the system decides.
    return Guarded(false, [&] {
        return ::MoveFileExW(WidePath(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    });
}

}  // namespace vutil::platform
