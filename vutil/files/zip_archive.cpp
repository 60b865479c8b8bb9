#include "vutil/files/zip_archive.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "vutil/platform/clock.h"
#include "vutil/platform/codepage.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/file_tree.h"

namespace vutil {

namespace {

using platform::FileHandle;
using platform::kInvalidFile;

constexpr std::size_t kBlock = 256 * 1024;
constexpr std::uint32_t kLocalSig = 0x04034b50, kCentralSig = 0x02014b50, kEndSig = 0x06054b50;
constexpr std::uint32_t kDescriptorSig = 0x08074b50, kEnd64Sig = 0x06064b50, kLocator64Sig = 0x07064b50;
constexpr std::uint16_t kMadeBy = 0x0B17;
constexpr std::uint64_t k32 = 0xFFFFFFFFu;
// A file this large gets Zip64 sizes in its local header up front; deflate may grow
// incompressible data a little, so the margin covers that.
constexpr std::uint64_t kZip64Threshold = 0xFF000000u;

std::atomic<unsigned> g_lastResult{0};

void Le16(std::string& s, std::uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Le32(std::string& s, std::uint32_t v) {
    Le16(s, v & 0xFFFF);
    Le16(s, v >> 16);
}
void Le64(std::string& s, std::uint64_t v) {
    Le32(s, static_cast<std::uint32_t>(v));
    Le32(s, static_cast<std::uint32_t>(v >> 32));
}
std::uint32_t Get16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t Get32(const unsigned char* p) { return Get16(p) | (Get16(p + 2) << 16); }
std::uint64_t Get64(const unsigned char* p) { return Get32(p) | (std::uint64_t{Get32(p + 4)} << 32); }
std::uint32_t Cap32(std::uint64_t v) { return v >= k32 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(v); }

// FILETIME (UTC) to the DOS date (high half) and time (low half).
std::uint32_t DosTimeOf(std::uint64_t fileTime) {
    platform::TimeFields f;
    if (!platform::FileTimeToFields(fileTime, f) || f.year < 1980) return (1u << 5 | 1u) << 16;  // 1980-01-01
    if (f.year > 2107) return ((127u << 9 | 12u << 5 | 31u) << 16) | (23u << 11 | 59u << 5 | 29u);
    const std::uint32_t date = static_cast<std::uint32_t>((f.year - 1980) << 9 | f.month << 5 | f.day);
    const std::uint32_t time = static_cast<std::uint32_t>(f.hour << 11 | f.minute << 5 | f.second / 2);
    return date << 16 | time;
}

std::uint64_t FileTimeOfDos(std::uint32_t dos) {
    platform::TimeFields f;
    f.year = static_cast<int>(1980 + (dos >> 25));
    f.month = static_cast<int>((dos >> 21) & 0xF);
    f.day = static_cast<int>((dos >> 16) & 0x1F);
    f.hour = static_cast<int>((dos >> 11) & 0x1F);
    f.minute = static_cast<int>((dos >> 5) & 0x3F);
    f.second = static_cast<int>((dos & 0x1F) * 2);
    if (f.month < 1 || f.month > 12 || f.day < 1 || f.hour > 23 || f.minute > 59 || f.second > 59) return 0;
    std::uint64_t ft = 0;
    return platform::FieldsToFileTime(f, ft) ? ft : 0;
}

// The extra field's seconds: the file time's UTC calendar fields read as local time,
// years held to 1970 ... 2037 with the time of day kept.
std::uint32_t UnixTimeOf(std::uint64_t fileTime) {
    platform::TimeFields f;
    if (!platform::FileTimeToFields(fileTime, f)) return 0;
    if (f.year < 1970) f.year = 1970, f.month = 1, f.day = 1;
    if (f.year > 2037) f.year = 2037, f.month = 12, f.day = 31;
    f.millisecond = 0;
    std::int64_t s = 0;
    if (!platform::LocalFieldsToUtc(f, s) || s < 0) return 0;
    return static_cast<std::uint32_t>(std::min<std::int64_t>(s, 0xFFFFFFFF));
}

std::uint64_t NowFileTime() {
    const auto now = platform::Now();
    return static_cast<std::uint64_t>(now.seconds * platform::kFileTimeTicksPerSecond + now.nanoseconds / 100 +
                                      platform::kFileTimeUnixEpoch);
}

std::uint32_t ExternalAttributes(std::uint32_t attrs) {
    const bool dir = attrs & platform::kAttrDirectory;
    std::uint32_t mode = dir ? 0x4100 : 0x8100;
    if (!(attrs & platform::kAttrReadOnly)) mode |= 0x0080;
    return mode << 16 | (attrs & 0x37);
}

bool IsAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Splits a library path into its folder and file name.
void SplitPath(const CString& path, std::string& folder, std::string& name) {
    const std::string p(path.view());
    const std::size_t cut = p.find_last_of("\\/");
    folder = cut == std::string::npos ? std::string(".") : p.substr(0, cut + 1);
    name = cut == std::string::npos ? p : p.substr(cut + 1);
}

// Reads exactly count bytes at offset; false on a short read (truncated) or an error.
unsigned ReadAt(FileHandle h, std::uint64_t offset, void* buffer, std::size_t count) {
    if (platform::SeekFile(h, static_cast<std::int64_t>(offset), platform::SeekOrigin::kBegin) < 0)
        return CZipArchive::ZR_READ;
    auto* p = static_cast<unsigned char*>(buffer);
    while (count > 0) {
        const std::int64_t n = platform::ReadFile(h, p, count);
        if (n < 0) return CZipArchive::ZR_READ;
        if (n == 0) return CZipArchive::ZR_CORRUPT;
        p += n;
        count -= static_cast<std::size_t>(n);
    }
    return CZipArchive::ZR_OK;
}

// Closes an owned handle and removes the temporary file unless committed.
struct TempTarget {
    FileHandle folder = kInvalidFile, file = kInvalidFile;
    std::string tempName;
    ~TempTarget() {
        if (file != kInvalidFile) platform::CloseFile(file);
        if (!tempName.empty()) platform::RemoveFileIn(folder, tempName);
        if (folder != kInvalidFile) platform::CloseFile(folder);
    }
    bool Commit(const std::string& name) {
        const bool closed = platform::CloseFile(file);
        file = kInvalidFile;
        if (!closed || !platform::CommitFileIn(folder, tempName, name)) return false;
        tempName.clear();
        return true;
    }
};

}  // namespace

// Where the bytes of an entry come from.
struct CZipArchive::Source {
    FileHandle handle = kInvalidFile;
    const unsigned char* memory = nullptr;
    std::uint64_t remaining = 0;  // memory bytes left
    std::int64_t Read(void* buffer, std::size_t count) {
        if (handle != kInvalidFile) return platform::ReadFile(handle, buffer, count);
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, remaining));
        if (n) std::memcpy(buffer, memory, n);
        memory += n;
        remaining -= n;
        return static_cast<std::int64_t>(n);
    }
};

