// CFileUtils: path text, file specifications and safe file names.

#include <array>
#include <cstring>

#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/platform/dir.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }
bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

int LastSep(const CString& s) {
    for (int i = s.GetLength() - 1; i >= 0; --i)
        if (IsSep(s[i])) return i;
    return -1;
}

bool IsFileBySyntax(const CString& path, bool acceptNoExtension) {
    const int len = path.GetLength();
    int first = 0;
    while (first < len && CStringUtils::IsSpace(static_cast<unsigned char>(path[first]))) ++first;
    if (first == len) return false;
    int last = len - 1;
    while (last > first && CStringUtils::IsSpace(static_cast<unsigned char>(path[last]))) --last;
    const bool hasSep = path.FindOneOf("\\/") >= 0;
    if (path[first] == '.' && !hasSep) return true;  // ".profile" and the like
    if (last - first + 1 < 3) return false;
    if (IsSep(path[last])) return false;
    if (path.FindOneOf("*?\"<>|") >= 0) return false;
    const int dot = path.ReverseFind('.');
    if (dot < 0) return hasSep && acceptNoExtension;
    // The extension ends at the last non-blank, or before a "#" fragment after its first character.
    int extEnd = last + 1;
    for (int i = dot + 2; i <= last; ++i) {
        if (path[i] == '#') {
            extEnd = i;
            break;
        }
    }
    const int extLen = extEnd - (dot + 1);
    if (extLen > 8) return false;
    CString ext = extLen > 0 ? path.Mid(dot + 1, extLen) : CString();
    for (int i = 0; i < ext.GetLength(); ++i)
        if (!IsDigitChar(ext[i])) return true;
    if (ext == "000" || ext == "001" || ext == "113" || ext == "123") return true;
    if (ext == "0") {
        for (int i = first; i < dot; ++i)
            if (!IsDigitChar(path[i])) return true;  // "name.0", but not the number "12.0"
    }
    return false;
}

struct SpecParts {
    CString dir, name, ext;
};

SpecParts SplitSpec(const CString& spec) {
    return {CDirUtils::ParseParentDir(spec), CFileUtils::ParseFileNameFromPath(spec, false),
            CFileUtils::GetFileExt(spec)};
}

bool SpecMatches(const SpecParts& path, const CString& spec, bool caseSensitive) {
    const SpecParts s = SplitSpec(spec);
    if (!s.ext.IsEmpty() && !CStringUtils::MatchSpec(path.ext, s.ext, caseSensitive)) return false;
    if (!s.name.IsEmpty() && !CStringUtils::MatchSpec(path.name, s.name, caseSensitive)) return false;
    if (!s.dir.IsEmpty() && !CStringUtils::MatchSpec(path.dir, s.dir, caseSensitive)) return false;
    return true;
}

}  // namespace

CString CFileUtils::GetFileExt(const CString& path) {
    const int dot = path.ReverseFind('.');
    if (dot < 0 || path.Find('\\', dot) >= 0) return CString();
    return path.Mid(dot + 1);
}

CString CFileUtils::ParseFileNameFromPath(const CString& path, bool withExtension) {
    CString name = path.Mid(LastSep(path) + 1);
    if (!withExtension) {
        const int dot = name.ReverseFind('.');
        if (dot >= 0) name.Truncate(dot);
    }
    return name;
}

bool CFileUtils::IsFile(const CString& path, bool acceptNoExtension, bool bySyntax) {
    if (bySyntax) return IsFileBySyntax(path, acceptNoExtension);
    // A missing path reports every bit, the directory bit included.
    return (platform::GetAttributes(path.view()) & platform::kAttrDirectory) == 0;
}

bool CFileUtils::MatchFileSpec(const CString& path, bool isFile, const TextArray& allSpecs, const TextArray& anySpecs,
                               bool caseSensitive) {
    if (allSpecs.IsEmpty() && anySpecs.IsEmpty()) return true;
    SpecParts parts;
    parts.dir = CDirUtils::ParseParentDir(path);
    if (isFile) {
        parts.name = ParseFileNameFromPath(path, false);
        parts.ext = GetFileExt(path);
    } else {
        parts.name = CDirUtils::ParseLastDir(path);
    }
    for (const CString& spec : allSpecs)
        if (!spec.IsEmpty() && !SpecMatches(parts, spec, caseSensitive)) return false;
    if (anySpecs.IsEmpty()) return true;
    for (const CString& spec : anySpecs)
        if (!spec.IsEmpty() && SpecMatches(parts, spec, caseSensitive)) return true;
    return false;
}

void CFileUtils::RemoveMatchingFiles(TextArray& files, const TextArray& specs, bool removeWhen, bool caseSensitive) {
    if (specs.IsEmpty() || files.IsEmpty()) return;
    const TextArray none;
    unsigned int i = 0;
    while (i < files.GetCount()) {
        if (MatchFileSpec(files.Items()[i], true, specs, none, caseSensitive) == removeWhen) files.Delete(i);
        else ++i;
    }
}

CString CFileUtils::ReplaceBadFileChars(const CString& name, const CString& replacement, bool strict) {
    static constexpr std::array<char, 11> kBad = {'\\', '/', ':', '*', '?', '"', '<', '>', '|', '\'', ' '};
    const std::size_t count = strict ? kBad.size() : kBad.size() - 2;
    bool any = false;
    for (std::size_t i = 0; i < count && !any; ++i) any = name.Find(kBad[i]) >= 0;
    if (!any) return name;
    CString out = name;
    // One character after another, so a replacement holding a later bad character is replaced again.
    for (std::size_t i = 0; i < count; ++i) out.Replace(std::string_view(&kBad[i], 1), replacement.view());
    return out;
}

}  // namespace vutil
