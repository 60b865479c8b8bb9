// CDirUtils: directory tests, changes, lists, the analysis of a tree, and the
// well-known folders.

#include <set>
#include <string>

#include "vutil/dates/date_time.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/files/files_internal.h"
#include "vutil/framework/file_find.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/error.h"
#include "vutil/platform/file_ops.h"

namespace vutil {

namespace fi = files_internal;

namespace {

DWORD Attributes(const CString& path) { return platform::GetAttributes(path.view()); }

bool HasBit(const CString& path, DWORD bit) {
    const DWORD a = Attributes(path);
    return a != platform::kInvalidAttributes && (a & bit) != 0;
}

bool ValidDir(const CString& dir) { return CDirUtils::IsDir(dir, true) && CDirUtils::DoesDirExist(dir); }

void ListDirs(const CString& dir, TextArray& dirs, unsigned long flags, fi::VisitedDirs& visited) {
    if (!visited.Enter(dir)) return;
    CFileFind ff;
    bool more = ff.FindFile(dir + "*.*");
    while (more) {
        more = ff.FindNextFile();
        if (!ff.IsDirectory() || ff.IsDots()) continue;
        if (!(flags & CDirUtils::GDL_HIDDEN) && ff.IsHidden()) continue;
        if (!(flags & CDirUtils::GDL_SYSTEM) && ff.IsSystem()) continue;
        const CString sub = dir + ff.GetFileName() + "\\";
        dirs.Add(sub);
        if (flags & CDirUtils::GDL_RECURSIVE) ListDirs(sub, dirs, flags, visited);
    }
}

CString Folder(std::string path) {
    CString p(std::move(path));
    CDirUtils::EnsureTrailingBackslash(p);
    return p;
}

}  // namespace

// ---- Tests ----

bool CDirUtils::DoesDirExist(const CString& path) { return platform::PathExists(path.view()); }

bool CDirUtils::IsDirWritable(const CString& path) {
    const DWORD a = Attributes(path);
    return a != platform::kInvalidAttributes && !(a & platform::kAttrReadOnly);
}

bool CDirUtils::IsDirHidden(const CString& path) { return HasBit(path, platform::kAttrHidden); }

bool CDirUtils::IsDirSystem(const CString& path) { return HasBit(path, platform::kAttrSystem); }

bool CDirUtils::IsDirShared(const CString& path) {
    // This platform publishes no shares of its own, so no directory is one.
    (void)path;
    return false;
}

bool CDirUtils::IsDirEmpty(const CString& dir) {
    CFileFind ff;
    bool more = ff.FindFile(dir + "*.*");
    while (more) {
        more = ff.FindNextFile();
        if (!ff.IsDots()) return false;
    }
    return true;
}

bool CDirUtils::HasSubdirectory(const CString& dir, bool includeHidden, bool includeSystem) {
    if (!ValidDir(dir) || dir.IsEmpty() || dir[dir.GetLength() - 1] != '\\') return false;
    CFileFind ff;
    bool more = ff.FindFile(dir + "*.*");
    while (more) {
        more = ff.FindNextFile();
        if (!ff.IsDirectory() || ff.IsDots()) continue;
        if (ff.IsHidden() && !includeHidden) continue;
        if (ff.IsSystem() && !includeSystem) continue;
        return true;
    }
    return false;
}

// ---- Changing directories ----

bool CDirUtils::EnsureDirIsWritable(const CString& path) {
    const DWORD a = Attributes(path);
    if (a == platform::kInvalidAttributes) return false;
    if (!(a & platform::kAttrReadOnly)) return true;
    if (platform::SetAttributes(path.view(), platform::kAttrNormal)) return true;
    fi::LogWithError("{6A5FB0EA-8266-46e5-A602-375F53652FC1}");
    return false;
}

bool CDirUtils::CreateDirectoryA(const CString& path) {
    if (!IsDir(path, true)) {
        fi::Log("{CFA90487-86BF-447E-8ED9-0A4FB9B61A7F}");
        return false;
    }
    if (DoesDirExist(path)) return true;
    int last = -1;
    for (int i = path.Find('\\'); i >= 0; i = path.Find('\\', i + 1)) {
        last = i;
        const CString prefix = path.Left(i + 1);
        if (DoesDirExist(prefix)) continue;
        if (!platform::MakeDirectory(prefix.view())) {
            fi::LogWithError("{9B51F7BA-96F2-46aa-8FC3-C24A08668496}", prefix);
            return false;
        }
    }
    if (last < 0) return true;
    if (last + 1 < path.GetLength() && !DoesDirExist(path) && !platform::MakeDirectory(path.view())) {
        fi::LogWithError("{70912734-C160-4b1f-8BB4-78E8BBEAB29C}", path);
        return false;
    }
    return DoesDirExist(path);
}

bool CDirUtils::RenameDirectory(const CString& source, const CString& target, CString& errors) {
    const char* problem = nullptr;
    if (!IsDir(source, true)) problem = "Not a valid source directory.";
    else if (!DoesDirExist(source)) problem = "Source directory does not exist.";
    else if (!IsDir(target, true)) problem = "Not a valid target directory.";
    else if (DoesDirExist(target)) problem = "Target directory already exists.";
    if (problem) {
        fi::AppendError(errors, problem);
        return false;
    }
    const CString parent = ParseParentDir(target);
    if (!parent.IsEmpty() && !DoesDirExist(parent)) CreateDirectoryA(parent);
    CString from = source, to = target;
    RemoveTrailingSlash(from);
    RemoveTrailingSlash(to);
    if (platform::MovePath(from.view(), to.view())) return true;
    fi::AppendError(errors, fi::LastErrorText());
    return false;
}

bool CDirUtils::ClearDirectory(const CString& dir, CString& errors, bool removeDir, bool toRecycleBin,
                               bool validateDir) {
    if (validateDir) {
        if (!IsDir(dir, true)) {
            fi::Log("{4036C13F-0DFE-421B-9EA6-6C28375D7E48}");
            return false;
        }
        if (!DoesDirExist(dir)) {
            fi::Log("{3D6F6851-C637-4495-B5C2-A1470F6B07EF}");
            return false;
        }
        if (!EnsureDirIsWritable(dir)) {
            fi::Log("{85FCA450-2197-4088-8ED6-0567528851F7}");
            return false;
        }
    }
    CString work = dir;
    EnsureTrailingBackslash(work);
    if (work.GetLength() >= 258) {
        fi::Log("{396DDA01-B941-4781-ABA1-2E70C2F3125B}");
        fi::AppendError(errors, "Directory path is too long.");
        return false;
    }
    if (removeDir && toRecycleBin) {
        // No recycle bin is reachable from this layer; say so as the shell would.
        platform::SetLastErrorCode(platform::kErrorNotSupported);
        CString line;
        CString target = work;
        RemoveTrailingSlash(target);
        line.Format("{996D9989-7ACC-46d8-9265-A13FF9AEFFE5} %s (%s)", target, fi::LastErrorText());
        fi::Log(line);
        fi::AppendError(errors, fi::LastErrorText());
        return false;
    }
    TextArray files;
    CFileUtils::GetFileList(work, TextArray(), false, files, true, true, false);
    bool failed = false;
    for (const CString& file : files) {
        CString fileErrors;
        // A link goes as the link: making it writable first would change the file it
        // points at, outside the tree.
        const DWORD a = platform::GetAttributes(file.view());
        bool deleted;
        if (a != platform::kInvalidAttributes && (a & platform::kAttrReparsePoint)) {
            deleted = toRecycleBin ? platform::MoveToTrash(file.view()) : platform::RemoveFile(file.view());
            if (!deleted) fi::AppendError(fileErrors, fi::LastErrorText());
        } else {
            deleted = CFileUtils::DeleteFileA(file, fileErrors, toRecycleBin, false);
        }
        if (deleted) continue;
        failed = true;
        if (!errors.IsEmpty()) errors += ", ";
        errors += file + "(" + fileErrors + ")";
    }
    if (failed) return false;
    if (!removeDir) return true;
    CFileFind ff;
    bool more = ff.FindFile(work + "*.*");
    while (more) {
        more = ff.FindNextFile();
        if (!ff.IsDirectory() || ff.IsDots()) continue;
        const CString sub = ff.GetFilePath();
        // A link to a directory goes as a link: nothing outside the tree is touched.
        const bool ok = ff.IsSymbolicLink() ? platform::RemoveEmptyDirectory(sub.view())
                                             : ClearDirectory(sub + "\\", errors, true, false, false);
        if (!ok) {
            fi::Log("{7A25FD0D-E4FC-4E4A-9A61-0B777DE874E9}");
            return false;
        }
    }
    ff.Close();
    if (!platform::RemoveEmptyDirectory(work.view())) {
        fi::LogWithError("{E462900C-2BDF-499b-A5EB-1A3D771E4020}");
        return false;
    }
    return true;
}

// ---- Lists and analysis ----

void CDirUtils::GetDirectoryList(const CString& dir, TextArray& dirs, unsigned long flags) {
    if ((flags & GDL_CHECKVALID) && !ValidDir(dir)) {
        fi::Log("{3354349F-DDC7-4B32-9D79-AA6DC286EA60}");
        return;
    }
    fi::VisitedDirs visited;
    ListDirs(CString(platform::LibraryPath(dir.view())), dirs, flags & ~GDL_CHECKVALID, visited);
}

struct CDirUtils::AnalysisState {
    std::set<CString> extensions;
    bool recursive = false;
    DateTime* oldest = nullptr;
    DateTime* newest = nullptr;
    std::uint64_t* sizeA = nullptr;  // smallest file size
    std::uint64_t* sizeB = nullptr;  // largest file size
    std::uint64_t* totalSize = nullptr;
    DateTime fileTime;  // the last file time that could be taken
    fi::VisitedDirs visited;
};

bool CDirUtils::DoDirAnalysisImpl(const CString& dir, AnalysisState& state) {
    if (!state.visited.Enter(dir)) return false;
    CString pattern = dir + "*.*";
    if (!state.recursive && state.extensions.size() == 1) pattern = dir + "*." + *state.extensions.begin();
    CFileFind ff;
    bool more = ff.FindFile(pattern);
    if (!more) return false;
    while (more) {
        more = ff.FindNextFile();
        if (ff.IsDirectory()) {
            if (state.recursive && !ff.IsDots()) DoDirAnalysisImpl(ff.GetFilePath() + "\\", state);
            continue;
        }
        if (!state.extensions.empty() && !state.extensions.count(CFileUtils::GetFileExt(ff.GetFileName()))) continue;
        FILETIME ft;
        if (ff.GetLastWriteTime(ft)) {
            DateTime t;
            t.Set(ft);
            if (t.IsValidDate() && t.IsValidTime()) state.fileTime = t;
        }
        if (state.fileTime.IsValidDate()) {
            if (state.oldest && (!state.oldest->IsValidDate() || state.fileTime < *state.oldest))
                *state.oldest = state.fileTime;
            if (state.newest && (!state.newest->IsValidDate() || state.fileTime > *state.newest))
                *state.newest = state.fileTime;
        }
        const std::uint64_t size = ff.GetLength();
        if (state.sizeA && size < *state.sizeA) *state.sizeA = size;
        if (state.sizeB && size > *state.sizeB) *state.sizeB = size;
        if (state.totalSize) *state.totalSize += size;
    }
    return true;
}

bool CDirUtils::DoDirAnalysis(const CString& dir, const CStringArray& extensions, bool recursive, DateTime* oldest,
                              DateTime* newest, std::uint64_t* sizeA, std::uint64_t* sizeB,
                              std::uint64_t* totalSize) {
    if (!ValidDir(dir)) return false;
    if (!oldest && !newest && !sizeA && !sizeB && !totalSize) return false;
    // sizeA is the running minimum and sizeB the running maximum, each reset to the
    // value its comparison needs.
    if (oldest) *oldest = DateTime();
    if (newest) *newest = DateTime();
    if (sizeA) *sizeA = 0x7FFFFFFFFFFFFFFFULL;
    if (sizeB) *sizeB = 0;
    if (totalSize) *totalSize = 0;
    AnalysisState state;
    for (int i = 0; i < extensions.GetSize(); ++i) state.extensions.insert(extensions[i]);
    state.recursive = recursive;
    state.oldest = oldest;
    state.newest = newest;
    state.sizeA = sizeA;
    state.sizeB = sizeB;
    state.totalSize = totalSize;
    return DoDirAnalysisImpl(dir, state);
}

// ---- Well-known directories ----

CString CDirUtils::GetSpecialFolder(int folderId) { return Folder(platform::SpecialFolderPath(folderId)); }

CString CDirUtils::GetTempDir() {
    std::string path = platform::TempDirectoryPath();
    if (path.empty()) {
        fi::LogWithError("{74AFE328-701B-485D-8B67-57F985031017}");
        return CString();
    }
    return Folder(std::move(path));
}

CString CDirUtils::GetWindowsDir() { return Folder(platform::WindowsDirectoryPath()); }

CString CDirUtils::GetSystemDir() { return Folder(platform::SystemDirectoryPath()); }

void CDirUtils::ConvertToLongPathName(CString& path) { CFileUtils::ConvertToLongFileName(path); }

}  // namespace vutil