// The writer's own target file: written under a temporary name, renamed on Close.
struct CZipArchive::Target : TempTarget {
    std::string name;
};

CZipArchive::CZipArchive() = default;

CZipArchive::~CZipArchive() {
    if (m_ownFile && m_file != kInvalidFile && !m_target) platform::CloseFile(m_file);
    // An archive never closed is not left on disk (TempTarget removes it).
}

unsigned CZipArchive::Remember(unsigned code) {
    g_lastResult.store(code, std::memory_order_relaxed);
    if (code != ZR_OK && m_mode == Mode::kWriting) m_failed = true;
    return code;
}

// ---- Writing ----

unsigned CZipArchive::Create(const CString& path) {
    if (m_mode != Mode::kNone) return Remember(ZR_ZMODE);
    if (path.IsEmpty()) return Remember(ZR_ARGS);
    auto target = std::make_unique<Target>();
    std::string folder;
    SplitPath(path, folder, target->name);
    if (target->name.empty()) return Remember(ZR_NOFILE);
    target->folder = platform::OpenFolder(folder);
    if (target->folder == kInvalidFile) return Remember(ZR_NOFILE);
    target->file = platform::CreateTempFileIn(target->folder, target->tempName);
    if (target->file == kInvalidFile) return Remember(ZR_NOFILE);
    m_file = target->file;
    m_target = std::move(target);
    m_ownFile = true;
    m_seekable = true;
    m_base = 0;
    m_mode = Mode::kWriting;
    return Remember(ZR_OK);
}

