#include "vutil/framework/archive.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"
#include "vutil/platform/codepage.h"

namespace vutil {

namespace {

// Strings are read in growing chunks so a hostile length prefix costs at most about
// twice the bytes that are really there.
constexpr std::size_t kFirstChunk = 64 * 1024;

}  // namespace

CString NarrowFromUtf16(const std::uint16_t* units, std::size_t count) {
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            ++i;  // a surrogate pair is one character, which the code page lacks
            out += '?';
            continue;
        }
        out += platform::cp::UnicodeToCp1252(u);
    }
    return CString(std::move(out));
}

CArchive::CArchive(CFile* file, UINT mode, int bufferSize, void* buffer)
    : m_file(file),
      m_loading((mode & load) != 0),
      m_flushOnDelete((mode & bNoFlushOnDelete) == 0),
      m_bufSize(bufferSize < 128 ? 128 : static_cast<std::size_t>(bufferSize)) {
    if (buffer && bufferSize >= 128) {
        m_bufStart = static_cast<BYTE*>(buffer);
    } else {
        m_ownBuffer.resize(m_bufSize);
        m_bufStart = m_ownBuffer.data();
    }
    m_bufCur = m_bufStart;
    // Storing: the whole buffer is free room. Loading: nothing is buffered yet.
    m_bufMax = m_loading ? m_bufStart : m_bufStart + m_bufSize;
}

CArchive::~CArchive() {
    if (m_file && !m_loading && m_flushOnDelete) {
        try {
            Flush();
        } catch (...) {
            // A destructor cannot report; Close() is the way to see write errors.
        }
    }
}

void CArchive::CheckLoading() const {
    if (!m_loading) throw CArchiveException(CArchiveException::writeOnly);
}

void CArchive::CheckStoring() const {
    if (m_loading) throw CArchiveException(CArchiveException::readOnly);
}

void CArchive::Flush() {
    if (!m_file) return;
    if (m_loading) {
        // Give unread buffered bytes back to the file so its position is exact.
        std::size_t unread = static_cast<std::size_t>(m_bufMax - m_bufCur);
        if (unread) m_file->Seek(-static_cast<LONGLONG>(unread), CFile::current);
        m_bufCur = m_bufMax = m_bufStart;
        return;
    }
    std::size_t n = static_cast<std::size_t>(m_bufCur - m_bufStart);
    m_bufCur = m_bufStart;
    if (n) m_file->Write(m_bufStart, static_cast<UINT>(n));
}

void CArchive::Close() {
    if (!m_file) return;
    if (!m_loading) Flush();
    m_file = nullptr;
}

void CArchive::Abort() noexcept { m_file = nullptr; }

CArchive& CArchive::WriteRawSlow(const void* p, std::size_t n) {
    Write(p, static_cast<UINT>(n));
    return *this;
}

void CArchive::Write(const void* buffer, UINT count) {
    CheckStoring();
    if (!m_file) throw CArchiveException(CArchiveException::genericException);
    const BYTE* p = static_cast<const BYTE*>(buffer);
    std::size_t left = count;
    while (left > 0) {
        std::size_t room = static_cast<std::size_t>(m_bufMax - m_bufCur);
        if (room == 0) {
            Flush();
            // Large blocks bypass the buffer.
            if (left >= m_bufSize) {
                m_file->Write(p, static_cast<UINT>(left));
                return;
            }
            room = m_bufSize;
        }
        std::size_t n = std::min(room, left);
        std::memcpy(m_bufCur, p, n);
        m_bufCur += n;
        p += n;
        left -= n;
    }
}

bool CArchive::FillBuffer(std::size_t needed) {
    if (!m_file) return false;
    std::size_t have = static_cast<std::size_t>(m_bufMax - m_bufCur);
    if (have >= needed) return true;
    // Keep the unread tail, plus the two bytes before it so that a rewind over a
    // marker that ended the previous fill still works.
    std::size_t keepBefore = std::min<std::size_t>(2, static_cast<std::size_t>(m_bufCur - m_bufStart));
    if (keepBefore + have + needed > m_bufSize) keepBefore = 0;
    std::memmove(m_bufStart, m_bufCur - keepBefore, keepBefore + have);
    m_bufCur = m_bufStart + keepBefore;
    m_bufMax = m_bufCur + have;
    while (static_cast<std::size_t>(m_bufMax - m_bufCur) < needed) {
        std::size_t room = m_bufSize - static_cast<std::size_t>(m_bufMax - m_bufStart);
        UINT got = m_file->Read(m_bufMax, static_cast<UINT>(room));
        if (got == 0) return false;
        m_bufMax += got;
    }
    return true;
}

CArchive& CArchive::ReadRawSlow(void* p, std::size_t n) {
    CheckLoading();
    if (static_cast<std::size_t>(m_bufMax - m_bufCur) < n && !FillBuffer(n)) {
        throw CArchiveException(CArchiveException::endOfFile);
    }
    std::memcpy(p, m_bufCur, n);
    m_bufCur += n;
    return *this;
}

