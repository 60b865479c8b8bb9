#pragma once
// CArchive: a buffered binary stream over a CFile, either storing or loading.
//
// Numbers are little-endian and unpadded. Strings carry the framework's length prefix:
// one byte below 255; 0xFF then 16 bits below 0xFFFE; 0xFF 0xFFFF then 32 bits;
// loading also accepts the wide-string marker 0xFF 0xFFFE. A short read throws
// CArchiveException(endOfFile).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "vutil/framework/cstring.h"
#include "vutil/framework/types.h"

namespace vutil {

class CFile;

class CArchive {
public:
    enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2 };

    CArchive(CFile* file, UINT mode, int bufferSize = 4096, void* buffer = nullptr);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;
    virtual ~CArchive();

    bool IsLoading() const noexcept { return m_loading; }
    bool IsStoring() const noexcept { return !m_loading; }
    CFile* GetFile() const noexcept { return m_file; }

    // Read returns the number of bytes read (fewer at the end of the data).
    UINT Read(void* buffer, UINT count);
    void Write(const void* buffer, UINT count);
    void Flush();
    void Close();
    void Abort() noexcept;

    // Reads exactly count bytes or throws endOfFile.
    void ReadExact(void* buffer, std::size_t count);

    // The string length prefix. ReadStringLength sets wide when the data holds UTF-16.
    void WriteStringLength(std::uint64_t length);
    std::uint64_t ReadStringLength(bool& wide);

    CArchive& operator<<(BYTE v) { return WriteRaw(&v, 1); }
    CArchive& operator<<(char v) { return WriteRaw(&v, 1); }
    CArchive& operator<<(signed char v) { return WriteRaw(&v, 1); }
    CArchive& operator<<(WORD v) { return WriteLE(v); }
    CArchive& operator<<(short v) { return WriteLE(static_cast<std::uint16_t>(v)); }
    CArchive& operator<<(int v) { return WriteLE(static_cast<std::uint32_t>(v)); }
    CArchive& operator<<(unsigned int v) { return WriteLE(static_cast<std::uint32_t>(v)); }
    CArchive& operator<<(LONGLONG v) { return WriteLE(static_cast<std::uint64_t>(v)); }
    CArchive& operator<<(ULONGLONG v) { return WriteLE(v); }
    CArchive& operator<<(float v);
    CArchive& operator<<(double v);
    CArchive& operator<<(const CString& s);

    CArchive& operator>>(BYTE& v) { return ReadRaw(&v, 1); }
    CArchive& operator>>(char& v) { return ReadRaw(&v, 1); }
    CArchive& operator>>(signed char& v) { return ReadRaw(&v, 1); }
    CArchive& operator>>(WORD& v) { return ReadLE(v); }
    CArchive& operator>>(short& v);
    CArchive& operator>>(int& v);
    CArchive& operator>>(unsigned int& v) { return ReadLE(v); }
    CArchive& operator>>(LONGLONG& v);
    CArchive& operator>>(ULONGLONG& v) { return ReadLE(v); }
    CArchive& operator>>(float& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(CString& s);

protected:
    // Buffer state: [m_bufStart, m_bufCur) is consumed, [m_bufCur, m_bufMax) is
    // loaded data not yet read (loading) or free room (storing).
    BYTE* m_bufStart = nullptr;
    BYTE* m_bufCur = nullptr;
    BYTE* m_bufMax = nullptr;

private:
    template <typename T>
    CArchive& WriteLE(T v) {
        BYTE b[sizeof(T)];
        for (std::size_t i = 0; i < sizeof(T); ++i) b[i] = static_cast<BYTE>(v >> (8 * i));
        return WriteRaw(b, sizeof(T));
    }
    template <typename T>
    CArchive& ReadLE(T& v) {
        BYTE b[sizeof(T)];
        ReadRaw(b, sizeof(T));
        T r = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) r = static_cast<T>(r | static_cast<T>(static_cast<T>(b[i]) << (8 * i)));
        v = r;
        return *this;
    }
    // The common case, bytes already buffered (or room for them), stays inline.
    CArchive& WriteRaw(const void* p, std::size_t n) {
        if (!m_loading && static_cast<std::size_t>(m_bufMax - m_bufCur) >= n) {
            std::memcpy(m_bufCur, p, n);
            m_bufCur += n;
            return *this;
        }
        return WriteRawSlow(p, n);
    }
    CArchive& ReadRaw(void* p, std::size_t n) {
        if (m_loading && static_cast<std::size_t>(m_bufMax - m_bufCur) >= n) {
            std::memcpy(p, m_bufCur, n);
            m_bufCur += n;
            return *this;
        }
        return ReadRawSlow(p, n);
    }
    CArchive& WriteRawSlow(const void* p, std::size_t n);
    CArchive& ReadRawSlow(void* p, std::size_t n);
    // Loads more data so that at least `needed` unread bytes are buffered; false at the end.
    bool FillBuffer(std::size_t needed);
    void CheckLoading() const;
    void CheckStoring() const;

    CFile* m_file;
    bool m_loading;
    bool m_flushOnDelete;
    std::vector<BYTE> m_ownBuffer;
    std::size_t m_bufSize;
};

// An archive that can step back over the 16-bit marker it has just read.
class CRewindArchive : public CArchive {
public:
    CRewindArchive(CFile* file, unsigned int mode, int bufferSize = 4096, void* buffer = nullptr)
        : CArchive(file, mode, bufferSize, buffer) {}
    void DoRewindWORD();
};

// Windows-1252 <-> UTF-16 code units, as the archive's wide strings need.
CString NarrowFromUtf16(const std::uint16_t* units, std::size_t count);

}  // namespace vutil
