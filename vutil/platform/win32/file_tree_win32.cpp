// Writing beneath a folder handle. Each level is opened from the one above without
// following reparse points (links, junctions), and folder handles do not share delete:
// while one is open neither it nor a folder above it can be renamed or replaced, so the
// path the system gives for the handle stays the folder's own.

#include <atomic>
#include <cstdio>
#include <string>

#include "vutil/platform/file_tree.h"
#include "vutil/platform/win32/file_ops_internal.h"

namespace vutil::platform {

using win32::Guarded;
using win32::LibraryHandle;
using win32::NativeHandle;
using win32::UniqueHandle;

namespace {

constexpr ::DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr ::DWORD kFolderShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

// A name the system would store as asked: no separator, stream or wildcard sign, and no
// final dot or space (which it would drop, landing on another name).
bool BadPart(const std::string& p) {
    if (p.empty() || p == "." || p == ".." || p.back() == '.' || p.back() == ' ') return true;
    for (const char c : p) {
        if (static_cast<unsigned char>(c) < 0x20) return true;
        switch (c) {
            case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|': return true;
            default: break;
        }
    }
    return false;
}

// The folder's path as the system knows it ("\\?\C:\dest"); empty on failure.
std::wstring FolderPath(FileHandle dir) {
    std::wstring out(MAX_PATH, L'\0');
    for (;;) {
        const ::DWORD n = ::GetFinalPathNameByHandleW(NativeHandle(dir), out.data(), static_cast<::DWORD>(out.size()),
                                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return {};
        if (n < out.size()) {
            out.resize(n);
            break;
        }
        out.resize(n);
    }
    if (!out.empty() && out.back() == L'\\') out.pop_back();
    // Names are joined to it verbatim: without the prefix the system would rewrite them.
    if (out.rfind(L"\\\\?\\", 0) != 0) {
        if (out.rfind(L"\\\\", 0) == 0) out = L"\\\\?\\UNC\\" + out.substr(2);
        else out = L"\\\\?\\" + out;
    }
    return out;
}

std::wstring InFolder(FileHandle dir, const std::string& name) {
    std::wstring folder = FolderPath(dir);
    if (folder.empty()) return {};
    return folder + L"\\" + win32::Wide(name);
}

HANDLE OpenLevel(const std::wstring& path) {
    return ::CreateFileW(path.c_str(), kFolderAccess, kFolderShare, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

}  // namespace

FileHandle OpenFolder(std::string_view path) noexcept {
    return Guarded(kInvalidFile, [&] {
        UniqueHandle h(::CreateFileW(win32::WidePath(path).c_str(), kFolderAccess, kFolderShare, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!h) return kInvalidFile;
        BY_HANDLE_FILE_INFORMATION bi{};
        if (!::GetFileInformationByHandle(h.get(), &bi)) return kInvalidFile;
        if (!(bi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ::SetLastError(ERROR_DIRECTORY);
            return kInvalidFile;
        }
        return LibraryHandle(h.release());
    });
}

FileHandle OpenFolderBeneath(FileHandle dir, const std::vector<std::string>& parts, bool create) noexcept {
    return Guarded(kInvalidFile, [&] {
        if (parts.empty()) {
            HANDLE copy = nullptr;
            if (!::DuplicateHandle(::GetCurrentProcess(), NativeHandle(dir), ::GetCurrentProcess(), &copy, 0, FALSE,
                                   DUPLICATE_SAME_ACCESS))
                return kInvalidFile;
            return LibraryHandle(copy);
        }
        std::wstring path = FolderPath(dir);
        if (path.empty()) return kInvalidFile;
        UniqueHandle level;  // holds each level while the next one is opened
        for (const std::string& part : parts) {
            if (BadPart(part)) {
                ::SetLastError(ERROR_INVALID_NAME);
                return kInvalidFile;
            }
            path += L"\\" + win32::Wide(part);
            UniqueHandle next(OpenLevel(path));
            if (!next && create && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
                if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
                    return kInvalidFile;
                next.reset(OpenLevel(path));
            }
            if (!next) return kInvalidFile;
            BY_HANDLE_FILE_INFORMATION bi{};
            if (!::GetFileInformationByHandle(next.get(), &bi)) return kInvalidFile;
            // A link or junction could lead anywhere: not followed.
            if (bi.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                ::SetLastError(ERROR_ACCESS_DENIED);
                return kInvalidFile;
            }
            if (!(bi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                ::SetLastError(ERROR_DIRECTORY);
                return kInvalidFile;
            }
            level = std::move(next);
        }
        return LibraryHandle(level.release());
    });
}

FileHandle CreateTempFileIn(FileHandle dir, std::string& tempName) noexcept {
    static std::atomic<unsigned> counter{0};
    return Guarded(kInvalidFile, [&] {
        const std::wstring folder = FolderPath(dir);
        if (folder.empty()) return kInvalidFile;
        for (int attempt = 0; attempt < 100; ++attempt) {
            char name[64];
            std::snprintf(name, sizeof name, ".vutil-%lu-%u.tmp", static_cast<unsigned long>(::GetCurrentProcessId()),
                          counter++);
            HANDLE h = ::CreateFileW((folder + L"\\" + win32::Wide(name)).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) {
                tempName = name;
                return LibraryHandle(h);
            }
            if (::GetLastError() != ERROR_FILE_EXISTS) break;
        }
        return kInvalidFile;
    });
}

bool CommitFileIn(FileHandle dir, const std::string& tempName, const std::string& name) noexcept {
    if (BadPart(name) || BadPart(tempName)) return win32::Fail(ERROR_INVALID_NAME);
    return Guarded(false, [&] {
        const std::wstring from = InFolder(dir, tempName);
        if (from.empty()) return false;
        // A rename replaces an existing entry, link or not, without following it.
        return ::MoveFileExW(from.c_str(), InFolder(dir, name).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    });
}

bool RemoveFileIn(FileHandle dir, const std::string& name) noexcept {
    if (BadPart(name)) return win32::Fail(ERROR_INVALID_NAME);
    return Guarded(false, [&] {
        const std::wstring path = InFolder(dir, name);
        return !path.empty() && ::DeleteFileW(path.c_str()) != 0;
    });
}

bool SetFileWriteTime(FileHandle h, std::uint64_t fileTime) noexcept {
    const FILETIME ft = win32::FileTimeOf(fileTime);
    return ::SetFileTime(NativeHandle(h), nullptr, &ft, &ft) != 0;
}

bool GetHandleInfo(FileHandle h, EntryInfo& info, bool& diskFile) noexcept {
    ::SetLastError(ERROR_SUCCESS);
    const ::DWORD type = ::GetFileType(NativeHandle(h));
    if (type == FILE_TYPE_UNKNOWN && ::GetLastError() != ERROR_SUCCESS) return false;
    info = EntryInfo{};
    diskFile = false;
    if (type != FILE_TYPE_DISK) return true;  // a pipe, console or device: nothing more to tell
    BY_HANDLE_FILE_INFORMATION bi{};
    if (!::GetFileInformationByHandle(NativeHandle(h), &bi)) return false;
    win32::FillEntryInfo(bi, info);
    diskFile = !(bi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    return true;
}

}  // namespace vutil::platform
