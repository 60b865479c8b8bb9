// CFileUtils: file lists of a directory tree, and file names on disk.

#include <string>
#include <vector>

#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/files/files_internal.h"
#include "vutil/framework/file_find.h"
#include "vutil/platform/dir.h"
#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace fi = files_internal;

struct CFileUtils::ListFilter {
    std::vector<CString> endings;  // ".ext" each; empty means every file
    bool recursive = false;
    bool includeHidden = false;
    bool includeSystem = false;
    mutable fi::VisitedDirs visited;

    ListFilter(const TextArray& extensions, bool rec, bool hidden, bool system)
        : recursive(rec), includeHidden(hidden), includeSystem(system) {
        for (const CString& ext : extensions) {
            if (ext == "*") {
                endings.clear();
                return;
            }
            endings.push_back("." + ext);
        }
    }

    bool Qualifies(const CString& path) const {
        if (path.IsEmpty()) return false;
        if (endings.empty()) return true;
        for (const CString& e : endings)
            if (CStringUtils::MatchLastChars(path, e, false)) return true;
        return false;
    }

    // A file entry that the attribute choices leave out.
    bool Skipped(const CFileFind& ff) const {
        return (!includeHidden && ff.IsHidden()) || (!includeSystem && ff.IsSystem());
    }
};

namespace {

bool ValidDir(const CString& dir) { return CDirUtils::IsDir(dir, true) && CDirUtils::DoesDirExist(dir); }

}  // namespace

void CFileUtils::GetFileListHelperAddFile(CString path, const ListFilter& filter, TextArray& files) {
    if (filter.Qualifies(path)) files.Add(std::move(path));
}

void CFileUtils::GetFileListHelper(const CString& dir, const ListFilter& filter, TextArray& files) {
    if (!filter.visited.Enter(dir)) return;
    CFileFind ff;
    bool more = ff.FindFile(dir + "*.*");
    while (more) {
        more = ff.FindNextFile();
        if (ff.IsDirectory()) {
            // Hidden and system folders are walked too; the file rules apply inside.
            if (filter.recursive && !ff.IsDots()) GetFileListHelper(ff.GetFilePath() + "\\", filter, files);
            continue;
        }
        // The extension first: it is text, the attributes may take a call per file.
        CString path = ff.GetFilePath();
        if (filter.Qualifies(path) && !filter.Skipped(ff)) files.Add(std::move(path));
    }
}

bool CFileUtils::HasFileHelper(const CString& dir, const ListFilter& filter) {
    if (!filter.visited.Enter(dir)) return false;
    CFileFind ff;
    bool more = ff.FindFile(dir + "*.*");
    while (more) {
        more = ff.FindNextFile();
        if (ff.IsDirectory()) {
            if (filter.recursive && !ff.IsDots() && HasFileHelper(ff.GetFilePath() + "\\", filter)) return true;
            continue;
        }
        if (filter.Qualifies(ff.GetFilePath()) && !filter.Skipped(ff)) return true;
    }
    return false;
}

void CFileUtils::GetFileExtensionsHelper(const CString& dir, const ListFilter& filter, TextArray& extensions) {
    if (!filter.visited.Enter(dir)) return;
    CFileFind ff;
    bool more = ff.FindFile(dir + "*.*");
    while (more) {
        more = ff.FindNextFile();
        if (ff.IsDirectory()) {
            if (filter.recursive && !ff.IsDots()) GetFileExtensionsHelper(ff.GetFilePath() + "\\", filter, extensions);
            continue;
        }
        CString ext = GetFileExt(ff.GetFileName());
        if (ext.IsEmpty() || filter.Skipped(ff)) continue;
        ext.MakeLower();
        extensions.Add(std::move(ext));
    }
}

void CFileUtils::GetFileList(const CString& dir, const TextArray& extensions, bool recursive, TextArray& files,
                             bool includeHidden, bool includeSystem, bool validateDir) {
    if (validateDir && !ValidDir(dir)) {
        fi::Log("{D02C81FD-D500-41CC-9683-AF282C31C7EB}");
        return;
    }
    const ListFilter filter(extensions, recursive, includeHidden, includeSystem);
    GetFileListHelper(dir, filter, files);
}

