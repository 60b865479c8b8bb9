#pragma once
// CDirUtils: directory paths as text, directory tests, creating, renaming and clearing
// directories, directory lists, the analysis of a tree's files, and the well-known
// folders. Other subjects of CDirUtils add their own blocks below; keep each grouped.

#include <cstdint>

#include "vutil/core/text_array.h"
#include "vutil/framework/collections.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class DateTime;

class CDirUtils {
public:
    // ---- Directory-list flags (GetDirectoryList) ----
    static constexpr unsigned long GDL_PLAIN = 0x1;
    static constexpr unsigned long GDL_RECURSIVE = 0x2;
    static constexpr unsigned long GDL_HIDDEN = 0x4;
    static constexpr unsigned long GDL_SYSTEM = 0x8;
    static constexpr unsigned long GDL_CHECKVALID = 0x10;

    // ---- Path text ----
    static CString ParseParentDir(const CString& path);
    static CString ParsePathFromFile(const CString& path);
    static CString ParseLastDir(const CString& path);
    static void EnsureTrailingBackslash(CString& path);
    static void EnsureTrailingForwardSlash(CString& path);
    static void RemoveTrailingSlash(CString& path);
    static bool BreakUpDirs(const CString& path, CStringArray& parts);
    static CString FindCommonParentDir(const CString& a, const CString& b);
    static void MakePathsRelative(const CString& base, TextArray& paths);
    static void IsInDirList(const CString& path, const TextArray& dirs, bool& exact, bool& parentOfListed,
                            bool& insideListed, int& index);

    // ---- Tests ----
    static bool IsDir(const CString& path, bool bySyntax);
    static bool DoesDirExist(const CString& path);
    static bool IsDirWritable(const CString& path);
    static bool IsDirHidden(const CString& path);
    static bool IsDirSystem(const CString& path);
    static bool IsDirShared(const CString& path);
    static bool IsDirEmpty(const CString& dir);
    static bool HasSubdirectory(const CString& dir, bool includeHidden, bool includeSystem);

    // ---- Changing directories ----
    static bool EnsureDirIsWritable(const CString& path);
    static bool CreateDirectoryA(const CString& path);
    static bool RenameDirectory(const CString& source, const CString& target, CString& errors);
    static bool ClearDirectory(const CString& dir, CString& errors, bool removeDir, bool toRecycleBin,
                               bool validateDir);

    // ---- Lists and analysis ----
    static void GetDirectoryList(const CString& dir, TextArray& dirs, unsigned long flags);
    static bool DoDirAnalysis(const CString& dir, const CStringArray& extensions, bool recursive, DateTime* oldest,
                              DateTime* newest, std::uint64_t* sizeA, std::uint64_t* sizeB,
                              std::uint64_t* totalSize);

    // ---- Well-known directories (each ends with a backslash) ----
    static CString GetSpecialFolder(int folderId);
    static CString GetTempDir();
    static CString GetWindowsDir();
    static CString GetSystemDir();
    static void ConvertToLongPathName(CString& path);

    // ---- Zip archives ----
    // Archives the tree of dir, every entry name starting with dir's own name.
    static bool CreateZipFile(const CString& zipPath, const CString& dir);

protected:
    struct AnalysisState;  // outputs and the extension set of one analysis
    static bool DoDirAnalysisImpl(const CString& dir, AnalysisState& state);
};

}  // namespace vutil