unsigned CZipArchive::CreateOnHandle(FileHandle h) {
    if (m_mode != Mode::kNone) return Remember(ZR_ZMODE);
    if (h == kInvalidFile) return Remember(ZR_ARGS);
    m_file = h;
    m_ownFile = false;
    const std::int64_t pos = platform::SeekFile(h, 0, platform::SeekOrigin::kCurrent);
    m_seekable = pos >= 0;
    m_base = m_seekable ? static_cast<std::uint64_t>(pos) : 0;
    m_mode = Mode::kWriting;
    return Remember(ZR_OK);
}

unsigned CZipArchive::Put(const void* data, std::size_t size) {
    if (size && platform::WriteFile(m_file, data, size) < 0) return ZR_WRITE;
    m_offset += size;
    return ZR_OK;
}

bool CZipArchive::IsStoredName(const CString& name) {
    static const char* const kPacked[] = {".Z", ".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz"};
    const int dot = name.ReverseFind('.');
    if (dot < 0) return false;
    const CString ext = name.Mid(dot);
    return std::any_of(std::begin(kPacked), std::end(kPacked),
                       [&](const char* e) { return ext.CompareNoCase(CString(e)) == 0; });
}

unsigned CZipArchive::Add(const CString& name, const void* source, std::uint64_t length, int kind) {
    if (m_mode == Mode::kEnded) return Remember(ZR_ENDED);
    if (m_mode == Mode::kReading) return Remember(ZR_ZMODE);
    if (m_mode != Mode::kWriting) return Remember(ZR_NOTINITED);
    if (m_failed) return Remember(ZR_FAILED);
    if (kind < ZIP_HANDLE || kind > ZIP_FOLDER || name.IsEmpty() ||
        (kind != ZIP_FOLDER && kind != ZIP_MEMORY && source == nullptr) ||
        (kind == ZIP_MEMORY && source == nullptr && length != 0)) {
        g_lastResult = ZR_ARGS;  // a refused call leaves the archive intact
        return ZR_ARGS;
    }
    std::string entry(name.view());
    std::replace(entry.begin(), entry.end(), '\\', '/');
    if (kind == ZIP_FOLDER && entry.back() != '/') entry.push_back('/');

    Source src;
    platform::EntryInfo info;
    platform::FileHandle opened = kInvalidFile;
    std::uint64_t size = 0;
    if (kind == ZIP_HANDLE) {
        src.handle = static_cast<FileHandle>(reinterpret_cast<std::intptr_t>(source));
        bool diskFile = false;
        if (!platform::GetHandleInfo(src.handle, info, diskFile)) return g_lastResult = ZR_NOFILE, ZR_NOFILE;
        if (!diskFile) return g_lastResult = ZR_NOTINITED, ZR_NOTINITED;
        size = info.size;
    } else if (kind == ZIP_FILENAME) {
        const char* path = static_cast<const char*>(source);
        if (!platform::GetEntryInfo(path, info) || (info.attributes & platform::kAttrDirectory))
            return g_lastResult = ZR_NOFILE, ZR_NOFILE;
        opened = platform::OpenFile(path, platform::kFileRead);
        if (opened == kInvalidFile) return g_lastResult = ZR_NOFILE, ZR_NOFILE;
        src.handle = opened;
        size = info.size;
    } else {
        info.writeTime = info.accessTime = info.creationTime = NowFileTime();
        info.attributes = kind == ZIP_FOLDER ? DWORD{platform::kAttrDirectory} : DWORD{0};
        src.memory = static_cast<const unsigned char*>(source);
        src.remaining = kind == ZIP_MEMORY ? length : 0;
        size = src.remaining;
    }
    info.size = size;
    const unsigned r = WriteEntry(entry, src, kind == ZIP_FOLDER, info);
    if (opened != kInvalidFile) platform::CloseFile(opened);
    return Remember(r);
}

