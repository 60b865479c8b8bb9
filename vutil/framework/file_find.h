#pragma once
// CFileFind: enumerates the entries of one directory that match a name mask, with the
// members and semantics the framework's users know:
//
//     CFileFind ff;
//     bool more = ff.FindFile("C:\\dir\\*.*");
//     while (more) { more = ff.FindNextFile(); ... ff.GetFilePath() ... }
//
// Masks compare without regard to case; "*.*" matches every name. Entries come in the
// order an NTFS directory gives them (case-insensitive by name), so walks are the
// same on every file system. Attributes are the Windows bits (platform/dir.h) and are
// read from the file system only when first asked for.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vutil/framework/cstring.h"
#include "vutil/framework/types.h"

namespace vutil {

class CFileFind {
public:
    // Attribute bits for MatchesMask.
    enum : DWORD {
        attrReadOnly = 0x1,
        attrHidden = 0x2,
        attrSystem = 0x4,
        attrDirectory = 0x10,
        attrArchive = 0x20,
        attrNormal = 0x80,
        attrReparsePoint = 0x400
    };

    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
    ~CFileFind() { Close(); }

    // Starts a search for a pattern ("dir\*.*", "dir\*.txt"; null or empty means "*.*"
    // in the current directory). True when at least one entry matches.
    bool FindFile(const char* pattern = nullptr);
    // Moves to the next entry; true while another one follows it.
    bool FindNextFile();
    void Close();

    bool MatchesMask(DWORD mask) const;
    bool IsDots() const;
    bool IsDirectory() const { return Current().isDir; }
    bool IsHidden() const { return MatchesMask(attrHidden); }
    bool IsSystem() const { return MatchesMask(attrSystem); }
    bool IsReadOnly() const { return MatchesMask(attrReadOnly); }
    bool IsArchived() const { return MatchesMask(attrArchive); }
    bool IsSymbolicLink() const { return Current().isLink; }

    CString GetFileName() const { return CString(Current().name); }
    CString GetFilePath() const { return m_root + Current().name; }
    CString GetFileTitle() const;  // the name without its extension
    CString GetRoot() const { return m_root; }
    std::uint64_t GetLength() const;
    bool GetLastWriteTime(FILETIME& time) const;
    bool GetCreationTime(FILETIME& time) const;
    bool GetLastAccessTime(FILETIME& time) const;
    DWORD GetAttributes() const;

    // Matches a name against a mask the way the search does.
    static bool MatchName(std::string_view name, std::string_view mask);

private:
    struct Entry {
        std::string name;
        std::uint64_t key = 0;  // the first eight upper-cased bytes, for a quick order
        bool isDir = false;
        bool isLink = false;
    };
    const Entry& Current() const;
    void LoadDetails() const;

    CString m_root;  // the pattern's directory part, as given, with its separator
    std::vector<Entry> m_entries;
    std::size_t m_next = 0;     // the entry FindNextFile moves to
    std::size_t m_current = 0;  // valid once FindNextFile was called
    bool m_started = false;
    void* m_dir = nullptr;  // the platform's directory handle, kept for entry queries
    // Details of the current entry, read on first use.
    mutable int m_dosBits = -1;  // -1: not read yet
    mutable bool m_haveDetails = false;
    mutable bool m_detailsOk = false;
    mutable DWORD m_attributes = 0;
    mutable std::uint64_t m_size = 0, m_write = 0, m_creation = 0, m_access = 0;
};

}  // namespace vutil
