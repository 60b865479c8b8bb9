#include "vutil/core/text_array.h"

#include <cstdint>

#include <algorithm>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "vutil/core/text_array_paths_internal.h"

namespace vutil {

bool TextArray::m_bSortAscending = true;
bool TextArray::m_bCaseSensitive = true;
bool TextArray::m_bIncludeFileDirs = true;
bool TextArray::m_bFilePaths = false;

namespace {

std::mutex& SortLock() {
    static std::mutex* lock = new std::mutex;  // lives until unload
    return *lock;
}

bool TextEqual(const CString& a, const CString& b, bool caseSensitive) {
    return caseSensitive ? a == b : a.CompareNoCase(b) == 0;
}

}  // namespace

void TextArray::Add(const TextArray& other) {
    if (&other == this) {
        std::size_t n = m_items.size();
        m_items.reserve(2 * n);
        for (std::size_t i = 0; i < n; ++i) m_items.push_back(m_items[i]);
        return;
    }
    CopyFromVector(other.m_items);
}

void TextArray::CopyFromVector(const std::vector<CString>& v) {
    m_items.reserve(m_items.size() + v.size());
    m_items.insert(m_items.end(), v.begin(), v.end());
}

void TextArray::AddNoDuplicates(const CString& s) {
    if (std::find(m_items.begin(), m_items.end(), s) == m_items.end()) m_items.push_back(s);
}

void TextArray::Insert(unsigned int i, const CString& s) {
    if (i >= m_items.size()) m_items.push_back(s);
    else m_items.insert(m_items.begin() + i, s);
}

void TextArray::Replace(unsigned int i, const CString& s) {
    if (i < m_items.size()) m_items[i] = s;
}

void TextArray::Delete(unsigned int i) {
    if (i < m_items.size()) m_items.erase(m_items.begin() + i);
}

void TextArray::DeleteFirst() {
    if (!m_items.empty()) m_items.erase(m_items.begin());
}

void TextArray::DeleteLast() {
    if (!m_items.empty()) m_items.pop_back();
}

void TextArray::Trim(unsigned int n) {
    if (n < m_items.size()) m_items.resize(n);
}

void TextArray::Swap(unsigned int i, unsigned int j) {
    if (i < m_items.size() && j < m_items.size()) std::swap(m_items[i], m_items[j]);
}

std::vector<CString>::iterator TextArray::FindExact(const CString& s) {
    return std::find(m_items.begin(), m_items.end(), s);
}

bool TextArray::MoveToFirst(const CString& s) {
    auto it = FindExact(s);
    if (it == m_items.end()) return false;
    std::rotate(m_items.begin(), it, it + 1);
    return true;
}

bool TextArray::MoveToLast(const CString& s) {
    auto it = FindExact(s);
    if (it == m_items.end()) return false;
    std::rotate(it, it + 1, m_items.end());
    return true;
}

unsigned int TextArray::LowerBound(const CString& s) const {
    auto it = std::lower_bound(m_items.begin(), m_items.end(), s, SortCompareItems);
    return static_cast<unsigned int>(it - m_items.begin());
}

unsigned int TextArray::Find(const CString& s, bool bCaseSensitive, bool& bFound, bool bSorted, bool bFilePaths,
                             bool bIncludeFileDirs) const {
    bFound = false;
    if (!bSorted) {
        // The case choice and the bounds are taken once, outside the scan.
        const CString* items = m_items.data();
        const std::size_t n = m_items.size();
        const std::string_view target = s.view();
        std::size_t i = 0;
        if (bCaseSensitive) {
            while (i < n && items[i].view() != target) ++i;
        } else {
            while (i < n && CString::CompareNoCase(items[i].view(), target) != 0) ++i;
        }
        bFound = i < n;
        return static_cast<unsigned int>(i);
    }
    m_bCaseSensitive = bCaseSensitive;
    m_bFilePaths = bFilePaths;
    m_bIncludeFileDirs = bIncludeFileDirs;
    unsigned int i = LowerBound(s);
    if (i == GetCount()) return i;
    // Even in path mode the final test is plain text.
    if (TextEqual(m_items[i], s, bCaseSensitive)) {
        bFound = true;
        return i;
    }
    return GetCount();
}

unsigned int TextArray::FindWithin(const CString& s, bool& bFound) const {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].Find(s) >= 0) {
            bFound = true;
            return static_cast<unsigned int>(i);
        }
    }
    bFound = false;
    return GetCount();
}

bool TextArray::Have(const CString& s, bool bCaseSensitive, bool bFilePaths, bool bIncludeFileDirs) const {
    m_bCaseSensitive = bCaseSensitive;
    m_bFilePaths = bFilePaths;
    m_bIncludeFileDirs = bIncludeFileDirs;
    unsigned int i = LowerBound(s);
    if (i == GetCount()) return false;
    return !SortCompareItems(s, m_items[i]);
}

bool TextArray::RemoveMatches(const TextArray& other, bool bCaseSensitive) {
    if (m_items.empty()) return false;
    bool removed = false;
    for (const CString& t : other.m_items) {
        auto it = std::find_if(m_items.begin(), m_items.end(),
                               [&](const CString& item) { return TextEqual(item, t, bCaseSensitive); });
        if (it != m_items.end()) {
            m_items.erase(it);
            removed = true;
        }
    }
    return removed;
}

void TextArray::ReplaceInAll(const CString& from, const CString& to) {
    if (from.IsEmpty()) return;
    for (CString& item : m_items) item.Replace(from, to);
}

void TextArray::MakeLower() {
    for (CString& item : m_items) item.MakeLower();
}

