#include "vutil/framework/file_find.h"

#include <algorithm>

#include "vutil/platform/dir.h"
#include "vutil/platform/error.h"

namespace vutil {

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// NTFS keeps names in upper-cased order. Equal bytes are skipped before any case work:
// names in one folder mostly share long prefixes.
bool NameBefore(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    const char* x = a.data();
    const char* y = b.data();
    for (std::size_t i = 0; i < n; ++i) {
        if (x[i] == y[i]) continue;
        const unsigned char ux = static_cast<unsigned char>(Upper(x[i]));
        const unsigned char uy = static_cast<unsigned char>(Upper(y[i]));
        if (ux != uy) return ux < uy;
    }
    return a.size() < b.size() || (a.size() == b.size() && a < b);
}

FILETIME ToFileTime(std::uint64_t t) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
    return ft;
}

}  // namespace

bool CFileFind::MatchName(std::string_view name, std::string_view mask) {
    if (mask.empty() || mask == "*" || mask == "*.*") return true;
    // "*." names the entries without an extension.
    if (mask == "*.") return name.find('.') == std::string_view::npos;
    // Greedy match with one remembered star: linear in practice, never exponential.
    std::size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || Upper(mask[m]) == Upper(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

bool CFileFind::FindFile(const char* pattern) {
    Close();
    const std::string_view pat = pattern && *pattern ? std::string_view(pattern) : std::string_view("*.*");
    const std::size_t sep = pat.find_last_of("\\/");
    std::string_view mask = pat;
    if (sep != std::string_view::npos) {
        // Paths come out in the library's form whatever form the caller used.
        m_root = CString(platform::LibraryPath(pat.substr(0, sep + 1)));
        mask = pat.substr(sep + 1);
    }
    const std::string dir = m_root.IsEmpty() ? std::string(".") : m_root.str();
    m_dir = platform::OpenDirectory(dir);
    if (!m_dir) return false;
    m_entries.reserve(64);
    for (;;) {
        Entry& e = m_entries.emplace_back();
        if (!platform::ReadDirectory(m_dir, e.name, e.isDir, e.isLink)) {
            m_entries.pop_back();
            break;
        }
        if (!MatchName(e.name, mask)) {
            m_entries.pop_back();
            continue;
        }
        for (std::size_t i = 0; i < 8; ++i)
            e.key = (e.key << 8) | (i < e.name.size() ? static_cast<unsigned char>(Upper(e.name[i])) : 0u);
    }
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
        return a.key != b.key ? a.key < b.key : NameBefore(a.name, b.name);
    });
    if (m_entries.empty()) {
        platform::SetLastErrorCode(platform::kErrorFileNotFound);
        return false;
    }
    return true;
}

bool CFileFind::FindNextFile() {
    if (m_next >= m_entries.size()) return false;
    m_current = m_next++;
    m_started = true;
    m_dosBits = -1;
    m_haveDetails = false;
    return m_next < m_entries.size();
}

void CFileFind::Close() {
    if (m_dir) platform::CloseDirectory(m_dir);
    m_dir = nullptr;
    m_entries.clear();
    m_root.Empty();
    m_next = m_current = 0;
    m_started = false;
    m_dosBits = -1;
    m_haveDetails = false;
}

const CFileFind::Entry& CFileFind::Current() const {
    static const Entry kNone;
    return m_started && m_current < m_entries.size() ? m_entries[m_current] : kNone;
}

void CFileFind::LoadDetails() const {
    if (m_haveDetails) return;
    m_haveDetails = true;
    platform::EntryInfo info;
    m_detailsOk = m_started && platform::GetDirectoryEntryInfo(m_dir, Current().name, info);
    if (!m_detailsOk) return;
    m_attributes = info.attributes;
    m_size = info.size;
    m_write = info.writeTime;
    m_creation = info.creationTime;
    m_access = info.accessTime;
}

bool CFileFind::MatchesMask(DWORD mask) const {
    if (!m_started) return false;
    const Entry& e = Current();
    // The common questions (directory? hidden? system?) are answered without a stat.
    if ((mask & ~(attrDirectory | attrHidden | attrSystem | attrReparsePoint)) == 0) {
        if ((mask & attrDirectory) && e.isDir) return true;
        if ((mask & attrReparsePoint) && e.isLink) return true;
        if ((mask & attrHidden) && e.name.size() > 1 && e.name[0] == '.' && e.name != "..") return true;
        if (mask & (attrHidden | attrSystem)) {
            if (m_dosBits < 0) m_dosBits = static_cast<int>(platform::GetDirectoryEntryDosBits(m_dir, e.name, !e.isDir && !e.isLink));
            return (static_cast<DWORD>(m_dosBits) & mask) != 0;
        }
        return false;
    }
    return (GetAttributes() & mask) != 0;
}

DWORD CFileFind::GetAttributes() const {
    LoadDetails();
    return m_detailsOk ? m_attributes : 0;
}

bool CFileFind::IsDots() const {
    const std::string& n = Current().name;
    return m_started && (n == "." || n == "..");
}

CString CFileFind::GetFileTitle() const {
    const std::string& n = Current().name;
    const std::size_t dot = n.find_last_of('.');
    return CString(dot == std::string::npos ? n : n.substr(0, dot));
}

std::uint64_t CFileFind::GetLength() const {
    LoadDetails();
    return m_detailsOk ? m_size : 0;
}

bool CFileFind::GetLastWriteTime(FILETIME& time) const {
    LoadDetails();
    if (m_detailsOk) time = ToFileTime(m_write);
    return m_detailsOk;
}

bool CFileFind::GetCreationTime(FILETIME& time) const {
    LoadDetails();
    if (m_detailsOk) time = ToFileTime(m_creation);
    return m_detailsOk;
}

bool CFileFind::GetLastAccessTime(FILETIME& time) const {
    LoadDetails();
    if (m_detailsOk) time = ToFileTime(m_access);
    return m_detailsOk;
}

}  // namespace vutil
