#pragma once
// CFileUtils: file paths as text, wildcard file specifications, file lists of a
// directory tree, and safe, unique, temporary, long and correctly cased file names.
// Other subjects of CFileUtils add their own blocks below; keep each block grouped.

#include <cstdint>
#include <cstddef>
#include <vector>

#include "vutil/core/text_array.h"
#include "vutil/files/smart_handle.h"
#include "vutil/framework/cstring.h"
#include "vutil/framework/exe_types.h"
#include "vutil/framework/image_list.h"
#include "vutil/platform/file.h"

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

    // ---- Text files (encodings: 0 none, 1 ANSI, 2 UTF-16LE, 3 UTF-16BE, 4 UTF-8) ----
    // Empties lines and fills it with the file's lines. encodingAware reads through
    // TextFile (the byte-order mark decides); otherwise as plain ANSI text.
    static void ReadFileContent(const CString& path, TextArray& lines, bool encodingAware, int* encoding);
    // Every line followed by CR LF, after the encoding's byte-order mark; missing parent
    // directories are created. The old file stays whole unless all was written.
    static bool WriteFileContent(const CString& path, const TextArray& lines, bool encodingAware, int encoding);
    static bool IsFileContentIdentical(const CString& path, const TextArray& lines, bool encodingAware);
    // ---- Copy, move, delete (file_utils_ops.cpp); messages append to errors ----
    static bool EnsureFileIsWritable(const CString& path);
    static bool CopyFileA(const CString& source, const CString& target, CString& errors);
    static bool MoveFileA(const CString& source, const CString& target, CString& errors);
    static bool DeleteFileA(const CString& path, CString& errors, bool toRecycleBin, bool atReboot);

    // ---- Attributes, times, information (file_utils_attr.cpp) ----
    static void SetReadOnly(const CString& path, bool on);
    static void SetHidden(const CString& path, bool on);
    static void SetArchived(const CString& path, bool on);
    static bool SetFileAge(const CString& path, const DateTime& when);
    // Every output may be null; only what is asked for is read.
    static void GetFileInfo(const CString& path, std::uint64_t* size, DateTime* modified, bool* system,
                            bool* hidden, bool* readOnly, bool* archive, CString* comments, CString* companyName,
                            CString* fileDescription, CString* fileVersion, CString* legalCopyright,
                            CString* legalTrademarks, CString* productName);

    // ---- Shortcuts and recent documents (file_shortcuts.cpp) ----
    static CString GetLinkTarget(const CString& path);
    static bool CreateFileShortcut(const CString& dir, const CString& target, const CString& name, int showCommand);
    static bool CreateURLShortcut(const CString& dir, const CString& url, const CString& name);
    static void AddToRecentFileList(const CString& path);

    // ---- Icons of an executable ----
    // Empties images, then appends one icon per icon group of the file's resources, in
    // resource order, at the system's small or normal icon size. Failures are logged.
    static void LoadFileIcons(const CString& path, CImageList& images, bool small);
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

    // ---- Executable resources ----
    // The walk runs over a read-only view of imageSize bytes starting at image; every
    // offset and size read from the file is checked against that extent before use.
    static bool IsEXEFile(SmartHANDLE& file);
    static const IMAGE_RESOURCE_DIRECTORY* LoadResourceTable(const IMAGE_DOS_HEADER* image, std::size_t imageSize);
    static const BYTE* GetRelativeVirtualAddress(const IMAGE_DOS_HEADER* image, std::size_t imageSize,
                                                 unsigned long address);
    static const IMAGE_RESOURCE_DIRECTORY_ENTRY* FindResourceBase(const IMAGE_DOS_HEADER* image,
                                                                  std::size_t imageSize,
                                                                  const void* resourceDirectory,
                                                                  unsigned long type, int& count);
    static const BYTE* FindResourceA(const IMAGE_DOS_HEADER* image, std::size_t imageSize,
                                     const void* resourceDirectory, int which, unsigned long type,
                                     unsigned long& size, int& count);
    static void ExtractIcons(const IMAGE_DOS_HEADER* image, std::size_t imageSize, const void* resourceDirectory,
                             int& count, CImageList& images, bool small);
};

}  // namespace vutil
