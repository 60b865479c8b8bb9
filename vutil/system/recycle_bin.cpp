#include "vutil/system/recycle_bin.h"

#include <memory>
#include <string>

#include "vutil/core/app_logger.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/framework/collections.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/error.h"
#include "vutil/platform/file.h"
#include "vutil/platform/volume.h"
#include "vutil/system/recycle_bin_internal.h"
#include "vutil/system/registry_utils.h"
#include "vutil/system/system_utils.h"
#include "vutil/system/volume_utils.h"
#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace ri = recycle_internal;

namespace {

void Log(const CString& line) {
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(line);
}

// An open file, closed on every path.
struct FileCloser {
    void operator()(platform::FileHandle* h) const {
        platform::CloseFile(*h);
        delete h;
    }
};
using OpenedFile = std::unique_ptr<platform::FileHandle, FileCloser>;

OpenedFile OpenForReading(const CString& path) {
    // A stray zero byte would name another file to the system.
    if (path.view().find('\0') != std::string_view::npos) return nullptr;
    const platform::FileHandle h = platform::OpenFile(path.view(), platform::kFileRead);
    if (h == platform::kInvalidFile) return nullptr;
    return OpenedFile(new platform::FileHandle(h));
}

ri::ByteReader ReaderOf(platform::FileHandle h) {
    return [h](char* buffer, std::size_t count) -> std::size_t {
        const std::int64_t n = platform::ReadFile(h, buffer, count);
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    };
}

std::string ReadHead(const CString& path, std::size_t limit, bool* complete = nullptr) {
    std::string bytes;
    OpenedFile file = OpenForReading(path);
    if (!file) return bytes;
    bytes.resize(limit);
    ri::ByteReader read = ReaderOf(*file);
    std::size_t got = 0;
    while (got < limit) {
        const std::size_t n = read(bytes.data() + got, limit - got);
        if (n == 0) break;
        got += n;
    }
    bytes.resize(got);
    if (complete) {
        char extra;
        *complete = read(&extra, 1) == 0;
    }
    return bytes;
}

bool Exists(const CString& path) {
    return path.view().find('\0') == std::string_view::npos && platform::PathExists(path.view());
}

// Bytes an item holds: a file's size, or everything inside a folder.
std::uint64_t ItemSize(const CString& path) {
    platform::EntryInfo info;
    if (!platform::GetEntryInfo(path.view(), info)) return 0;
    if (!(info.attributes & platform::kAttrDirectory) || (info.attributes & platform::kAttrReparsePoint))
        return info.size;
    TextArray files;
    CFileUtils::GetFileList(path + "\\", TextArray(), true, files, true, true, false);
    std::uint64_t total = 0;
    for (const CString& f : files)
        if (platform::GetEntryInfo(f.view(), info)) total += info.size;
    return total;
}

// Deletes a file, a link or a whole folder for good.
bool RemoveItem(const CString& path) {
    platform::EntryInfo info;
    if (!platform::GetEntryInfo(path.view(), info)) return !Exists(path);
    if ((info.attributes & platform::kAttrDirectory) && !(info.attributes & platform::kAttrReparsePoint)) {
        CString errors;
        return CDirUtils::ClearDirectory(path + "\\", errors, true, false, false);
    }
    return platform::RemoveFile(path.view());
}

// A stored file of the desktop trash: the folder it sits in and its name there.
struct TrashItem {
    platform::TrashFolder folder;
    CString name;
    CString Info() const { return CString(folder.path) + "info\\" + name + ".trashinfo"; }
};

bool FindTrashItem(const CString& storedFile, TrashItem& item) {
    const CString stored(platform::LibraryPath(storedFile.view()));
    for (const auto& folder : platform::UserTrashFolders(platform::DriveLetters())) {
        const CString files = CString(folder.path) + "files\\";
        if (stored.GetLength() <= files.GetLength() || stored.Left(files.GetLength()) != files) continue;
        const CString name = stored.Mid(files.GetLength());
        if (name.Find('\\') >= 0 || name == "." || name == "..") continue;
        item = TrashItem{folder, name};
        return true;
    }
    return false;
}

// The former path of a trash item in library form; empty when its record is unusable.
CString TrashFormerPath(const TrashItem& item) {
    bool complete = false;
    // A recorded path is at most a few kilobytes even with every byte escaped.
    const std::string text = ReadHead(item.Info(), 64 * 1024, &complete);
    std::string recorded;
    if (!complete || !ri::ParseTrashInfo(text, recorded)) {
        Log("{5C0E3A9B-6D1F-4F27-9E4B-2A8C71D3B640}" + item.Info());
        return CString();
    }
    if (recorded[0] == '/') return CString(platform::LibraryPath(recorded));
    // Only a volume's trash may record a path from the volume's top, and only one that
    // stays inside the volume.
    const std::string_view rel(recorded);
    const bool climbs = rel == ".." || rel.substr(0, 3) == "../" || rel.find("/../") != std::string_view::npos ||
                        (rel.size() >= 3 && rel.substr(rel.size() - 3) == "/..");
    if (item.folder.relativeBase.empty() || climbs) {
        Log("{A41F7C26-0B8E-4D5A-93C2-6E1F0B7D2C85}" + item.Info());
        return CString();
    }
    return CString(item.folder.relativeBase + platform::LibraryPath(recorded));
}

bool RestoreTrashItem(const TrashItem& item) {
    const CString stored = CString(item.folder.path) + "files\\" + item.name;
    const CString former = TrashFormerPath(item);
    if (former.IsEmpty()) return false;
    if (Exists(former)) {
        // Never over an existing file: the user decides what to keep.
        platform::SetLastErrorCode(platform::kErrorFileExists);
        return false;
    }
    const CString parent = CDirUtils::ParsePathFromFile(former);
    if (!parent.IsEmpty() && !CDirUtils::DoesDirExist(parent)) CDirUtils::CreateDirectoryA(parent);
    if (!platform::MovePath(stored.view(), former.view())) return false;
    platform::RemoveFile(item.Info().view());
    return true;
}

bool DeleteTrashItem(const TrashItem& item) {
    // The record goes last, so a half-deleted item is still listed and can be retried.
    if (!RemoveItem(CString(item.folder.path) + "files\\" + item.name)) return false;
    return platform::RemoveFile(item.Info().view()) || !Exists(item.Info());
}

}  // namespace