unsigned CZipArchive::WriteEntry(const std::string& name1252, Source& src, bool folder,
                                 const platform::EntryInfo& info) {
    // Names outside ASCII go out as UTF-8 and say so (flag bit 11).
    const bool utf8 = !IsAscii(name1252);
    const std::string name = utf8 ? platform::cp::Cp1252ToUtf8(name1252) : name1252;
    if (name.size() > 0xFFFF) return ZR_ARGS;
    const bool stored = folder || IsStoredName(CString(name1252));
    const std::uint16_t method = stored ? 0 : 8;
    const bool zip64 = info.size >= kZip64Threshold;
    const std::uint32_t dos = DosTimeOf(info.writeTime);
    const std::uint16_t baseFlags = utf8 ? 0x800 : 0;
    const std::uint64_t headerOffset = m_offset;

    auto localHeader = [&](std::uint16_t flags, std::uint32_t crc, std::uint64_t csize, std::uint64_t usize) {
        std::string h;
        Le32(h, kLocalSig);
        Le16(h, zip64 ? 45 : 20);
        Le16(h, flags);
        Le16(h, method);
        Le32(h, dos);
        Le32(h, crc);
        Le32(h, zip64 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(csize));
        Le32(h, zip64 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(usize));
        Le16(h, static_cast<std::uint32_t>(name.size()));
        Le16(h, zip64 ? 17 + 20 : 17);
        h += name;
        Le16(h, 0x5455);
        Le16(h, 13);
        h.push_back(7);
        Le32(h, UnixTimeOf(info.writeTime));
        Le32(h, UnixTimeOf(info.accessTime));
        Le32(h, UnixTimeOf(info.creationTime));
        if (zip64) {
            Le16(h, 0x0001);
            Le16(h, 16);
            Le64(h, usize);
            Le64(h, csize);
        }
        return h;
    };

    std::string header = localHeader(baseFlags | 8, 0, 0, 0);
    if (unsigned r = Put(header.data(), header.size())) return r;

    // The data, in blocks.
    if (m_in.size() < kBlock) m_in.resize(kBlock), m_out.resize(kBlock);
    std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    std::uint64_t usize = 0, csize = 0;
    z_stream z{};
    if (!stored && deflateInit2(&z, 8, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return ZR_NOALLOC;
    struct ZEnd {
        z_stream* z;
        bool on;
        ~ZEnd() {
            if (on) deflateEnd(z);
        }
    } zend{&z, !stored};
    for (bool end = false; !end;) {
        const std::int64_t n = folder ? 0 : src.Read(m_in.data(), m_in.size());
        if (n < 0) return ZR_READ;
        end = n == 0;
        usize += static_cast<std::uint64_t>(n);
        if (n > 0) crc = static_cast<std::uint32_t>(crc32_z(crc, m_in.data(), static_cast<std::size_t>(n)));
        if (m_progress && n > 0) m_progress(m_done += static_cast<std::uint64_t>(n));
        if (stored) {
            if (unsigned r = Put(m_in.data(), static_cast<std::size_t>(n))) return r;
            csize += static_cast<std::uint64_t>(n);
            continue;
        }
        z.next_in = m_in.data();
        z.avail_in = static_cast<uInt>(n);
        int zr;
        do {
            z.next_out = m_out.data();
            z.avail_out = static_cast<uInt>(m_out.size());
            zr = deflate(&z, end ? Z_FINISH : Z_NO_FLUSH);
            if (zr == Z_STREAM_ERROR) return ZR_FLATE;
            const std::size_t produced = m_out.size() - z.avail_out;
            if (unsigned r = Put(m_out.data(), produced)) return r;
            csize += produced;
        } while (z.avail_out == 0 || (end && zr != Z_STREAM_END));
    }
    if (!zip64 && (usize >= k32 || csize >= k32)) return ZR_MISSIZE;

    std::uint16_t flags = baseFlags | 8;
    if (m_seekable) {
        // Back to the header for the real values; no descriptor needed then.
        flags = baseFlags;
        header = localHeader(flags, crc, csize, usize);
        if (platform::SeekFile(m_file, static_cast<std::int64_t>(m_base + headerOffset), platform::SeekOrigin::kBegin) <
                0 ||
            platform::WriteFile(m_file, header.data(), header.size()) < 0 ||
            platform::SeekFile(m_file, 0, platform::SeekOrigin::kEnd) < 0)
            return ZR_SEEK;
    } else {
        std::string d;
        Le32(d, kDescriptorSig);
        Le32(d, crc);
        if (zip64) {
            Le64(d, csize);
            Le64(d, usize);
        } else {
            Le32(d, static_cast<std::uint32_t>(csize));
            Le32(d, static_cast<std::uint32_t>(usize));
        }
        if (unsigned r = Put(d.data(), d.size())) return r;
    }

    // The central record, kept until Close.
    std::string z64;
    if (usize >= k32) Le64(z64, usize);
    if (csize >= k32) Le64(z64, csize);
    if (headerOffset >= k32) Le64(z64, headerOffset);
    std::string& c = m_central;
    Le32(c, kCentralSig);
    Le16(c, kMadeBy);
    Le16(c, z64.empty() ? 20 : 45);
    Le16(c, flags);
    Le16(c, method);
    Le32(c, dos);
    Le32(c, crc);
    Le32(c, Cap32(csize));
    Le32(c, Cap32(usize));
    Le16(c, static_cast<std::uint32_t>(name.size()));
    Le16(c, static_cast<std::uint32_t>(9 + (z64.empty() ? 0 : 4 + z64.size())));
    Le16(c, 0);
    Le16(c, 0);
    Le16(c, 0);
    Le32(c, ExternalAttributes(info.attributes));
    Le32(c, Cap32(headerOffset));
    c += name;
    Le16(c, 0x5455);
    Le16(c, 5);
    c.push_back(7);
    Le32(c, UnixTimeOf(info.writeTime));
    if (!z64.empty()) {
        Le16(c, 0x0001);
        Le16(c, static_cast<std::uint32_t>(z64.size()));
        c += z64;
    }
    ++m_count;
    return ZR_OK;
}

unsigned CZipArchive::Close() {
    if (m_mode == Mode::kReading) {
        platform::CloseFile(m_file);
        m_file = kInvalidFile;
        m_entries.clear();
        m_mode = Mode::kNone;
        return Remember(ZR_OK);
    }
    if (m_mode == Mode::kEnded) return Remember(ZR_ENDED);
    if (m_mode != Mode::kWriting) return Remember(ZR_NOTINITED);
    const bool failedBefore = m_failed;
    const std::uint64_t cdOffset = m_offset, cdSize = m_central.size();
    unsigned r = Put(m_central.data(), m_central.size());
    std::string e;
    if (m_count >= 0xFFFF || cdOffset >= k32 || cdSize >= k32) {
        const std::uint64_t end64 = m_offset;
        Le32(e, kEnd64Sig);
        Le64(e, 44);
        Le16(e, kMadeBy);
        Le16(e, 45);
        Le32(e, 0);
        Le32(e, 0);
        Le64(e, m_count);
        Le64(e, m_count);
        Le64(e, cdSize);
        Le64(e, cdOffset);
        Le32(e, kLocator64Sig);
        Le32(e, 0);
        Le64(e, end64);
        Le32(e, 1);
    }
    Le32(e, kEndSig);
    Le16(e, 0);
    Le16(e, 0);
    Le16(e, static_cast<std::uint32_t>(std::min<std::uint64_t>(m_count, 0xFFFF)));
    Le16(e, static_cast<std::uint32_t>(std::min<std::uint64_t>(m_count, 0xFFFF)));
    Le32(e, Cap32(cdSize));
    Le32(e, Cap32(cdOffset));
    Le16(e, 0);
    if (!r) r = Put(e.data(), e.size());
    // An entry cut short earlier leaves dead bytes: such an archive is not put in place.
    if (!r && failedBefore) r = ZR_FAILED;
    std::string().swap(m_central);
    m_mode = Mode::kEnded;
    if (m_target) {
        m_file = kInvalidFile;
        if (!r && !m_target->Commit(m_target->name)) r = ZR_WRITE;
        m_target.reset();
    } else if (!r && m_seekable && !platform::FlushFile(m_file)) {
        r = ZR_WRITE;
    }
    g_lastResult = r;
    return r;
}

// ---- Reading ----

unsigned CZipArchive::Open(const CString& path) {
    if (m_mode != Mode::kNone) return Remember(ZR_ZMODE);
    m_file = platform::OpenFile(path.view(), platform::kFileRead);
    if (m_file == kInvalidFile) return Remember(ZR_NOFILE);
    m_ownFile = true;
    m_mode = Mode::kReading;
    const unsigned r = ReadCentral();
    if (r != ZR_OK) {
        platform::CloseFile(m_file);
        m_file = kInvalidFile;
        m_entries.clear();
        m_mode = Mode::kNone;
    }
    return Remember(r);
}

unsigned CZipArchive::ReadCentral() {
    const std::int64_t fileSize = platform::GetFileSize(m_file);
    if (fileSize < 0) return ZR_READ;
    m_archiveSize = static_cast<std::uint64_t>(fileSize);
    if (m_archiveSize < 22) return ZR_CORRUPT;
    // The end record sits in the last 22 + 65535 bytes.
    const std::size_t tailSize = static_cast<std::size_t>(std::min<std::uint64_t>(m_archiveSize, 22 + 0xFFFF));
    std::vector<unsigned char> tail(tailSize);
    const std::uint64_t tailStart = m_archiveSize - tailSize;
    if (unsigned r = ReadAt(m_file, tailStart, tail.data(), tailSize)) return r;
    std::size_t at = tailSize - 22 + 1;
    bool found = false;
    while (at-- > 0) {
        if (Get32(&tail[at]) == kEndSig && at + 22 + Get16(&tail[at + 20]) <= tailSize) {
            found = true;
            break;
        }
    }
    if (!found) return ZR_CORRUPT;
    const unsigned char* e = &tail[at];
    const std::uint64_t endPos = tailStart + at;
    std::uint64_t count = Get16(e + 10), cdSize = Get32(e + 12), cdOffset = Get32(e + 16);
    std::uint64_t cdEnd = endPos;  // where the directory should stop
    if (at >= 20 && Get32(&tail[at - 20]) == kLocator64Sig) {
        const std::uint64_t end64 = Get64(&tail[at - 20 + 8]);
        unsigned char z[56];
        if (end64 + 56 <= endPos - 20 && ReadAt(m_file, end64, z, 56) == ZR_OK && Get32(z) == kEnd64Sig) {
            count = Get64(z + 32);
            cdSize = Get64(z + 40);
            cdOffset = Get64(z + 48);
            cdEnd = end64;
        }
    }
    if (cdSize > cdEnd) return ZR_CORRUPT;
    // Data put in front of the archive (a self-extractor stub) shifts every offset.
    const std::uint64_t cdStart = cdEnd - cdSize;
    if (cdOffset > cdStart) return ZR_CORRUPT;
    m_base = cdStart - cdOffset;
    (void)count;  // the directory's own size decides; a wrong count is not trusted

    // The directory in blocks, so a huge claim costs no memory.
    std::vector<unsigned char> buf;
    std::uint64_t pos = cdStart;
    std::size_t have = 0, used = 0;
    auto need = [&](std::size_t n) -> unsigned {
        if (have - used >= n) return ZR_OK;
        buf.erase(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(used));
        have -= used;
        used = 0;
        const std::uint64_t left = cdEnd - pos;
        if (have + left < n) return ZR_CORRUPT;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, std::max(n - have, kBlock)));
        buf.resize(have + want);
        if (unsigned r = ReadAt(m_file, pos, buf.data() + have, want)) return r;
        pos += want;
        have += want;
        return ZR_OK;
    };
    while (pos < cdEnd || used < have) {
        if (unsigned r = need(46)) return r;
        const unsigned char* c = buf.data() + used;
        if (Get32(c) != kCentralSig) return ZR_CORRUPT;
        Entry en;
        en.flags = static_cast<std::uint16_t>(Get16(c + 8));
        en.method = static_cast<std::uint16_t>(Get16(c + 10));
        en.writeTime = FileTimeOfDos(Get32(c + 12));
        en.crc = Get32(c + 16);
        en.compressedSize = Get32(c + 20);
        en.size = Get32(c + 24);
        const std::size_t nameLen = Get16(c + 28), extraLen = Get16(c + 30), commentLen = Get16(c + 32);
        en.attributes = Get32(c + 38);
        en.localOffset = Get32(c + 42);
        if (unsigned r = need(46 + nameLen + extraLen + commentLen)) return r;
        c = buf.data() + used;
        std::string name(reinterpret_cast<const char*>(c + 46), nameLen);
        en.name = CString(en.flags & 0x800 ? platform::cp::Utf8ToCp1252(name) : name);
        // Zip64 values replace the ones saturated at 0xFFFFFFFF, in their fixed order.
        for (std::size_t x = 0; x + 4 <= extraLen;) {
            const unsigned char* f = c + 46 + nameLen + x;
            const std::size_t tag = Get16(f), len = Get16(f + 2);
            if (x + 4 + len > extraLen) break;
            if (tag == 0x0001) {
                std::size_t o = 4;
                for (std::uint64_t* v : {&en.size, &en.compressedSize, &en.localOffset}) {
                    if (*v != k32) continue;
                    if (o + 8 > 4 + len) break;
                    *v = Get64(f + o);
                    o += 8;
                }
            }
            x += 4 + len;
        }
        used += 46 + nameLen + extraLen + commentLen;
        m_entries.push_back(std::move(en));
    }
    return ZR_OK;
}

