// TextArray: path ordering, path equality and the path filters.

#include <algorithm>
#include <numeric>
#include <vector>

#include "vutil/core/text_array.h"
#include "vutil/core/text_array_paths_internal.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace text_array_paths {

namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }
bool IsBlank(char c) { return CStringUtils::IsSpace(static_cast<unsigned char>(c)); }

}  // namespace

PathParts Split(std::string_view item) noexcept {
    PathParts p;
    // Directory: the parent ends at the last separator before the final character.
    std::size_t parentLen = 0;
    for (std::size_t i = item.size() >= 2 ? item.size() - 1 : 0; i-- > 0;) {
        if (IsSep(item[i])) {
            parentLen = i + 1;
            break;
        }
    }
    std::string_view dir = item.substr(0, parentLen);
    while (!dir.empty() && IsBlank(dir.front())) dir.remove_prefix(1);
    while (!dir.empty() && IsBlank(dir.back())) dir.remove_suffix(1);
    if (!dir.empty() && IsSep(dir.back())) dir.remove_suffix(1);
    p.dir = dir;
    // Base name: after the last separator, cut before its own last dot.
    const std::size_t sep = item.find_last_of("\\/");
    std::string_view name = sep == std::string_view::npos ? item : item.substr(sep + 1);
    const std::size_t nameDot = name.rfind('.');
    p.base = nameDot == std::string_view::npos ? name : name.substr(0, nameDot);
    // Extension: after the last dot of the path, unless a backslash follows it.
    const std::size_t dot = item.rfind('.');
    if (dot != std::string_view::npos && item.find('\\', dot) == std::string_view::npos) p.ext = item.substr(dot + 1);
    return p;
}

}  // namespace text_array_paths

namespace {

using text_array_paths::PathParts;
using text_array_paths::Split;

int Compare(std::string_view a, std::string_view b, bool caseSensitive) {
    if (!caseSensitive) return CString::CompareNoCase(a, b);
    const int r = a.compare(b);
    return (r > 0) - (r < 0);
}

int CompareFileParts(const PathParts& a, const PathParts& b, bool cs) {
    const int r = Compare(a.base, b.base, cs);
    return r != 0 ? r : Compare(a.ext, b.ext, cs);
}

}  // namespace

int TextArray::CompareDirs(const CString& a, const CString& b) {
    return Compare(Split(a.view()).dir, Split(b.view()).dir, m_bCaseSensitive);
}

int TextArray::CompareFiles(const CString& a, const CString& b) {
    return CompareFileParts(Split(a.view()), Split(b.view()), m_bCaseSensitive);
}

bool TextArray::AreDirsEqual(const CString& a, const CString& b) { return CompareDirs(a, b) == 0; }

bool TextArray::AreFilesEqual(const CString& a, const CString& b) {
    const PathParts pa = Split(a.view()), pb = Split(b.view());
    return Compare(pa.base, pb.base, m_bCaseSensitive) == 0 && Compare(pa.ext, pb.ext, m_bCaseSensitive) == 0;
}

void TextArray::SortPaths() {
    // Each item is taken apart once; the sort then compares the parts only.
    struct Key {
        PathParts parts;
        unsigned int index;
    };
    const std::size_t n = m_items.size();
    std::vector<Key> keys(n);
    for (std::size_t i = 0; i < n; ++i) keys[i] = {Split(m_items[i].view()), static_cast<unsigned int>(i)};
    const bool cs = m_bCaseSensitive, dirsFirst = m_bIncludeFileDirs, ascending = m_bSortAscending;
    auto order = [&](const Key& x, const Key& y) {
        int r;
        if (dirsFirst) {
            r = Compare(x.parts.dir, y.parts.dir, cs);
            if (r == 0) r = CompareFileParts(x.parts, y.parts, cs);
        } else {
            r = CompareFileParts(x.parts, y.parts, cs);
            if (r == 0) r = Compare(x.parts.dir, y.parts.dir, cs);
        }
        return ascending ? r < 0 : r > 0;
    };
    std::sort(keys.begin(), keys.end(), order);
    std::vector<CString> sorted;
    sorted.reserve(n);
    for (const Key& k : keys) sorted.push_back(std::move(m_items[k.index]));
    m_items.swap(sorted);
}

void TextArray::DeleteFilesWithExt(const TextArray& extensions) {
    if (m_items.empty() || extensions.IsEmpty()) return;
    std::erase_if(m_items, [&](const CString& item) {
        const std::string_view ext = Split(item.view()).ext;
        return std::any_of(extensions.begin(), extensions.end(),
                           [&](const CString& e) { return CString::CompareNoCase(ext, e.view()) == 0; });
    });
}

void TextArray::DeleteFilesNameEndsWith(const CString& ending, bool bCaseSensitive) {
    std::erase_if(m_items, [&](const CString& item) {
        return CStringUtils::MatchLastChars(CString(Split(item.view()).base), ending, bCaseSensitive);
    });
}

}  // namespace vutil
