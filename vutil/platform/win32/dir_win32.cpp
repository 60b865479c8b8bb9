// Directories and attributes on the Windows file API: the attribute bits are the
// system's own, listings come from the find functions.

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <unordered_map>

#include "vutil/platform/dir.h"
#include "vutil/platform/win32/file_ops_internal.h"

#include <shlobj.h>

namespace vutil::platform {

using win32::Guarded;
using win32::Narrow;
using win32::TicksOf;
using win32::UniqueHandle;
using win32::WidePath;

namespace win32 {

void FillEntryInfo(const BY_HANDLE_FILE_INFORMATION& bi, EntryInfo& info) {
    info.attributes = bi.dwFileAttributes;
    info.size = (bi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    ? 0
                    : (static_cast<std::uint64_t>(bi.nFileSizeHigh) << 32) | bi.nFileSizeLow;
    info.creationTime = TicksOf(bi.ftCreationTime);
    info.accessTime = TicksOf(bi.ftLastAccessTime);
    info.writeTime = TicksOf(bi.ftLastWriteTime);
    info.device = bi.dwVolumeSerialNumber;
    info.inode = (static_cast<std::uint64_t>(bi.nFileIndexHigh) << 32) | bi.nFileIndexLow;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

}  // namespace win32

namespace {

constexpr ::DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ::DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr ::DWORD kDosBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// What the listing said about one entry, so detail queries need no further call.
struct Found {
    ::DWORD attributes = 0;
    std::uint64_t size = 0, creation = 0, access = 0, write = 0;
};

struct Dir {
    HANDLE find = INVALID_HANDLE_VALUE;
    std::string path;  // library form, ends with a separator
    WIN32_FIND_DATAW first{};
    bool firstPending = false;
    std::unordered_map<std::string, Found> seen;
};

bool IsLinkEntry(const WIN32_FIND_DATAW& d) {
    if (!(d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    // Other reparse kinds (cloud placeholders, deduplicated files) are ordinary entries.
    return d.dwReserved0 == 0 || d.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
           d.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT;
}

// Without a handle there is no file index; the full path's hash keeps two such folders
// apart in a walk's loop check.
void IdentityFromName(const std::wstring& wide, EntryInfo& info) {
    std::wstring full(32768, L'\0');
    const ::DWORD n = ::GetFullPathNameW(wide.c_str(), static_cast<::DWORD>(full.size()), full.data(), nullptr);
    full.resize(n < full.size() ? n : 0);
    if (full.empty()) full = wide;
    ::CharUpperBuffW(full.data(), static_cast<::DWORD>(full.size()));
    std::uint64_t h = 1469598103934665603ull;
    for (wchar_t c : full) h = (h ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
    info.device = ~std::uint64_t{0};
    info.inode = h;
}

bool InfoOfWide(const std::wstring& wide, EntryInfo& info) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &d)) return false;
    info.attributes = d.dwFileAttributes;
    info.size = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    ? 0
                    : (static_cast<std::uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    info.creationTime = TicksOf(d.ftCreationTime);
    info.accessTime = TicksOf(d.ftLastAccessTime);
    info.writeTime = TicksOf(d.ftLastWriteTime);
    // The handle follows a link to its target and names the file for loop checks.
    UniqueHandle f(::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION bi{};
    if (f && ::GetFileInformationByHandle(f.get(), &bi)) {
        win32::FillEntryInfo(bi, info);
        info.attributes |= d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
    } else {
        IdentityFromName(wide, info);
    }
    ::SetLastError(ERROR_SUCCESS);
    return true;
}

// A folder path the system gave, in library form with a final backslash.
std::string FolderText(const wchar_t* buffer, ::DWORD length) {
    if (length == 0) return {};
    std::string out = Narrow(std::wstring_view(buffer, length));
    if (out.back() != '\\') out += '\\';
    return out;
}

}  // namespace

DWORD GetAttributes(std::string_view path) noexcept {
    return Guarded(kInvalidAttributes, [&]() -> DWORD { return ::GetFileAttributesW(WidePath(path).c_str()); });
}

bool SetAttributes(std::string_view path, DWORD attributes) noexcept {
    return Guarded(false, [&] {
        const ::DWORD bits = attributes & kSettable;
        return ::SetFileAttributesW(WidePath(path).c_str(), bits ? bits : FILE_ATTRIBUTE_NORMAL) != 0;
    });
}

bool GetEntryInfo(std::string_view path, EntryInfo& info) noexcept {
    return Guarded(false, [&] { return InfoOfWide(WidePath(path), info); });
}

bool PathExists(std::string_view path) noexcept {
    return Guarded(false, [&] { return ::GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES; });
}

DirHandle OpenDirectory(std::string_view dir) noexcept {
    return Guarded(DirHandle{}, [&]() -> DirHandle {
        if (dir.empty()) {
            ::SetLastError(ERROR_PATH_NOT_FOUND);
            return nullptr;
        }
        auto d = std::make_unique<Dir>();
        d->path.assign(dir);
        const char last = d->path.back();
        if (last != '\\' && last != '/' && last != ':') d->path += '\\';
        d->find = ::FindFirstFileExW(WidePath(d->path + '*').c_str(), FindExInfoBasic, &d->first,
                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (d->find != INVALID_HANDLE_VALUE) {
            d->firstPending = true;
        } else {
            // A drive's empty root has not even "." and "..": an empty listing, not a failure.
            const ::DWORD err = ::GetLastError();
            const ::DWORD a = ::GetFileAttributesW(WidePath(d->path).c_str());
            if (err != ERROR_FILE_NOT_FOUND || a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) {
                ::SetLastError(err);
                return nullptr;
            }
        }
        return d.release();
    });
}

bool ReadDirectory(DirHandle h, std::string& name, bool& isDir, bool& isLink) noexcept {
    auto* d = static_cast<Dir*>(h);
    if (!d) return win32::Fail(ERROR_INVALID_HANDLE);
    return Guarded(false, [&] {
        WIN32_FIND_DATAW data;
        if (d->firstPending) {
            data = d->first;
            d->firstPending = false;
        } else if (d->find == INVALID_HANDLE_VALUE || !::FindNextFileW(d->find, &data)) {
            // Done reading: the search goes, the recorded entries stay for queries.
            const ::DWORD err = d->find == INVALID_HANDLE_VALUE ? ERROR_NO_MORE_FILES : ::GetLastError();
            if (d->find != INVALID_HANDLE_VALUE) ::FindClose(d->find);
            d->find = INVALID_HANDLE_VALUE;
            return win32::Fail(err);
        }
        name = Narrow(data.cFileName);
        isDir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        isLink = IsLinkEntry(data);
        Found& f = d->seen[name];
        f.attributes = data.dwFileAttributes;
        f.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        if (isDir) f.size = 0;
        f.creation = TicksOf(data.ftCreationTime);
        f.access = TicksOf(data.ftLastAccessTime);
        f.write = TicksOf(data.ftLastWriteTime);
        return true;
    });
}

bool GetDirectoryEntryInfo(DirHandle h, const std::string& name, EntryInfo& info) noexcept {
    auto* d = static_cast<Dir*>(h);
    if (!d) return win32::Fail(ERROR_INVALID_HANDLE);
    return Guarded(false, [&] {
        const auto it = d->seen.find(name);
        // A link is answered for its target, which the listing does not describe.
        if (it == d->seen.end() || (it->second.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return InfoOfWide(WidePath(d->path + name), info);
        const Found& f = it->second;
        info = EntryInfo{};
        info.attributes = f.attributes;
        info.size = f.size;
        info.creationTime = f.creation;
        info.accessTime = f.access;
        info.writeTime = f.write;
        return true;
    });
}

DWORD GetDirectoryEntryDosBits(DirHandle h, const std::string& name, bool /*plainFile*/) noexcept {
    auto* d = static_cast<Dir*>(h);
    if (!d) return 0;
    return Guarded(DWORD{0}, [&]() -> DWORD {
        const auto it = d->seen.find(name);
        if (it != d->seen.end()) return it->second.attributes & kDosBits;
        const ::DWORD a = ::GetFileAttributesW(WidePath(d->path + name).c_str());
        return a == INVALID_FILE_ATTRIBUTES ? 0 : a & kDosBits;
    });
}

void CloseDirectory(DirHandle h) noexcept {
    auto* d = static_cast<Dir*>(h);
    if (!d) return;
    if (d->find != INVALID_HANDLE_VALUE) ::FindClose(d->find);
    delete d;
}

bool MakeDirectory(std::string_view path) noexcept {
    return Guarded(false, [&] { return ::CreateDirectoryW(WidePath(path).c_str(), nullptr) != 0; });
}

bool RemoveEmptyDirectory(std::string_view path) noexcept {
    // A directory link or junction goes as the link; its target is not touched.
    return Guarded(false, [&] { return ::RemoveDirectoryW(WidePath(path).c_str()) != 0; });
}

bool RemoveFile(std::string_view path) noexcept {
    return Guarded(false, [&] {
        const std::wstring wide = WidePath(path);
        if (::DeleteFileW(wide.c_str())) return true;
        const ::DWORD err = ::GetLastError();
        // A link to a directory is a directory entry to the system: removed as a link.
        const ::DWORD a = ::GetFileAttributesW(wide.c_str());
        const ::DWORD linkDir = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if (a != INVALID_FILE_ATTRIBUTES && (a & linkDir) == linkDir) return ::RemoveDirectoryW(wide.c_str()) != 0;
        return win32::Fail(err);
    });
}

bool MovePath(std::string_view from, std::string_view to) noexcept {
    return Guarded(false, [&] { return ::MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), 0) != 0; });
}

std::string CreateTempFileName(std::string_view dir, std::string_view prefix, unsigned int unique,
                               unsigned int& used) noexcept {
    used = 0;
    return Guarded(std::string(), [&]() -> std::string {
        std::string base(dir);
        if (base.empty() || (base.back() != '\\' && base.back() != '/')) base += '\\';
        base.append(prefix.substr(0, 3));
        char hex[16];
        if (unique != 0) {
            // Only the low 16 bits name the file, and nothing is created.
            used = unique & 0xFFFFu;
            std::snprintf(hex, sizeof hex, "%X", used);
            return base + hex + ".tmp";
        }
        // Start from the clock, then take the first number nobody holds.
        unsigned n = ((static_cast<unsigned>(::GetTickCount()) ^ (::GetCurrentProcessId() * 2654435761u)) % 0xFFFFu) + 1;
        for (unsigned tries = 0; tries < 0xFFFFu; ++tries, n = n % 0xFFFFu + 1) {
            std::snprintf(hex, sizeof hex, "%X", n);
            std::string path = base + hex + ".tmp";
            const std::wstring wide = WidePath(path);
            HANDLE f = ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (f != INVALID_HANDLE_VALUE) {
                ::CloseHandle(f);
                used = n;
                return path;
            }
            const ::DWORD err = ::GetLastError();
            // A folder of that name also refuses the create: try the next number.
            const bool taken = err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS ||
                               (err == ERROR_ACCESS_DENIED && ::GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES);
            if (!taken) {
                ::SetLastError(err);
                return {};
            }
        }
        ::SetLastError(ERROR_FILE_EXISTS);
        return {};
    });
}

std::string LibraryPath(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

std::string SpecialFolderPath(int folderId) {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    return FolderText(buffer, static_cast<::DWORD>(std::wcslen(buffer)));
}

std::string TempDirectoryPath() {
    wchar_t buffer[MAX_PATH + 2];
    const ::DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
    return n <= MAX_PATH + 1 ? FolderText(buffer, n) : std::string();
}

std::string WindowsDirectoryPath() {
    wchar_t buffer[MAX_PATH + 1];
    const UINT n = ::GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    return n <= MAX_PATH ? FolderText(buffer, n) : std::string();
}

std::string SystemDirectoryPath() {
    wchar_t buffer[MAX_PATH + 1];
    const UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH + 1);
    return n <= MAX_PATH ? FolderText(buffer, n) : std::string();
}

std::string LongPathName(std::string_view path) {
    const std::wstring wide = WidePath(path);
    std::wstring out(MAX_PATH, L'\0');
    for (;;) {
        const ::DWORD n = ::GetLongPathNameW(wide.c_str(), out.data(), static_cast<::DWORD>(out.size()));
        if (n == 0) return {};
        if (n < out.size()) {
            out.resize(n);
            break;
        }
        out.resize(n);
    }
    // Long paths went out with the "\\?\" prefix; the caller's form comes back without it.
    if (wide.rfind(L"\\\\?\\", 0) == 0 && path.rfind("\\\\?\\", 0) != 0) {
        if (out.rfind(L"\\\\?\\UNC\\", 0) == 0) out.replace(0, 8, L"\\\\");
        else if (out.rfind(L"\\\\?\\", 0) == 0) out.erase(0, 4);
    }
    return Narrow(out);
}

}  // namespace vutil::platform