void TextArray::CopyToVector(std::vector<CString>& v) const {
    v.reserve(v.size() + m_items.size());
    v.insert(v.end(), m_items.begin(), m_items.end());
}

void TextArray::CopyToStringArray(CStringArray& a) const {
    for (const CString& item : m_items) a.SetAtGrow(a.GetSize(), item);
}

void TextArray::CopyFromStringArray(const CStringArray& a) {
    m_items.reserve(m_items.size() + static_cast<std::size_t>(a.GetSize()));
    for (int i = 0; i < a.GetSize(); ++i) m_items.push_back(a[i]);
}

void TextArray::CopyToList(CStringList& l) const {
    for (const CString& item : m_items) l.AddTail(item);
}

void TextArray::CopyFromList(const CStringList& l) {
    m_items.reserve(m_items.size() + static_cast<std::size_t>(l.GetCount()));
    for (POSITION pos = l.GetHeadPosition(); pos;) m_items.push_back(l.GetNext(pos));
}

// ---- ordering ----

int TextArray::CompareText(const CString& a, const CString& b) {
    return m_bCaseSensitive ? a.Compare(b) : a.CompareNoCase(b);
}

bool TextArray::SortCompareItems(const CString& a, const CString& b) {
    int r;
    if (!m_bFilePaths) {
        r = CompareText(a, b);
    } else if (m_bIncludeFileDirs) {
        r = CompareDirs(a, b);
        if (r == 0) r = CompareFiles(a, b);
    } else {
        r = CompareFiles(a, b);
        if (r == 0) r = CompareDirs(a, b);
    }
    return m_bSortAscending ? r < 0 : r > 0;
}

bool TextArray::EqualItems(const CString& a, const CString& b) {
    if (!m_bFilePaths) return CompareText(a, b) == 0;
    return AreDirsEqual(a, b) && AreFilesEqual(a, b);
}

bool TextArray::NonDuplEqualItems(const CString& a, const CString& b) {
    if (!m_bFilePaths) return CompareText(a, b) == 0;
    if (!m_bIncludeFileDirs) return AreFilesEqual(a, b);
    return AreDirsEqual(a, b) && AreFilesEqual(a, b);
}

void TextArray::Sort(bool bAscending, bool bCaseSensitive, bool bFilePaths, bool bIncludeFileDirs) {
    std::lock_guard lock(SortLock());
    m_bSortAscending = bAscending;
    m_bCaseSensitive = bCaseSensitive;
    m_bFilePaths = bFilePaths;
    m_bIncludeFileDirs = bIncludeFileDirs;
    if (bFilePaths) SortPaths();
    else std::sort(m_items.begin(), m_items.end(), SortCompareItems);
}

bool TextArray::RemoveDuplicates(bool bCaseSensitive, bool bFilePaths, bool bIncludeFileDirs) {
    if (m_items.empty()) return false;
    m_bCaseSensitive = bCaseSensitive;
    m_bFilePaths = bFilePaths;
    m_bIncludeFileDirs = bIncludeFileDirs;
    std::size_t before = m_items.size();
    m_items.erase(std::unique(m_items.begin(), m_items.end(), EqualItems), m_items.end());
    return m_items.size() != before;
}

bool TextArray::RemoveNonDuplicates(bool bCaseSensitive, bool bFilePaths, bool bIncludeFileDirs) {
    if (m_items.empty()) return false;
    m_bCaseSensitive = bCaseSensitive;
    m_bFilePaths = bFilePaths;
    m_bIncludeFileDirs = bIncludeFileDirs;
    const std::size_t n = m_items.size();
    // Equal items have equal keys, so "how many items from here to the end equal this
    // one" is a counter look-up and the whole walk stays linear, sorted input or not.
    std::vector<std::string> keys(n);
    std::unordered_map<std::string_view, std::size_t> remaining;
    remaining.reserve(n);
    for (std::size_t j = 0; j < n; ++j) {
        keys[j] = NonDuplKey(m_items[j]);
        ++remaining[keys[j]];
    }
    std::vector<CString> kept;
    std::size_t pos = 0;
    while (pos < n) {
        std::size_t i = pos;
        while (i + 1 < n && keys[i] != keys[i + 1]) ++i;
        for (std::size_t j = pos; j < i && j < n; ++j) --remaining[keys[j]];
        if (i + 1 >= n) break;  // no equal neighbour left: the rest goes
        std::size_t run = remaining[keys[i]];
        std::size_t stop = std::min(n, i + run);
        for (std::size_t j = i; j < stop; ++j) {
            --remaining[keys[j]];
            kept.push_back(std::move(m_items[j]));
        }
        pos = stop;
    }
    m_items.swap(kept);
    return m_items.size() != n;
}

std::string TextArray::NonDuplKey(const CString& item) {
    auto fold = [](std::string_view part) {
        std::string text(part);
        if (!m_bCaseSensitive) {
            CString lower(std::move(text));
            lower.MakeLower();
            text = std::move(lower.str());
        }
        return text;
    };
    if (!m_bFilePaths) return fold(item.view());
    // Each part with its length in front, so no two different part lists share a key.
    const text_array_paths::PathParts parts = text_array_paths::Split(item.view());
    std::string key;
    auto append = [&](std::string_view part) {
        const std::string text = fold(part);
        const std::uint64_t n = text.size();
        key.append(reinterpret_cast<const char*>(&n), sizeof n);
        key += text;
    };
    if (m_bIncludeFileDirs) append(parts.dir);
    append(parts.base);
    append(parts.ext);
    return key;
}

}  // namespace vutil