unsigned CZipArchive::GetItem(int index, Entry& out) const {
    if (m_mode != Mode::kReading) return g_lastResult = ZR_ZMODE, ZR_ZMODE;
    if (index == -1) {
        out = Entry();
        out.size = m_entries.size();
        return g_lastResult = ZR_OK, ZR_OK;
    }
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) return g_lastResult = ZR_ARGS, ZR_ARGS;
    out = m_entries[static_cast<std::size_t>(index)];
    g_lastResult = ZR_OK;
    return ZR_OK;
}

unsigned CZipArchive::ExtractToHandle(int index, FileHandle out) {
    if (m_mode != Mode::kReading) return Remember(ZR_ZMODE);
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size() || out == kInvalidFile)
        return Remember(ZR_ARGS);
    const Entry& en = m_entries[static_cast<std::size_t>(index)];
    if ((en.flags & 1) || (en.method != 0 && en.method != 8)) return Remember(ZR_ARGS);  // encrypted / unknown
    unsigned char lh[30];
    const std::uint64_t at = m_base + en.localOffset;
    if (at > m_archiveSize) return Remember(ZR_CORRUPT);
    if (unsigned r = ReadAt(m_file, at, lh, 30)) return Remember(r);
    if (Get32(lh) != kLocalSig) return Remember(ZR_CORRUPT);
    const std::uint64_t data = at + 30 + Get16(lh + 26) + Get16(lh + 28);
    if (data > m_archiveSize || en.compressedSize > m_archiveSize - data) return Remember(ZR_CORRUPT);
    if (en.method == 0 && en.compressedSize != en.size) return Remember(ZR_CORRUPT);
    if (platform::SeekFile(m_file, static_cast<std::int64_t>(data), platform::SeekOrigin::kBegin) < 0)
        return Remember(ZR_READ);

    if (m_in.size() < kBlock) m_in.resize(kBlock), m_out.resize(kBlock);
    z_stream z{};
    if (en.method == 8 && inflateInit2(&z, -MAX_WBITS) != Z_OK) return Remember(ZR_NOALLOC);
    struct ZEnd {
        z_stream* z;
        bool on;
        ~ZEnd() {
            if (on) inflateEnd(z);
        }
    } zend{&z, en.method == 8};
    std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    std::uint64_t inLeft = en.compressedSize, written = 0;
    bool streamEnd = en.method == 0;
    auto emit = [&](const unsigned char* p, std::size_t n) -> unsigned {
        // Never more than the entry declares: a bomb stops here.
        if (n > en.size - written) return ZR_CORRUPT;
        crc = static_cast<std::uint32_t>(crc32_z(crc, p, n));
        if (n && platform::WriteFile(out, p, n) < 0) return ZR_WRITE;
        written += n;
        if (m_progress) m_progress(m_done += n);
        return ZR_OK;
    };
    while (inLeft > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(inLeft, m_in.size()));
        const std::int64_t n = platform::ReadFile(m_file, m_in.data(), want);
        if (n < 0) return Remember(ZR_READ);
        if (n == 0) return Remember(ZR_CORRUPT);
        inLeft -= static_cast<std::uint64_t>(n);
        if (en.method == 0) {
            if (unsigned r = emit(m_in.data(), static_cast<std::size_t>(n))) return Remember(r);
            continue;
        }
        z.next_in = m_in.data();
        z.avail_in = static_cast<uInt>(n);
        // A full output block may leave output pending inside zlib after the input is
        // used up, so the loop also runs while the last block came back full.
        for (bool more = true; more && !streamEnd;) {
            z.next_out = m_out.data();
            // One byte beyond what is still owed shows an overlong stream.
            const std::uint64_t owed = en.size - written + 1;
            z.avail_out = static_cast<uInt>(std::min<std::uint64_t>(m_out.size(), owed));
            const int zr = inflate(&z, Z_NO_FLUSH);
            if (zr == Z_DATA_ERROR || zr == Z_NEED_DICT) return Remember(ZR_CORRUPT);
            if (zr == Z_MEM_ERROR) return Remember(ZR_NOALLOC);
            if (zr != Z_OK && zr != Z_STREAM_END && zr != Z_BUF_ERROR) return Remember(ZR_FLATE);
            if (unsigned r = emit(m_out.data(), static_cast<std::size_t>(z.next_out - m_out.data())))
                return Remember(r);
            streamEnd = zr == Z_STREAM_END;
            more = zr != Z_BUF_ERROR && (z.avail_in > 0 || z.avail_out == 0);
        }
    }
    if (!streamEnd || written != en.size || crc != en.crc) return Remember(ZR_CORRUPT);
    return Remember(ZR_OK);
}