UINT CArchive::Read(void* buffer, UINT count) {
    CheckLoading();
    BYTE* p = static_cast<BYTE*>(buffer);
    std::size_t left = count;
    std::size_t have = static_cast<std::size_t>(m_bufMax - m_bufCur);
    std::size_t n = std::min(have, left);
    if (n) {
        std::memcpy(p, m_bufCur, n);
        m_bufCur += n;
        p += n;
        left -= n;
    }
    if (left == 0 || !m_file) return count - static_cast<UINT>(left);
    if (left >= m_bufSize) {
        // Large reads go straight to the file; the buffer is empty at this point.
        UINT got = m_file->Read(p, static_cast<UINT>(left));
        left -= got;
        return count - static_cast<UINT>(left);
    }
    while (left > 0) {
        if (!FillBuffer(1)) break;
        n = std::min(static_cast<std::size_t>(m_bufMax - m_bufCur), left);
        std::memcpy(p, m_bufCur, n);
        m_bufCur += n;
        p += n;
        left -= n;
    }
    return count - static_cast<UINT>(left);
}

void CArchive::ReadExact(void* buffer, std::size_t count) {
    BYTE* p = static_cast<BYTE*>(buffer);
    while (count > 0) {
        UINT chunk = static_cast<UINT>(std::min<std::size_t>(count, std::numeric_limits<UINT>::max()));
        UINT got = Read(p, chunk);
        if (got < chunk) throw CArchiveException(CArchiveException::endOfFile);
        p += got;
        count -= got;
    }
}

CArchive& CArchive::operator<<(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return WriteLE(bits);
}

CArchive& CArchive::operator<<(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return WriteLE(bits);
}

CArchive& CArchive::operator>>(short& v) {
    std::uint16_t u;
    ReadLE(u);
    v = static_cast<short>(u);
    return *this;
}

CArchive& CArchive::operator>>(int& v) {
    std::uint32_t u;
    ReadLE(u);
    v = static_cast<int>(u);
    return *this;
}

CArchive& CArchive::operator>>(LONGLONG& v) {
    std::uint64_t u;
    ReadLE(u);
    v = static_cast<LONGLONG>(u);
    return *this;
}

CArchive& CArchive::operator>>(float& v) {
    std::uint32_t bits;
    ReadLE(bits);
    std::memcpy(&v, &bits, sizeof v);
    return *this;
}

CArchive& CArchive::operator>>(double& v) {
    std::uint64_t bits;
    ReadLE(bits);
    std::memcpy(&v, &bits, sizeof v);
    return *this;
}

void CArchive::WriteStringLength(std::uint64_t length) {
    if (length < 0xFF) {
        *this << static_cast<BYTE>(length);
    } else if (length < 0xFFFE) {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(length);
    } else if (length < 0xFFFFFFFFu) {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << static_cast<std::uint32_t>(length);
    } else {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << static_cast<std::uint32_t>(0xFFFFFFFFu)
              << static_cast<ULONGLONG>(length);
    }
}

std::uint64_t CArchive::ReadStringLength(bool& wide) {
    wide = false;
    BYTE b;
    *this >> b;
    if (b < 0xFF) return b;
    WORD w;
    *this >> w;
    if (w == 0xFFFE) {
        wide = true;
        *this >> b;
        if (b < 0xFF) return b;
        *this >> w;
    }
    if (w < 0xFFFF) return w;
    std::uint32_t d;
    *this >> d;
    if (d < 0xFFFFFFFFu) return d;
    ULONGLONG q;
    *this >> q;
    return q;
}

CArchive& CArchive::operator<<(const CString& s) {
    WriteStringLength(static_cast<std::uint64_t>(s.GetLength()));
    if (!s.IsEmpty()) Write(s.GetString(), static_cast<UINT>(s.GetLength()));
    return *this;
}

CArchive& CArchive::operator>>(CString& s) {
    bool wide = false;
    std::uint64_t length = ReadStringLength(wide);
    // A CString's length is an int; a longer one is not data this library wrote.
    if (length > static_cast<std::uint64_t>(std::numeric_limits<int>::max()))
        throw CArchiveException(CArchiveException::genericException);
    std::uint64_t bytes = wide ? length * 2 : length;
    std::string data;
    std::size_t done = 0;
    while (done < bytes) {
        std::uint64_t chunk = std::min<std::uint64_t>(bytes - done, std::max<std::size_t>(kFirstChunk, done));
        data.resize(done + static_cast<std::size_t>(chunk));
        ReadExact(data.data() + done, static_cast<std::size_t>(chunk));
        done += static_cast<std::size_t>(chunk);
    }
    if (wide) {
        std::vector<std::uint16_t> units(static_cast<std::size_t>(length));
        for (std::size_t i = 0; i < units.size(); ++i) {
            units[i] = static_cast<std::uint16_t>(static_cast<BYTE>(data[2 * i]) | (static_cast<BYTE>(data[2 * i + 1]) << 8));
        }
        s = NarrowFromUtf16(units.data(), units.size());
    } else {
        s = CString(std::move(data));
    }
    return *this;
}

void CRewindArchive::DoRewindWORD() {
    if (IsLoading() && m_bufCur - m_bufStart >= 2) m_bufCur -= 2;
}

}  // namespace vutil
