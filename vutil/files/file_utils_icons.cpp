// Icons from an executable: the resource tree of a Portable Executable file walked in
// place over a read-only view, then one icon made per icon group.

#include <cstdint>
#include <map>
#include <unordered_map>
#include <utility>

#include "vutil/files/file_utils.h"
#include "vutil/files/files_internal.h"
#include "vutil/files/smart_handle.h"
#include "vutil/platform/file_ops.h"
#include "vutil/platform/system.h"

namespace vutil {

using files_internal::Log;
using files_internal::LogWithError;

namespace {

constexpr std::uint32_t kNtSignature = 0x00004550;  // "PE\0\0"
constexpr std::size_t kDirectorySize = 16, kEntrySize = 8, kDataEntrySize = 16, kSectionSize = 40;

const BYTE* Base(const IMAGE_DOS_HEADER* image) { return reinterpret_cast<const BYTE*>(image); }
std::uint32_t Rd16(const BYTE* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
std::uint32_t Rd32(const BYTE* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
// [offset, offset + length) lies inside the view.
bool Fits(std::size_t size, std::uint64_t offset, std::uint64_t length) {
    return offset <= size && length <= size - offset;
}
// The offset of p inside the view, or SIZE_MAX for a pointer that is not in it.
std::size_t OffsetOf(const IMAGE_DOS_HEADER* image, std::size_t size, const void* p) {
    auto b = reinterpret_cast<std::uintptr_t>(Base(image)), q = reinterpret_cast<std::uintptr_t>(p);
    return (p && q >= b && q - b <= size) ? static_cast<std::size_t>(q - b) : SIZE_MAX;
}

// The NT headers' offset when the DOS header is sound (magic, offset from 1 to below
// the file size), else 0.
std::size_t NtHeaders(const IMAGE_DOS_HEADER* image, std::size_t size) {
    if (!image || size < sizeof(IMAGE_DOS_HEADER)) return 0;
    const BYTE* b = Base(image);
    if (Rd16(b) != 0x5A4D) return 0;
    const auto lfanew = static_cast<std::int32_t>(Rd32(b + 60));
    return (lfanew >= 1 && static_cast<std::uint64_t>(lfanew) < size) ? static_cast<std::size_t>(lfanew) : 0;
}

// An address inside the image to a pointer into the view, through the section whose
// range holds it.
const BYTE* RvaToPointer(const IMAGE_DOS_HEADER* image, std::size_t size, std::uint32_t address) {
    const std::size_t nt = NtHeaders(image, size);
    const BYTE* b = Base(image);
    if (nt == 0 || !Fits(size, nt, 24)) return nullptr;
    const std::uint64_t sections = nt + 24 + std::uint64_t{Rd16(b + nt + 20)};
    const std::uint32_t count = Rd16(b + nt + 6);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t s = sections + std::uint64_t{i} * kSectionSize;
        if (!Fits(size, s, kSectionSize)) return nullptr;
        const std::uint32_t virtualSize = Rd32(b + s + 8), virtualAddress = Rd32(b + s + 12);
        const std::uint32_t extent = virtualSize ? virtualSize : Rd32(b + s + 16);
        if (address >= virtualAddress && std::uint64_t{address} < std::uint64_t{virtualAddress} + extent) {
            const std::uint64_t pos = std::uint64_t{address} - virtualAddress + Rd32(b + s + 20);
            return pos < size ? b + pos : nullptr;
        }
    }
    return nullptr;
}

// Entry count of the directory at offset dir, or -1 when its header is outside the view.
int EntryTotal(std::size_t size, const BYTE* base, std::uint64_t dir) {
    if (!Fits(size, dir, kDirectorySize)) return -1;
    return static_cast<int>(Rd16(base + dir + 12) + Rd16(base + dir + 14));
}

// From a type-level entry to its data: through the language level (first entry) to
// the data entry, whose address and size must lie in the view.
const BYTE* ResolveEntry(const IMAGE_DOS_HEADER* image, std::size_t size, std::size_t root, std::size_t entry,
                         unsigned long& dataSize) {
    const BYTE* b = Base(image);
    if (!Fits(size, entry, kEntrySize)) return nullptr;
    std::uint32_t target = Rd32(b + entry + 4);
    if (target & IMAGE_RESOURCE_DATA_IS_DIRECTORY) {
        const std::uint64_t language = root + std::uint64_t{target & 0x7FFFFFFF};
        if (EntryTotal(size, b, language) < 1 || !Fits(size, language + kDirectorySize, kEntrySize)) return nullptr;
        target = Rd32(b + language + kDirectorySize + 4);
        if (target & IMAGE_RESOURCE_DATA_IS_DIRECTORY) return nullptr;
    }
    const std::uint64_t dataEntry = root + std::uint64_t{target};
    if (!Fits(size, dataEntry, kDataEntrySize)) return nullptr;
    const std::uint32_t length = Rd32(b + dataEntry + 4);
    const BYTE* data = RvaToPointer(image, size, Rd32(b + dataEntry));
    if (!data || !Fits(size, static_cast<std::uint64_t>(data - b), length)) return nullptr;
    dataSize = length;
    return data;
}

}  // namespace

bool CFileUtils::IsEXEFile(SmartHANDLE& file) {
    BYTE head[12];
    std::size_t got = 0;
    while (got < sizeof head) {
        std::int64_t n = platform::ReadFile(SmartHANDLE::ToFile(file), head + got, sizeof head - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got == sizeof head && head[0] == 'M' && head[1] == 'Z';
}

const BYTE* CFileUtils::GetRelativeVirtualAddress(const IMAGE_DOS_HEADER* image, std::size_t imageSize,
                                                  unsigned long address) {
    if (address > 0xFFFFFFFFul) return nullptr;
    return RvaToPointer(image, imageSize, static_cast<std::uint32_t>(address));
}

const IMAGE_RESOURCE_DIRECTORY* CFileUtils::LoadResourceTable(const IMAGE_DOS_HEADER* image,
                                                              std::size_t imageSize) {
    const std::size_t nt = NtHeaders(image, imageSize);
    const BYTE* b = Base(image);
    if (nt == 0 || !Fits(imageSize, nt, 24) || Rd32(b + nt) != kNtSignature) return nullptr;
    const std::uint32_t optionalSize = Rd16(b + nt + 20);
    if (optionalSize < 224) return nullptr;
    // Directory entry 2 (resources) sits at 112 in the 32-bit optional header and at
    // 128 in the 64-bit one.
    const std::uint64_t optional = nt + 24;
    if (!Fits(imageSize, optional + 112, 8)) return nullptr;
    std::uint32_t address = Rd32(b + optional + 112);
    if (address == 0 && optionalSize >= 240 && Fits(imageSize, optional + 128, 8))
        address = Rd32(b + optional + 128);
    if (address == 0) return nullptr;
    const BYTE* root = RvaToPointer(image, imageSize, address);
    if (!root || !Fits(imageSize, static_cast<std::uint64_t>(root - b), kDirectorySize)) return nullptr;
    return reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY*>(root);
}

const IMAGE_RESOURCE_DIRECTORY_ENTRY* CFileUtils::FindResourceBase(const IMAGE_DOS_HEADER* image,
                                                                   std::size_t imageSize,
                                                                   const void* resourceDirectory,
                                                                   unsigned long type, int& count) {
    count = 0;
    const BYTE* b = Base(image);
    const std::size_t root = OffsetOf(image, imageSize, resourceDirectory);
    const int total = root == SIZE_MAX ? -1 : EntryTotal(imageSize, b, root);
    for (int i = 0; i < total; ++i) {
        const std::uint64_t entry = root + kDirectorySize + std::uint64_t(i) * kEntrySize;
        if (!Fits(imageSize, entry, kEntrySize)) return nullptr;
        if (Rd32(b + entry) != type) continue;
        const std::uint32_t target = Rd32(b + entry + 4);
        if (!(target & IMAGE_RESOURCE_DATA_IS_DIRECTORY)) return nullptr;
        const std::uint64_t sub = root + std::uint64_t{target & 0x7FFFFFFF};
        const int subTotal = EntryTotal(imageSize, b, sub);
        if (subTotal < 0) return nullptr;
        count = subTotal;
        return reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY_ENTRY*>(b + sub + kDirectorySize);
    }
    return nullptr;
}

const BYTE* CFileUtils::FindResourceA(const IMAGE_DOS_HEADER* image, std::size_t imageSize,
                                      const void* resourceDirectory, int which, unsigned long type,
                                      unsigned long& size, int& count) {
    size = 0;
    const IMAGE_RESOURCE_DIRECTORY_ENTRY* first = FindResourceBase(image, imageSize, resourceDirectory, type, count);
    if (!first) {
        Log("{096B26F0-AECA-4B03-A5D0-83AB48499EC9}");
        return nullptr;
    }
    const BYTE* b = Base(image);
    const std::size_t root = OffsetOf(image, imageSize, resourceDirectory);
    const std::size_t firstOffset = OffsetOf(image, imageSize, first);
    std::uint64_t entry = 0;
    if (which < 0) {
        const std::uint64_t id = static_cast<std::uint64_t>(-static_cast<std::int64_t>(which));
        int i = 0;
        for (; i < count; ++i) {
            entry = firstOffset + std::uint64_t(i) * kEntrySize;
            if (!Fits(imageSize, entry, kEntrySize)) return nullptr;
            if (Rd32(b + entry) == id) break;
        }
        if (i == count) return nullptr;
    } else {
        if (which >= count) return nullptr;
        entry = firstOffset + std::uint64_t(which) * kEntrySize;
    }
    unsigned long length = 0;
    const BYTE* data = ResolveEntry(image, imageSize, root, static_cast<std::size_t>(entry), length);
    if (data) size = length;
    return data;
}

void CFileUtils::ExtractIcons(const IMAGE_DOS_HEADER* image, std::size_t imageSize, const void* resourceDirectory,
                              int& count, CImageList& images, bool small) {
    const BYTE* b = Base(image);
    const std::size_t root = OffsetOf(image, imageSize, resourceDirectory);
    const IMAGE_RESOURCE_DIRECTORY_ENTRY* groups =
        FindResourceBase(image, imageSize, resourceDirectory, RT_GROUP_ICON, count);
    if (!groups) {
        Log("{096B26F0-AECA-4B03-A5D0-83AB48499EC9}");
        return;
    }
    int cx = small ? 16 : 32, cy = cx;
    if (int w = 0, h = 0; platform::QueryIconSize(small, w, h) && w > 0 && h > 0 && w <= kMaxIconSide &&
                          h <= kMaxIconSide) {
        cx = w;
        cy = h;
    }
    // Icon images by identifier (the first of repeated ones), built once: a lookup per
    // group would make hostile files with many groups quadratic.
    bool iconsIndexed = false;
    const IMAGE_RESOURCE_DIRECTORY_ENTRY* iconEntries = nullptr;
    std::unordered_map<std::uint32_t, std::size_t> iconById;
    std::map<std::pair<const BYTE*, unsigned long>, int> idByGroup;
    std::unordered_map<std::uint32_t, IconImage> madeById;
    const std::size_t groupOffset = OffsetOf(image, imageSize, groups);
    for (int i = 0; i < count; ++i) {
        unsigned long groupSize = 0;
        const BYTE* group =
            ResolveEntry(image, imageSize, root, groupOffset + std::size_t(i) * kEntrySize, groupSize);
        if (!group || groupSize < 6 || Rd16(group) != 0 || Rd16(group + 2) != 1) {
            Log("{C586B044-C006-4CA9-8FFE-C96A21ABF0EE}");
            return;
        }
        // Groups may share their bytes, and members their images: each is read once, so
        // a file of many groups pointing at one large entry stays linear.
        auto [pick, fresh] = idByGroup.try_emplace({group, groupSize}, 0);
        if (fresh) pick->second = LookupIconIdFromDirectoryEx(group, groupSize, cx, cy);
        const int id = pick->second;
        if (id == 0) {
            Log("{ED747B73-DD20-4FB6-BD04-94D0FEB8B4C9}");
            return;
        }
        if (!iconsIndexed) {
            iconsIndexed = true;
            int iconCount = 0;
            iconEntries = FindResourceBase(image, imageSize, resourceDirectory, RT_ICON, iconCount);
            const std::size_t first = OffsetOf(image, imageSize, iconEntries);
            for (int k = 0; iconEntries && k < iconCount; ++k) {
                const std::uint64_t entry = first + std::uint64_t(k) * kEntrySize;
                if (!Fits(imageSize, entry, kEntrySize)) break;
                iconById.emplace(Rd32(b + entry), static_cast<std::size_t>(entry));
            }
        }
        if (!iconEntries) Log("{096B26F0-AECA-4B03-A5D0-83AB48499EC9}");
        unsigned long iconSize = 0;
        const BYTE* bits = nullptr;
        if (auto it = iconById.find(static_cast<std::uint32_t>(id)); it != iconById.end())
            bits = ResolveEntry(image, imageSize, root, it->second, iconSize);
        if (!bits || iconSize < 4 || (Rd32(bits) != 40 && Rd32(bits) != 12)) {
            Log("{8400BAEF-0B52-44AA-A426-2E974181F8F0}");
            return;
        }
        auto [made, first] = madeById.try_emplace(static_cast<std::uint32_t>(id));
        if (first && !CreateIconFromResourceEx(bits, iconSize, cx, cy, made->second)) made->second = IconImage{};
        if (!made->second.IsEmpty()) images.Add(made->second);
        else Log("{4DB757FF-2B1B-48A4-B312-DB70161E8A9C}");
    }
}

void CFileUtils::LoadFileIcons(const CString& path, CImageList& images, bool small) {
    images.Remove(-1);
    SmartHANDLE file(SmartHANDLE::FromFile(platform::OpenFile(path.view(), platform::kFileRead)));
    const CString detail = CString(" ") + path;
    if (!file.IsValid()) {
        LogWithError("{7C0DE977-18E9-45E6-A29B-9B8E067DABB4}", detail);
        return;
    }
    if (!IsEXEFile(file)) {
        Log("{E4C8DCA2-9A42-4E09-A346-0E7046871BCA}", detail);
        return;
    }
    // Nothing to map in an empty file (the system refuses an empty view too).
    const std::int64_t length = platform::GetFileSize(SmartHANDLE::ToFile(file));
    if (length <= 0 || static_cast<std::uint64_t>(length) > SIZE_MAX) {
        LogWithError("{4154E1CE-95E8-4C29-ACF9-C4C828F95E7C}", detail);
        return;
    }
    std::size_t size = static_cast<std::size_t>(length);
    SmartFileMap view(platform::MapFileView(SmartHANDLE::ToFile(file), size, false));
    if (!view.IsValid()) {
        LogWithError("{34B27B60-B54C-4C4B-910D-51E3027C2243}", detail);
        return;
    }
    const auto* image = static_cast<const IMAGE_DOS_HEADER*>(static_cast<void*>(view));
    if (NtHeaders(image, size) == 0) {
        Log("{0CED3592-ACA1-4D68-B25E-E6FA4147A967}", detail);
        return;
    }
    const IMAGE_RESOURCE_DIRECTORY* resources = LoadResourceTable(image, size);
    if (!resources) {
        Log("{DCFE44B3-2103-470A-AA46-B97361C71534}", detail);
        return;
    }
    int count = 0;
    ExtractIcons(image, size, resources, count, images, small);
}

}  // namespace vutil