unsigned CZipArchive::Extract(int index, const CString& path) {
    if (m_mode != Mode::kReading) return Remember(ZR_ZMODE);
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) return Remember(ZR_ARGS);
    TempTarget t;
    std::string folder, name;
    SplitPath(path, folder, name);
    if (name.empty()) return Remember(ZR_ARGS);
    t.folder = platform::OpenFolder(folder);
    if (t.folder == kInvalidFile) return Remember(ZR_NOFILE);
    t.file = platform::CreateTempFileIn(t.folder, t.tempName);
    if (t.file == kInvalidFile) return Remember(ZR_NOFILE);
    if (unsigned r = ExtractToHandle(index, t.file)) return r;
    const std::uint64_t when = m_entries[static_cast<std::size_t>(index)].writeTime;
    if (when) platform::SetFileWriteTime(t.file, when);
    return Remember(t.Commit(name) ? ZR_OK : ZR_WRITE);
}

// ---- Messages ----

CString CZipArchive::FormatMessage(unsigned code) {
    if (code == ZR_RECENT) code = g_lastResult.load(std::memory_order_relaxed);
    const char* text = "unknown zip result code";
    switch (code) {
        case ZR_OK: text = "Success"; break;
        case ZR_NODUPH: text = "Couldn't duplicate handle"; break;
        case ZR_NOFILE: text = "Couldn't create/open file"; break;
        case ZR_NOALLOC: text = "Failed to allocate memory"; break;
        case ZR_WRITE: text = "Error writing to file"; break;
        case ZR_NOTFOUND: text = "File not found in the zipfile"; break;
        case ZR_MORE: text = "Still more data to unzip"; break;
        case ZR_CORRUPT: text = "Zipfile is corrupt or not a zipfile"; break;
        case ZR_READ: text = "Error reading file"; break;
        case ZR_ARGS: text = "Application Error: faulty arguments"; break;
        case ZR_NOTMMAP: text = "Application Error: can only get memory of a memory zipfile"; break;
        case ZR_MEMSIZE: text = "Application Error: not enough space allocated for memory zipfile"; break;
        case ZR_FAILED: text = "Application Error: there was a previous error"; break;
        case ZR_ENDED: text = "Application Error: additions to the zip have already been ended"; break;
        case ZR_MISSIZE: text = "Application Error: the anticipated size turned out to be wrong"; break;
        case ZR_PARTIALUNZ: text = "Application Error: the file had already been partially unzipped"; break;
        case ZR_ZMODE: text = "Application Error: mixing creation and opening of zip"; break;
        case ZR_NOTINITED: text = "Application Error: internal initialization not completed"; break;
        case ZR_SEEK: text = "Application Error: trying to seek the unseekable"; break;
        case ZR_NOCHANGE: text = "Application Error: tried to apply change, but it's not allowed"; break;
        case ZR_FLATE: text = "Application Error: an internal error during flation"; break;
        default: break;
    }
    return CString(text);
}

void CZipArchive::FormatMessage(unsigned code, char* buffer, std::size_t size) {
    if (!buffer || size == 0) return;
    const CString text = FormatMessage(code);
    const std::size_t n = std::min<std::size_t>({static_cast<std::size_t>(text.GetLength()), 258, size - 1});
    std::memcpy(buffer, text.GetString(), n);
    buffer[n] = '\0';
}

}  // namespace vutil