RecycleBin::~RecycleBin() {
    // Nothing to release: no shell folder is ever bound here.
    m_pRecycleBinFolder = nullptr;
}

int RecycleBin::HexToInt(const char* bytes, int count) {
    if (!bytes) return 0;
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value += static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << ((8 * i) % 32);
    return static_cast<int>(value);
}

void RecycleBin::GetRecycleBinFileListing(CString subdirectory, TextArray& files) {
    CStringArray roots;
    CUIntArray types;
    CVolumeUtils::GetDriveInformation(&roots, &types, nullptr, nullptr);
    for (int i = 0; i < roots.GetSize() && i < types.GetSize(); ++i) {
        const CString& root = roots[i];
        if (root.IsEmpty() || root[0] == 'A' || root[0] == 'B' || root[0] == 'a' || root[0] == 'b') continue;
        const unsigned int kind = types[i];
        if (kind != 3 && kind != 2 && kind != 6) continue;
        CFileUtils::GetFileList(root + subdirectory, TextArray(), true, files, true, true, true);
    }
}

void RecycleBin::DoGetContentXP(TextArray& storedFiles, TextArray& formerPaths, bool verbose) {
    TextArray files;
    GetRecycleBinFileListing("RECYCLER\\", files);
    for (const CString& indexPath : files) {
        if (CFileUtils::ParseFileNameFromPath(indexPath, true) != "INFO2") continue;
        OpenedFile file = OpenForReading(indexPath);
        if (!file) {
            Log("{4C8318FE-63BF-4961-A964-11485AE380BB}");
            continue;
        }
        ri::ByteReader read = ReaderOf(*file);
        const std::int32_t recordSize = ri::IndexRecordSize(read);
        if (recordSize <= 0) {
            Log("{2B01BB1A-45F8-42B1-91E1-78997C8296FF}");
            continue;
        }
        const CString dir = CDirUtils::ParsePathFromFile(indexPath);
        CString lastAccepted;
        ri::ReadIndexBlocks(read, recordSize, [&](const ri::IndexRecord& record) {
            if (record.formerPath.IsEmpty()) {
                Log("{50DA4550-BBAC-4A70-B7C7-78BD5AB1FEC9}");
                return;
            }
            CString stored = dir + "D";
            stored += CString(static_cast<char>(('A' + record.drive) & 0xFF), 1);
            stored += CString(std::to_string(record.index));
            const CString ext = CFileUtils::GetFileExt(record.formerPath);
            if (!ext.IsEmpty()) stored += "." + ext;
            if (!Exists(stored)) {
                Log("{23459EFB-B3D6-44F7-A129-49972F9B80B6}" + stored);
                return;
            }
            if (stored == lastAccepted) {
                Log("{CF7FAE25-FD16-4535-8A3B-9E7BEF55F468}");
                return;
            }
            lastAccepted = stored;
            storedFiles.Add(stored);
            formerPaths.Add(record.formerPath);
            if (verbose) {
                Log("{3E8CC393-EBBF-4083-8BA1-D57D89C25DB1}" + stored);
                Log("{08E237A2-0E1B-4552-A46C-B4A3CAA7FDE3}" + record.formerPath);
            }
        });
    }
}

