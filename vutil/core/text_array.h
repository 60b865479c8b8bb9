#pragma once
// TextArray: the library's ordered collection of CString items, and NoCase, the
// case-insensitive key order.

#include <string>
#include <vector>

#include "vutil/framework/collections.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class CArchive;

struct NoCase {
    bool operator()(const CString& a, const CString& b) const noexcept { return a.CompareNoCase(b) < 0; }
    NoCase& operator=(const NoCase&) noexcept { return *this; }
};

class TextArray {
public:
    // Process-wide ordering options. Operations that take these as arguments store them
    // here and leave them stored.
    static bool m_bSortAscending;
    static bool m_bCaseSensitive;
    static bool m_bIncludeFileDirs;
    static bool m_bFilePaths;

    TextArray() = default;
    TextArray(const TextArray&) = default;
    TextArray(TextArray&&) noexcept = default;
    TextArray& operator=(const TextArray&) = default;
    TextArray& operator=(TextArray&&) noexcept = default;
    ~TextArray() = default;

    void Reserve(unsigned int n) { m_items.reserve(n); }
    void Add(const CString& s) { m_items.push_back(s); }
    void Add(CString&& s) { m_items.push_back(std::move(s)); }
    void Add(const TextArray& other);
    void CopyFromVector(const std::vector<CString>& v);
    void AddNoDuplicates(const CString& s);
    void Insert(unsigned int i, const CString& s);
    void Replace(unsigned int i, const CString& s);
    void Delete(unsigned int i);
    void DeleteFirst();
    void DeleteLast();
    void DeleteAll() noexcept { m_items.clear(); }
    void Trim(unsigned int n);

    bool IsEmpty() const noexcept { return m_items.empty(); }
    unsigned int GetCount() const noexcept { return static_cast<unsigned int>(m_items.size()); }
    CString GetAt(unsigned int i) const { return i < m_items.size() ? m_items[i] : CString(); }
    CString GetFirst() const { return m_items.empty() ? CString() : m_items.front(); }
    CString GetLast() const { return m_items.empty() ? CString() : m_items.back(); }
    bool IsLast(unsigned int i) const noexcept { return i + 1u == GetCount(); }
    void Swap(unsigned int i, unsigned int j);
    bool MoveToFirst(const CString& s);
    bool MoveToLast(const CString& s);

    unsigned int Find(const CString& s, bool bCaseSensitive, bool& bFound, bool bSorted = false,
                      bool bFilePaths = false, bool bIncludeFileDirs = true) const;
    unsigned int FindWithin(const CString& s, bool& bFound) const;
    bool Have(const CString& s, bool bCaseSensitive, bool bFilePaths = false, bool bIncludeFileDirs = true) const;
    bool RemoveMatches(const TextArray& other, bool bCaseSensitive);
    void ReplaceInAll(const CString& from, const CString& to);
    void MakeLower();

    bool operator==(const TextArray& other) const { return m_items == other.m_items; }

    void CopyToVector(std::vector<CString>& v) const;
    void CopyToStringArray(CStringArray& a) const;
    void CopyFromStringArray(const CStringArray& a);
    void CopyToList(CStringList& l) const;
    void CopyFromList(const CStringList& l);
    void Serialize(CArchive& ar);

    // Ordering and duplicates.
    void Sort(bool bAscending, bool bCaseSensitive, bool bFilePaths, bool bIncludeFileDirs);
    bool RemoveDuplicates(bool bCaseSensitive, bool bFilePaths, bool bIncludeFileDirs);
    bool RemoveNonDuplicates(bool bCaseSensitive, bool bFilePaths, bool bIncludeFileDirs);
    // Path filters: extensions are given without the dot.
    void DeleteFilesWithExt(const TextArray& extensions);
    void DeleteFilesNameEndsWith(const CString& ending, bool bCaseSensitive);

    // Read-only view for loops that must not copy each item.
    const std::vector<CString>& Items() const noexcept { return m_items; }
    std::vector<CString>::const_iterator begin() const noexcept { return m_items.begin(); }
    std::vector<CString>::const_iterator end() const noexcept { return m_items.end(); }

protected:
    // Text comparison under the stored case option: negative, zero or positive.
    static int CompareText(const CString& a, const CString& b);
    // Path parts: directory (without its final separator), base name, extension.
    static int CompareDirs(const CString& a, const CString& b);
    static int CompareFiles(const CString& a, const CString& b);
    static bool AreDirsEqual(const CString& a, const CString& b);
    static bool AreFilesEqual(const CString& a, const CString& b);
    static bool SortCompareItems(const CString& a, const CString& b);
    static bool EqualItems(const CString& a, const CString& b);
    static bool NonDuplEqualItems(const CString& a, const CString& b);

private:
    // A key that is equal for two items exactly when NonDuplEqualItems holds.
    static std::string NonDuplKey(const CString& item);
    unsigned int LowerBound(const CString& s) const;
    void SortPaths();
    std::vector<CString>::iterator FindExact(const CString& s);

    std::vector<CString> m_items;
};

}  // namespace vutil