bool CFileUtils::HasFile(const CString& dir, const TextArray& extensions, bool recursive, bool includeHidden,
                         bool includeSystem, bool validateDir) {
    if (dir.IsEmpty() || (validateDir && !ValidDir(dir))) {
        fi::Log("{EE2D464B-E5FA-4EB6-B263-6F53E455893F}");
        return false;
    }
    const ListFilter filter(extensions, recursive, includeHidden, includeSystem);
    return HasFileHelper(dir, filter);
}

void CFileUtils::GetFileExtensions(const CString& dir, TextArray& extensions, bool recursive, bool includeHidden,
                                   bool includeSystem, bool validateDir) {
    if (validateDir && !ValidDir(dir)) {
        fi::Log("{B1D0AE55-7513-4A25-A353-5C8F588B53A0}");
        return;
    }
    const ListFilter filter(TextArray(), recursive, includeHidden, includeSystem);
    GetFileExtensionsHelper(dir, filter, extensions);
    extensions.Sort(true, false, false, true);
    extensions.RemoveDuplicates(true, false, true);
}

CString CFileUtils::GetUniqueFileName(const CString& dir, const CString& fileName) {
    CString candidate = dir + fileName;
    if (!platform::PathExists(candidate.view())) return candidate;
    const CString base = dir + ParseFileNameFromPath(fileName, false);
    const CString ext = GetFileExt(fileName);
    candidate = base + "_copy." + ext;
    if (!platform::PathExists(candidate.view())) return candidate;
    // Ends: every candidate is a new name, and a directory holds finitely many.
    for (std::uint64_t n = 1;; ++n) {
        candidate = base + "_copy" + CNumberTextConv::NumberToString(n) + "." + ext;
        if (!platform::PathExists(candidate.view())) return candidate;
    }
}

CString CFileUtils::GetTempFile(const CString& dir, const CString& prefix, unsigned int& unique) {
    unique = 0;
    if (!ValidDir(dir)) {
        fi::Log("{F1A8BB00-471B-4D7C-9766-55857561C699}");
        return CString();
    }
    unsigned int used = 0;
    std::string path = platform::CreateTempFileName(dir.view(), prefix.view(), 0, used);
    if (path.empty()) {
        fi::LogWithError("{E4949422-0B7B-4D2B-AE39-0E30647219F3}");
        return CString();
    }
    unique = used;
    return CString(std::move(path));
}

void CFileUtils::ConvertToLongFileName(CString& path) {
    if (path.Find('~') < 0 || path.GetLength() >= 260) return;
    const bool exists = platform::PathExists(path.view());
    if (!exists && (IsFile(path, true, true) || CDirUtils::IsDir(path, true))) return;
    std::string longPath = platform::LongPathName(path.view());
    if (!longPath.empty() && longPath.size() < 259) path = CString(std::move(longPath));
}

CString CFileUtils::GetCaseSensitiveFilePath(const CString& given, int tailLength) {
    const CString path(platform::LibraryPath(given.view()));
    CString tail = path.Right(tailLength);
    const int firstSep = tail.Find('\\');
    if (firstSep >= 0) tail = tail.Mid(firstSep + 1);
    CString head = path.Left(path.GetLength() - tail.GetLength());
    CStringArray parts;
    CStringUtils::SplitLine(tail, "\\", parts);
    if (parts.GetSize() == 0) return path;
    for (int i = 0; i + 1 < parts.GetSize(); ++i) {
        const CString wanted = head + parts[i];
        CFileFind ff;
        bool more = ff.FindFile(head + "*.*");
        while (more) {
            more = ff.FindNextFile();
            if (!ff.IsDirectory() || ff.IsDots() || ff.GetFilePath().CompareNoCase(wanted) != 0) continue;
            head = ff.GetFilePath();
            CDirUtils::EnsureTrailingBackslash(head);
            break;
        }
    }
    if (IsFile(path, true, true)) {
        CFileFind ff;
        bool more = ff.FindFile(head + "*." + GetFileExt(path));
        while (more) {
            more = ff.FindNextFile();
            if (!ff.IsDirectory() && ff.GetFilePath().CompareNoCase(path) == 0) return ff.GetFilePath();
        }
        return given;
    }
    // A last component that is no file name is kept as it was given.
    return head + parts[parts.GetSize() - 1];
}

}  // namespace vutil