void RecycleBin::DoGetContentVista(TextArray& storedFiles, TextArray& formerPaths) {
    TextArray files;
    GetRecycleBinFileListing("$RECYCLE.BIN\\", files);
    for (const CString& infoPath : files) {
        if (!CStringUtils::MatchFirstChars(CFileUtils::ParseFileNameFromPath(infoPath, true), "$I", false)) continue;
        CString dataPath = infoPath;
        dataPath.Replace("\\$I", "\\$R");
        if (!Exists(dataPath)) continue;
        const CString former = ri::InfoFormerPath(ReadHead(infoPath, 1000));
        if (former.IsEmpty()) {
            // Too short to hold a path, or unreadable: nothing to show for it.
            Log("{9E2B4D71-3C8A-4F06-B5D2-71A0E4C93F18}" + infoPath);
            continue;
        }
        storedFiles.Add(dataPath);
        formerPaths.Add(former);
    }
}

void RecycleBin::DoGetContentTrash(TextArray& storedFiles, TextArray& formerPaths) {
    for (const auto& folder : platform::UserTrashFolders(platform::DriveLetters())) {
        const CString infoDir = CString(folder.path) + "info\\";
        TextArray infos;
        CFileUtils::GetFileList(infoDir, TextArray(), false, infos, true, true, false);
        for (const CString& info : infos) {
            const CString fileName = CFileUtils::ParseFileNameFromPath(info, true);
            constexpr int kSuffix = 10;  // ".trashinfo"
            if (fileName.GetLength() <= kSuffix || fileName.Right(kSuffix) != ".trashinfo") continue;
            const TrashItem item{folder, fileName.Left(fileName.GetLength() - kSuffix)};
            const CString stored = CString(folder.path) + "files\\" + item.name;
            platform::EntryInfo entry;
            if (!platform::GetEntryInfo(stored.view(), entry)) continue;
            const CString former = TrashFormerPath(item);
            if (former.IsEmpty()) continue;
            storedFiles.Add(stored);
            formerPaths.Add(former);
        }
    }
}

void RecycleBin::GetAllContent(TextArray& storedFiles, TextArray& formerPaths, bool verbose) {
    // The Windows layouts are plain data, so a mounted Windows disk's bin shows whatever
    // system wrote it; the desktop's own trash follows.
    DoGetContentXP(storedFiles, formerPaths, verbose);
    DoGetContentVista(storedFiles, formerPaths);
    DoGetContentTrash(storedFiles, formerPaths);
}

