// Volumes on Windows: the system's own drive, volume, space and storage queries,
// each asked with critical-error boxes off (an empty card reader must not stop the
// program), and the user's recycle bin folders on the drives.

#include "vutil/platform/win32/win32_util.h"

#include <sddl.h>
#include <winioctl.h>

#include <cstddef>
#include <cstring>
#include <memory>

#include "vutil/platform/volume.h"

namespace vutil::platform {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::wstring Root(char letter) { return std::wstring{static_cast<wchar_t>(Upper(letter)), L':', L'\\'}; }

// Critical-error boxes off for one scope; the last error of the call inside survives.
class QuietErrors {
public:
    QuietErrors() : m_old(::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() {
        const ::DWORD err = ::GetLastError();
        ::SetErrorMode(m_old);
        ::SetLastError(err);
    }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    UINT m_old;
};

// A zero-terminated narrow string at an offset of the descriptor; none for offset 0.
std::string DescriptorText(const char* base, std::size_t size, ::DWORD offset) {
    if (offset == 0 || offset >= size) return {};
    const char* s = base + offset;
    const std::size_t room = size - offset;
    const void* end = std::memchr(s, '\0', room);
    return std::string(s, end ? static_cast<const char*>(end) - s : room);
}

// The text form of the user's security identifier ("S-1-5-21-..."), from the token.
std::wstring UserSid() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    win32::UniqueHandle owner(token);
    ::DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    auto buffer = std::make_unique<unsigned char[]>(size);
    if (!::GetTokenInformation(token, TokenUser, buffer.get(), size, &size)) return {};
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &text)) return {};
    std::wstring sid(text);
    ::LocalFree(text);
    return sid;
}

}  // namespace

std::string DriveLetters() {
    const ::DWORD mask = ::GetLogicalDrives();
    std::string letters;
    for (int i = 0; i < 26; ++i)
        if (mask & (1u << i)) letters += static_cast<char>('A' + i);
    return letters;
}

unsigned int QueryDriveKind(char letter) {
    if (!IsLetter(letter)) {
        ::SetLastError(ERROR_INVALID_DRIVE);
        return kDriveNoRootDir;
    }
    // The system's numbers are the seam's.
    return ::GetDriveTypeW(Root(letter).c_str());
}

bool QueryVolumeFacts(char letter, VolumeFacts& facts) {
    if (!IsLetter(letter)) return win32::Fail(ERROR_INVALID_DRIVE);
    try {
        const std::wstring root = Root(letter);
        wchar_t label[MAX_PATH + 1] = {}, fileSystem[MAX_PATH + 1] = {};
        {
            QuietErrors quiet;
            if (!::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, fileSystem,
                                         MAX_PATH + 1))
                return false;
        }
        facts = VolumeFacts{};
        facts.label = win32::Narrow(label);
        facts.fileSystem = win32::Narrow(fileSystem);
        // A volume without an identifier (a network drive, a substituted folder) keeps
        // its name empty; that is no failure of the drive.
        wchar_t volume[MAX_PATH] = {};
        if (::GetVolumeNameForVolumeMountPointW(root.c_str(), volume, MAX_PATH)) facts.volumeName = win32::Narrow(volume);
        wchar_t device[MAX_PATH] = {};
        const wchar_t drive[] = {root[0], L':', L'\0'};
        if (::QueryDosDeviceW(drive, device, MAX_PATH)) facts.device = win32::Narrow(device);
        ::SetLastError(0);
        return true;
    } catch (...) {
        return win32::Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

bool QueryDiskSpace(char letter, std::uint64_t& freeToCaller, std::uint64_t& total) {
    if (!IsLetter(letter)) return win32::Fail(ERROR_INVALID_DRIVE);
    ULARGE_INTEGER available{}, bytes{};
    QuietErrors quiet;
    if (!::GetDiskFreeSpaceExW(Root(letter).c_str(), &available, &bytes, nullptr)) return false;
    freeToCaller = available.QuadPart;
    total = bytes.QuadPart;
    return true;
}

bool QueryClusterGeometry(char letter, std::uint32_t& sectorsPerCluster, std::uint32_t& bytesPerSector) {
    if (!IsLetter(letter)) return win32::Fail(ERROR_INVALID_DRIVE);
    ::DWORD spc = 0, bps = 0, freeClusters = 0, clusters = 0;
    QuietErrors quiet;
    if (!::GetDiskFreeSpaceW(Root(letter).c_str(), &spc, &bps, &freeClusters, &clusters)) return false;
    sectorsPerCluster = spc;
    bytesPerSector = bps;
    return true;
}

bool QueryDiskFacts(char letter, DiskFacts& facts) {
    if (!IsLetter(letter)) return win32::Fail(ERROR_INVALID_DRIVE);
    const wchar_t device[] = {L'\\', L'\\', L'.', L'\\', static_cast<wchar_t>(Upper(letter)), L':', L'\0'};
    // No access rights are needed for the query, so it works without elevation.
    win32::UniqueHandle h;
    {
        QuietErrors quiet;
        h.reset(::CreateFileW(device, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    if (!h) return false;
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    alignas(STORAGE_DEVICE_DESCRIPTOR) char buffer[1024] = {};
    ::DWORD got = 0;
    if (!::DeviceIoControl(h.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, buffer, sizeof buffer, &got,
                           nullptr))
        return false;
    if (got < offsetof(STORAGE_DEVICE_DESCRIPTOR, RawPropertiesLength)) return win32::Fail(ERROR_INVALID_DATA);
    const auto* d = reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(buffer);
    facts = DiskFacts{};
    facts.bus = static_cast<unsigned int>(d->BusType);
    facts.vendor = DescriptorText(buffer, got, d->VendorIdOffset);
    facts.product = DescriptorText(buffer, got, d->ProductIdOffset);
    facts.serial = DescriptorText(buffer, got, d->SerialNumberOffset);
    return true;
}

std::vector<TrashFolder> UserTrashFolders(const std::string& driveLetters) {
    std::vector<TrashFolder> out;
    try {
        const std::wstring sid = UserSid();
        if (sid.empty()) return out;
        for (char letter : driveLetters) {
            if (!IsLetter(letter)) continue;
            const std::wstring folder = Root(letter) + L"$Recycle.Bin\\" + sid;
            ::DWORD attributes;
            {
                QuietErrors quiet;
                attributes = ::GetFileAttributesW(folder.c_str());
            }
            // A link planted in its place is not the user's bin.
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
                (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                continue;
            out.push_back({win32::Narrow(folder) + "\\", std::string()});
        }
    } catch (...) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return out;
}

}  // namespace vutil::platform
