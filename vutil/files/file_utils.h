#pragma once
// CFileUtils: file paths as text, wildcard file specifications, file lists of a
// directory tree, and safe, unique, temporary, long and correctly cased file names.
// Other subjects of CFileUtils add their own blocks below; keep each block grouped.

#include <cstdint>
#include <vector>

#include "vutil/core/text_array.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class DateTime;

class CFileUtils {
public:
    // ---- Path text ----
    // The text after the last dot, unless a backslash follows that dot.
    static CString GetFileExt(const CString& path);
    // The text after the last backslash or slash; without extension, cut before its last dot.
    static CString ParseFileNameFromPath(const CString& path, bool withExtension);
    // By text alone (bySyntax) or by the file system: is this a file path?
    static bool IsFile(const CString& path, bool acceptNoExtension, bool bySyntax);

    // ---- File specifications ----
    static bool MatchFileSpec(const CString& path, bool isFile, const TextArray& allSpecs,
                              const TextArray& anySpecs, bool caseSensitive);
    static void RemoveMatchingFiles(TextArray& files, const TextArray& specs, bool removeWhen,
                                    bool caseSensitive);

    // ---- File lists (directories end with a separator) ----
    static void GetFileList(const CString& dir, const TextArray& extensions, bool recursive, TextArray& files,
                            bool includeHidden, bool includeSystem, bool validateDir);
    static bool HasFile(const CString& dir, const TextArray& extensions, bool recursive, bool includeHidden,
                        bool includeSystem, bool validateDir);
    static void GetFileExtensions(const CString& dir, TextArray& extensions, bool recursive, bool includeHidden,
                                  bool includeSystem, bool validateDir);

    // ---- File names ----
    static CString ReplaceBadFileChars(const CString& name, const CString& replacement, bool strict);
    static CString GetUniqueFileName(const CString& dir, const CString& fileName);
    static CString GetTempFile(const CString& dir, const CString& prefix, unsigned int& unique);
    static void ConvertToLongFileName(CString& path);
    static CString GetCaseSensitiveFilePath(const CString& path, int tailLength);

    // ---- Zip archives (the container is CZipArchive, zip_archive.h) ----
    // Adds the files (not directories) under names relative to baseDir; true unless an add failed.
    static bool CreateZipFile(const CString& zipPath, const TextArray& files, const CString& baseDir);
    // Appends every entry's name, size and modification time (local).
    static bool GetZipContent(const CString& zipPath, TextArray& names, std::vector<std::uint64_t>& sizes,
                              std::vector<DateTime>& times);
    // Extracts every entry, or those named in only, beneath destDir; never outside it.
    static bool UnZip(const CString& zipPath, const CString& destDir, const TextArray& only);

protected:
    // ---- File list walks ----
    struct ListFilter;  // normalised extension list and attribute choices
    static void GetFileListHelper(const CString& dir, const ListFilter& filter, TextArray& files);
    static void GetFileListHelperAddFile(CString path, const ListFilter& filter, TextArray& files);
    static bool HasFileHelper(const CString& dir, const ListFilter& filter);
    static void GetFileExtensionsHelper(const CString& dir, const ListFilter& filter, TextArray& extensions);
};

}  // namespace vutil