std::uint64_t RecycleBin::GetContentSize() {
    TextArray stored, former;
    GetAllContent(stored, former, false);
    std::uint64_t total = 0;
    for (const CString& s : stored) total += ItemSize(s);
    return total;
}

bool RecycleBin::GetHaveContent() { return GetContentSize() != 0; }

void RecycleBin::GetContent(TextArray& storedFiles, TextArray& formerPaths, bool verbose) {
    storedFiles.DeleteAll();
    formerPaths.DeleteAll();
    GetAllContent(storedFiles, formerPaths, verbose);
    std::uint64_t total = 0;
    for (const CString& s : storedFiles) total += ItemSize(s);
    if (total == 0) {
        storedFiles.DeleteAll();
        formerPaths.DeleteAll();
    }
}

namespace {

CString BitBucketValue(const CString& drive, const char* name) {
    const CString sid = CSystemUtils::GetUserSID();
    if (sid.IsEmpty()) return CString();
    CString guid, device;
    CVolumeUtils::GetDriveGUID(drive, guid, device);
    const CString key = sid + "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket\\Volume\\" + guid;
    return CRegistryUtils::GetKeyValue(HKEY_USERS, key, name, false);
}

}  // namespace

bool RecycleBin::GetDoNukeOnDelete(const CString& drive) { return BitBucketValue(drive, "NukeOnDelete") == "1"; }

std::uint64_t RecycleBin::GetCapacity(const CString& drive) {
    const CString value = BitBucketValue(drive, "MaxCapacity");
    if (value.IsEmpty()) return 0;
    return static_cast<std::uint64_t>(CNumberTextConv::GetNumber64FromString(value));
}

CString RecycleBin::GetName() { return "Recycle Bin"; }

bool RecycleBin::DeleteAll() {
    bool ok = true;
    TextArray stored, former;
    DoGetContentXP(stored, former, false);
    for (const CString& s : stored) ok = RemoveItem(s) && ok;
    stored.DeleteAll();
    former.DeleteAll();
    DoGetContentVista(stored, former);
    for (const CString& s : stored) {
        // The data goes first: an information file without data is never listed.
        const int slash = s.ReverseFind('\\');
        const CString name = s.Mid(slash + 1);
        ok = RemoveItem(s) && ok;
        // Only the name changes: the bin's own folder name starts with "$R" too.
        if (name.Left(2) == "$R") ok = RemoveItem(s.Left(slash + 1) + "$I" + name.Mid(2)) && ok;
    }
    stored.DeleteAll();
    former.DeleteAll();
    DoGetContentTrash(stored, former);
    for (const CString& s : stored) {
        TrashItem item;
        ok = FindTrashItem(s, item) && DeleteTrashItem(item) && ok;
    }
    if (!ok) {
        Log("{7B6A9CD3-C197-410B-9750-C69B51C2A2E0}");
        return false;
    }
    return GetContentSize() == 0;
}

bool RecycleBin::DoRestore(const CString& storedFile) { return ExecCommand(storedFile, "undelete"); }

bool RecycleBin::DoDelete(const CString& storedFile) { return ExecCommand(storedFile, "delete"); }

bool RecycleBin::ExecCommand(const CString& storedFile, const char* verb) {
    // The desktop trash is the only bin this platform can act on; an item of a Windows
    // bin finds no folder to bind.
    TrashItem item;
    if (storedFile.IsEmpty() || !FindTrashItem(storedFile, item) || !Exists(item.Info())) {
        Log("{6A95709B-E69B-43FA-8D2A-663C0745E421}");
        return false;
    }
    const CString command(verb ? verb : "");
    if (command.CompareNoCase("undelete") == 0) return RestoreTrashItem(item);
    if (command.CompareNoCase("delete") == 0) return DeleteTrashItem(item);
    return false;
}

}  // namespace vutil
