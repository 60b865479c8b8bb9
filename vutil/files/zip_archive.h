#pragma once
// The zip container: a writer that streams entries to a file (or any output, seekable
// or not) and a reader that lists entries and extracts them in blocks. Every call
// returns one of the result codes below; CZipArchive::FormatMessage turns a code into
// its text. Compression is zlib's raw deflate at level 8; the headers are written here.
// Zip64 records appear only when an entry, the archive or the entry count needs them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vutil/framework/cstring.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/file.h"

namespace vutil {

class CZipArchive {
public:
    // ---- Result codes ----
    static constexpr unsigned ZR_OK = 0x0;
    static constexpr unsigned ZR_RECENT = 0x1;  // FormatMessage: the last result of any call
    static constexpr unsigned ZR_NODUPH = 0x100;
    static constexpr unsigned ZR_NOFILE = 0x200;
    static constexpr unsigned ZR_NOALLOC = 0x300;
    static constexpr unsigned ZR_WRITE = 0x400;
    static constexpr unsigned ZR_NOTFOUND = 0x500;
    static constexpr unsigned ZR_MORE = 0x600;
    static constexpr unsigned ZR_CORRUPT = 0x700;
    static constexpr unsigned ZR_READ = 0x800;
    static constexpr unsigned ZR_ARGS = 0x10000;
    static constexpr unsigned ZR_NOTMMAP = 0x20000;
    static constexpr unsigned ZR_MEMSIZE = 0x30000;
    static constexpr unsigned ZR_FAILED = 0x40000;
    static constexpr unsigned ZR_ENDED = 0x50000;
    static constexpr unsigned ZR_MISSIZE = 0x60000;
    static constexpr unsigned ZR_PARTIALUNZ = 0x70000;
    static constexpr unsigned ZR_ZMODE = 0x80000;
    static constexpr unsigned ZR_NOTINITED = 0x1000000;
    static constexpr unsigned ZR_SEEK = 0x2000000;
    static constexpr unsigned ZR_NOCHANGE = 0x4000000;
    static constexpr unsigned ZR_FLATE = 0x5000000;

    // ---- Entry kinds of Add ----
    static constexpr int ZIP_HANDLE = 1;    // source: a platform::FileHandle, read from its position
    static constexpr int ZIP_FILENAME = 2;  // source: a const char* library path
    static constexpr int ZIP_MEMORY = 3;    // source: bytes, length: their count
    static constexpr int ZIP_FOLDER = 4;    // no data

    // One entry as the central directory describes it.
    struct Entry {
        CString name;                  // Windows-1252; UTF-8 names (flag bit 11) converted
        std::uint32_t attributes = 0;  // external attributes
        std::uint64_t writeTime = 0;   // FILETIME ticks from the DOS time (taken as UTC)
        std::uint64_t compressedSize = 0, size = 0;
        std::uint32_t crc = 0;
        std::uint16_t flags = 0, method = 0;
        std::uint64_t localOffset = 0;
    };

    // Called with the data bytes this archive object has read or written so far.
    using Progress = std::function<void(std::uint64_t bytes)>;

    CZipArchive();
    ~CZipArchive();
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    // ---- Writing ----
    unsigned Create(const CString& path);
    // Writes to an open handle the caller keeps (a pipe gets data descriptors).
    unsigned CreateOnHandle(platform::FileHandle h);
    unsigned Add(const CString& name, const void* source, std::uint64_t length, int kind);
    // Writes the central directory and the end record, and closes the file.
    unsigned Close();

    // ---- Reading ----
    unsigned Open(const CString& path);
    // index -1 fills out.size with the entry count.
    unsigned GetItem(int index, Entry& out) const;
    unsigned Extract(int index, const CString& path);
    // Inflates entry index into h, checking its size and CRC-32.
    unsigned ExtractToHandle(int index, platform::FileHandle h);
    int GetCount() const { return static_cast<int>(m_entries.size()); }

    void SetProgress(Progress p) { m_progress = std::move(p); }

    // ---- Trees ----
    // Adds a folder entry for entryName, then everything inside folder (enumeration
    // order), recursively, named entryName\...; stops at the first failure.
    unsigned AddTree(const CString& folder, const CString& entryName);
    // Extracts every entry (or only those named in only) beneath destDir. Names that
    // would leave it (".." parts, absolute paths, drive letters) are refused and logged;
    // links inside destDir are never followed. False when any entry failed.
    bool ExtractBeneath(const CString& destDir, const std::vector<CString>& only);

    // The message of a code (code 1: of the most recent result), at most 258 characters.
    static CString FormatMessage(unsigned code);
    // Copies the message into buffer: cut to 258 characters and NUL-terminated.
    static void FormatMessage(unsigned code, char* buffer, std::size_t size);
    // Deflated unless a folder or an already-compressed extension.
    static bool IsStoredName(const CString& name);

private:
    struct Source;
    struct Target;
    unsigned Remember(unsigned code);
    unsigned WriteEntry(const std::string& name, Source& src, bool folder, const platform::EntryInfo& info);
    unsigned Put(const void* data, std::size_t size);
    unsigned ReadCentral();

    enum class Mode { kNone, kWriting, kReading, kEnded };
    Mode m_mode = Mode::kNone;
    platform::FileHandle m_file = platform::kInvalidFile;
    bool m_ownFile = false;
    bool m_seekable = false;
    bool m_failed = false;
    std::unique_ptr<Target> m_target;  // Create's file, renamed into place on Close
    std::uint64_t m_base = 0;          // where the archive starts in the file
    std::uint64_t m_offset = 0;  // bytes written so far
    std::string m_central;       // central directory records, built while writing
    std::uint64_t m_count = 0;
    std::vector<Entry> m_entries;
    std::uint64_t m_archiveSize = 0;
    std::vector<unsigned char> m_in, m_out;  // block buffers
    Progress m_progress;
    std::uint64_t m_done = 0;
};

}  // namespace vutil
