// File and directory paths taken apart, judged by syntax, matched against specs and
// ordered as paths, on arbitrary bytes. The input is "path NUL spec NUL more paths...";
// without a NUL the whole input is the path and its halves are the specs.

#include <cstdint>
#include <string_view>

#include "vutil/core/text_array.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/framework/file_find.h"
#include "vutil/platform/dir_attrib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vutil::CDirUtils;
    using vutil::CFileUtils;
    using vutil::CString;
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    vutil::TextArray parts;
    for (std::size_t start = 0; start <= in.size();) {
        std::size_t cut = in.find('\0', start);
        if (cut == std::string_view::npos) cut = in.size();
        parts.Add(CString(in.substr(start, cut - start)));
        start = cut + 1;
    }
    if (parts.GetCount() == 1) {
        parts.Add(CString(in.substr(0, size / 2)));
        parts.Add(CString(in.substr(size / 2)));
    }
    const CString path = parts.GetAt(0);
    for (bool flag : {false, true}) {
        CFileUtils::IsFile(path, flag, true);
        CFileUtils::MatchFileSpec(path, flag, parts, vutil::TextArray(), flag);
        CFileUtils::ReplaceBadFileChars(path, parts.GetAt(1), flag);
    }
    CDirUtils::IsDir(path, true);
    CDirUtils::ParseLastDir(path);
    CString copy = path;
    CDirUtils::EnsureTrailingBackslash(copy);
    CDirUtils::RemoveTrailingSlash(copy);
    vutil::CStringArray dirs;
    CDirUtils::BreakUpDirs(path, dirs);
    CDirUtils::FindCommonParentDir(path, parts.GetAt(1));
    bool exact, parent, inside;
    int index;
    CDirUtils::IsInDirList(path, parts, exact, parent, inside, index);
    vutil::CFileFind::MatchName(path.view(), parts.GetAt(1).view());
    vutil::platform::ParseDosAttrib(path.view());
    for (bool dirsFirst : {false, true}) {
        vutil::TextArray sorted = parts;
        sorted.Sort(dirsFirst, !dirsFirst, true, dirsFirst);
        sorted.Have(path, !dirsFirst, true, dirsFirst);
        sorted.RemoveNonDuplicates(false, true, dirsFirst);
        sorted.RemoveDuplicates(true, true, dirsFirst);
        sorted.DeleteFilesWithExt(parts);
        sorted.DeleteFilesNameEndsWith(parts.GetAt(1), dirsFirst);
    }
    CDirUtils::MakePathsRelative(path, parts);
    return 0;
}
