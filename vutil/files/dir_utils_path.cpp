// CDirUtils: directory paths as text.

#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/platform/dir.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }

int LastSep(const CString& s, int from) {
    for (int i = from; i >= 0; --i)
        if (IsSep(s[i])) return i;
    return -1;
}

CString Trimmed(const CString& s) {
    const int len = s.GetLength();
    int a = 0;
    while (a < len && CStringUtils::IsSpace(static_cast<unsigned char>(s[a]))) ++a;
    int b = len;
    while (b > a && CStringUtils::IsSpace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.Mid(a, b - a);
}

bool StartsWithNoCase(const CString& text, const CString& prefix) {
    return text.GetLength() >= prefix.GetLength() &&
           CString::CompareNoCase(text.view().substr(0, static_cast<std::size_t>(prefix.GetLength())),
                                  prefix.view()) == 0;
}

}  // namespace

CString CDirUtils::ParseParentDir(const CString& path) {
    // A trailing separator is not the one we look for.
    const int i = LastSep(path, path.GetLength() - 2);
    return i < 0 ? CString() : path.Left(i + 1);
}

CString CDirUtils::ParsePathFromFile(const CString& path) { return ParseParentDir(path); }

CString CDirUtils::ParseLastDir(const CString& path) {
    if (CFileUtils::IsFile(path, false, true)) {
        const int sep = LastSep(path, path.GetLength() - 1);
        if (sep < 0) return CString();
        const CString dir = path.Left(sep);
        return dir.Mid(LastSep(dir, dir.GetLength() - 1) + 1);
    }
    CString dir = path;
    if (!dir.IsEmpty() && IsSep(dir[dir.GetLength() - 1])) dir.Truncate(dir.GetLength() - 1);
    const int sep = LastSep(dir, dir.GetLength() - 1);
    return sep < 0 ? CString() : dir.Mid(sep + 1);
}

void CDirUtils::EnsureTrailingBackslash(CString& path) {
    path = Trimmed(path);
    if (path.IsEmpty()) return;
    const int last = path.GetLength() - 1;
    if (path[last] == '/') path.SetAt(last, '\\');
    else if (path[last] != '\\') path += '\\';
}

void CDirUtils::EnsureTrailingForwardSlash(CString& path) {
    path = Trimmed(path);
    if (path.IsEmpty()) return;
    const int last = path.GetLength() - 1;
    if (path[last] == '\\') path.SetAt(last, '/');
    else if (path[last] != '/') path += '/';
}

void CDirUtils::RemoveTrailingSlash(CString& path) {
    path = Trimmed(path);
    if (!path.IsEmpty() && IsSep(path[path.GetLength() - 1])) path.Truncate(path.GetLength() - 1);
}

bool CDirUtils::BreakUpDirs(const CString& path, CStringArray& parts) {
    parts.RemoveAll();
    CString rest = Trimmed(path);
    if (rest.IsEmpty() || rest == "/" || rest == "\\") return true;
    if (IsSep(rest[rest.GetLength() - 1])) rest.Truncate(rest.GetLength() - 1);
    if (!rest.IsEmpty() && IsSep(rest[0])) rest = rest.Mid(1);
    const char sep = rest.Find('\\') >= 0 ? '\\' : '/';
    CStringArray reversed;
    for (;;) {
        const int i = rest.ReverseFind(sep);
        reversed.Add(rest.Mid(i + 1));
        if (i < 0) break;
        rest.Truncate(i);
    }
    for (int i = reversed.GetSize() - 1; i >= 0; --i) parts.Add(reversed[i]);
    return true;
}

CString CDirUtils::FindCommonParentDir(const CString& a, const CString& b) {
    CStringArray pa, pb;
    BreakUpDirs(a, pa);
    BreakUpDirs(b, pb);
    CString common;
    for (int i = 0; i < pa.GetSize() && i < pb.GetSize(); ++i) {
        if (pa[i].CompareNoCase(pb[i]) != 0) break;
        common += pa[i];
        common += '\\';
    }
    return common;
}

void CDirUtils::MakePathsRelative(const CString& base, TextArray& paths) {
    for (unsigned int i = 0; i < paths.GetCount(); ++i) {
        const CString& p = paths.Items()[i];
        if (!StartsWithNoCase(p, base)) continue;
        paths.Replace(i, p.GetLength() <= base.GetLength() ? CString() : p.Mid(base.GetLength()));
    }
}

void CDirUtils::IsInDirList(const CString& path, const TextArray& dirs, bool& exact, bool& parentOfListed,
                            bool& insideListed, int& index) {
    exact = parentOfListed = insideListed = false;
    index = -1;
    for (unsigned int i = 0; i < dirs.GetCount(); i += 2) {
        const CString& d = dirs.Items()[i];
        if (d.CompareNoCase(path) == 0) exact = true;
        else if (StartsWithNoCase(d, path)) parentOfListed = true;
        else if (StartsWithNoCase(path, d)) insideListed = true;
        else continue;
        index = static_cast<int>(i);
        return;
    }
}

bool CDirUtils::IsDir(const CString& path, bool bySyntax) {
    if (!bySyntax) {
        const DWORD attrs = platform::GetAttributes(path.view());
        return attrs != platform::kInvalidAttributes && (attrs & platform::kAttrDirectory) != 0;
    }
    const CString p = Trimmed(path);
    if (p.IsEmpty()) return false;
    if (p.GetLength() == 1) return IsSep(p[0]);
    if (p.FindOneOf(":\\/") < 0) return false;
    for (int i = p.GetLength() - 1; i >= 0; --i) {
        if (IsSep(p[i])) return true;
        if (p[i] == '.') return false;
    }
    return true;
}

}  // namespace vutil
