// Readers of the text-file family and the growable buffer they share.
// A line that lies whole in the block buffer is handed out (or converted) from there;
// only lines that cross a block boundary are gathered, so reading allocates nothing
// per line once the buffers have grown to the longest line.

#include <bit>
#include <cstring>
#include <new>

#include "vutil/files/text_file.h"
#include "vutil/platform/codepage.h"
#include "vutil/platform/error.h"

namespace vutil {

// ---- TextFileBuffer --------------------------------------------------------------

TextFileBuffer::~TextFileBuffer() { ::operator delete(m_pHeader); }

char* TextFileBuffer::Data() noexcept {
    return m_pHeader ? reinterpret_cast<char*>(m_pHeader + 1) : nullptr;
}

std::size_t TextFileBuffer::Length() const noexcept { return m_pHeader ? m_pHeader->length : 0; }

void TextFileBuffer::SetLength(std::size_t length) noexcept {
    if (m_pHeader) m_pHeader->length = length <= m_pHeader->capacity ? length : m_pHeader->capacity;
}

void TextFileBuffer::Reserve(std::size_t bytes) {
    std::size_t capacity = m_pHeader ? m_pHeader->capacity : 0;
    if (bytes <= capacity) return;
    // Doubling keeps one very long line linear; the step stays a multiple of 1024.
    std::size_t want = bytes > capacity * 2 ? bytes : capacity * 2;
    if (want > (SIZE_MAX - sizeof(Header)) / 2) throw std::bad_alloc();
    want = (want + 1023) / 1024 * 1024;
    auto* grown = static_cast<Header*>(::operator new(sizeof(Header) + want));
    std::memcpy(grown->tag, "BDSG", 4);
    grown->length = 0;
    if (m_pHeader) {
        grown->length = m_pHeader->length;
        std::memcpy(grown + 1, m_pHeader + 1, m_pHeader->length);
        ::operator delete(m_pHeader);
    }
    grown->capacity = want;
    m_pHeader = grown;
}

void TextFileBuffer::Append(const void* data, std::size_t bytes) {
    std::size_t length = Length();
    Reserve(length + bytes);
    if (bytes) std::memcpy(Data() + length, data, bytes);
    m_pHeader->length = length + bytes;
}

// ---- TextFileReader ----------------------------------------------------------------

namespace {

constexpr int kDefaultBlock = 4096;
constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// Byte offset of the first whole unit in p[0, bytes) equal to the stored unit; one of
// the unit's bytes is the non-zero key, the other (for two-byte units) is zero.
std::size_t FindUnit(const char* p, std::size_t bytes, std::size_t unitSize, const char* unit) {
    if (unitSize == 1) {
        const void* q = std::memchr(p, unit[0], bytes);
        return q ? static_cast<std::size_t>(static_cast<const char*>(q) - p) : kNotFound;
    }
    const std::size_t keyAt = unit[0] != 0 ? 0 : 1;
    for (std::size_t from = 0; from < bytes;) {
        const void* q = std::memchr(p + from, unit[keyAt], bytes - from);
        if (!q) return kNotFound;
        std::size_t at = static_cast<std::size_t>(static_cast<const char*>(q) - p);
        if ((at & 1) == keyAt && p[at ^ 1] == unit[keyAt ^ 1]) return at - keyAt;
        from = at + 1;
    }
    return kNotFound;
}

void Swap16(char* p, std::size_t units) noexcept {
    for (std::size_t k = 0; k < units; ++k) std::swap(p[2 * k], p[2 * k + 1]);
}

}  // namespace

TextFileReader::TextFileReader(const char* fileName, platform::FileHandle file, int bufferSize)
    : m_pszFileName(fileName), m_hFile(file) {
    // Without a buffer a character is fetched at a time; two bytes hold a UTF-16 unit.
    m_nBufferCapacity = bufferSize == 0 ? kDefaultBlock : bufferSize < 2 ? 2 : bufferSize;
    // char16_t storage: the UTF-16 readers convert whole lines in place.
    m_pBuffer = reinterpret_cast<char*>(new char16_t[(static_cast<std::size_t>(m_nBufferCapacity) + 2) / 2]);
}

TextFileReader::~TextFileReader() { delete[] reinterpret_cast<char16_t*>(m_pBuffer); }

int TextFileReader::ReadChar() { return -1; }

int TextFileReader::ReadLine(char**, UINT, const char*, BOOL*) { return -1; }

bool TextFileReader::Fill(std::size_t unitSize) {
    if (m_bEndOfFile) return false;
    std::size_t rest = m_nBufferCount - m_nReadPos;
    if (rest >= unitSize) return true;
    if (rest) std::memmove(m_pBuffer, m_pBuffer + m_nReadPos, rest);
    m_nReadPos = 0;
    m_nBufferCount = rest;
    std::int64_t n = platform::ReadFile(m_hFile, m_pBuffer + rest, static_cast<std::size_t>(m_nBufferCapacity) - rest);
    if (n == 0) m_bEndOfFile = true;  // an odd byte left over stays unread
    if (n <= 0) return false;
    m_nBufferCount = rest + static_cast<std::size_t>(n);
    return true;
}

int TextFileReader::NextLine(std::size_t unitSize, const char* lf, const char* cr, TextFileBuffer& lineBuffer,
                             const char** begin, std::size_t* units) {
    lineBuffer.SetLength(0);
    bool gathered = false;
    bool sawLf = false;
    int result = -1;
    auto endsWithCr = [&](const char* end) { return std::memcmp(end - unitSize, cr, unitSize) == 0; };
    for (;;) {
        std::size_t avail = (m_nBufferCount - m_nReadPos) / unitSize * unitSize;
        if (avail == 0) {
            if (!Fill(unitSize)) break;
            continue;
        }
        result = 0;
        const char* p = m_pBuffer + m_nReadPos;
        std::size_t found = FindUnit(p, avail, unitSize, lf);
        if (found == kNotFound) {
            lineBuffer.Append(p, avail);
            gathered = true;
            m_nReadPos += avail;
            continue;
        }
        m_nReadPos += found + unitSize;
        if (!gathered) {
            std::size_t bytes = found;
            if (bytes && endsWithCr(p + bytes)) bytes -= unitSize;
            *begin = p;
            *units = bytes / unitSize;
            return 0;
        }
        lineBuffer.Append(p, found);
        sawLf = true;
        break;
    }
    if (result == 0) {
        std::size_t bytes = lineBuffer.Length();
        // A line feed just found drops the carriage return before it, even one that
        // ended the previous block; a line cut by the end of the file keeps its CR.
        if (sawLf && bytes && endsWithCr(lineBuffer.Data() + bytes)) bytes -= unitSize;
        lineBuffer.Reserve(bytes + 2);  // room for a terminator
        *begin = lineBuffer.Data();
        *units = bytes / unitSize;
    }
    return result;
}

int TextFileReader::ReadWideChar(bool bigEndian) {
    for (;;) {
        if (m_nBufferCount - m_nReadPos < 2) {
            if (!Fill(2)) return m_bEndOfFile ? -1 : -2;
            continue;
        }
        auto b0 = static_cast<unsigned char>(m_pBuffer[m_nReadPos]);
        auto b1 = static_cast<unsigned char>(m_pBuffer[m_nReadPos + 1]);
        m_nReadPos += 2;
        int unit = bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
        if (unit != 0x000D) return unit;
    }
}

int TextFileReader::ReadWideLine(bool bigEndian, TextFileBuffer& wide, TextFileBuffer& out, char** line,
                                 const char* defaultChar, BOOL* usedDefault) {
    static const char kLfLe[2] = {0x0A, 0x00}, kCrLe[2] = {0x0D, 0x00};
    static const char kLfBe[2] = {0x00, 0x0A}, kCrBe[2] = {0x00, 0x0D};
    const char* begin = nullptr;
    std::size_t units = 0;
    int result = NextLine(2, bigEndian ? kLfBe : kLfLe, bigEndian ? kCrBe : kCrLe, wide, &begin, &units);
    if (result < 0) return result;
    char* data = const_cast<char*>(begin);  // our own block or line buffer
    if (bigEndian != (std::endian::native == std::endian::big)) Swap16(data, units);
    out.Reserve(units * 2 + 1);
    bool used = false;
    std::size_t n = platform::cp::Utf16ToCp1252(reinterpret_cast<const char16_t*>(data), units, out.Data(),
                                                defaultChar ? *defaultChar : '?', &used);
    out.Data()[n] = '\0';
    out.SetLength(n);
    if (usedDefault) *usedDefault = used ? 1 : 0;
    *line = out.Data();
    return 0;
}

int TextFileReader::NextByteSkippingCR() {
    for (;;) {
        if (m_nReadPos >= m_nBufferCount) {
            if (!Fill(1)) return m_bEndOfFile ? -1 : -2;
            continue;
        }
        auto c = static_cast<unsigned char>(m_pBuffer[m_nReadPos++]);
        if (c != 0x0D) return c;
    }
}

// ---- ANSI ------------------------------------------------------------------------

int ANSI_TextFileReader::ReadChar() { return NextByteSkippingCR(); }

int ANSI_TextFileReader::ReadLine(char** line, UINT, const char*, BOOL* usedDefault) {
    const char* begin = nullptr;
    std::size_t length = 0;
    int result = NextLine(1, "\n", "\r", m_lineBuffer, &begin, &length);
    if (result < 0) return result;
    // In the block the terminator lands on the consumed CR or LF.
    char* data = const_cast<char*>(begin);
    data[length] = '\0';
    if (usedDefault) *usedDefault = 0;
    *line = data;
    return 0;
}

// ---- UTF-8 -------------------------------------------------------------------------

int UTF8_TextFileReader::ReadChar() { return NextByteSkippingCR(); }

int UTF8_TextFileReader::ReadLine(char** line, UINT, const char* defaultChar, BOOL* usedDefault) {
    const char* begin = nullptr;
    std::size_t length = 0;
    int result = NextLine(1, "\n", "\r", m_lineBuffer, &begin, &length);
    if (result < 0) return result;
    const auto* s = reinterpret_cast<const unsigned char*>(begin);
    // Never more units than bytes: only four bytes make two units.
    m_wideBuffer.Reserve(length * 2 + 2);
    auto* w = reinterpret_cast<char16_t*>(m_wideBuffer.Data());
    std::size_t n = 0;
    // Lenient on purpose: continuation bytes are not checked and overlong forms pass,
    // so files written by careless tools still read; only a form cut short is lost.
    for (std::size_t i = 0; i < length && s[i];) {
        // Eight ASCII bytes, none of them NUL, at a time.
        while (i + 8 <= length) {
            std::uint64_t v;
            std::memcpy(&v, s + i, 8);
            constexpr std::uint64_t kLow = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
            if (((v | ((v - kLow) & ~v)) & kHigh) != 0) break;
            for (int k = 0; k < 8; ++k) w[n + k] = s[i + k];
            n += 8;
            i += 8;
        }
        if (i >= length || !s[i]) break;
        unsigned b0 = s[i];
        if (b0 < 0x80) {
            w[n++] = static_cast<char16_t>(b0);
            ++i;
            continue;
        }
        std::size_t more;
        char32_t cp;
        if (b0 <= 0xDF) more = 1, cp = b0 & 0x1F;
        else if (b0 <= 0xEF) more = 2, cp = b0 & 0x0F;
        else if (b0 <= 0xF7) more = 3, cp = b0 & 0x07;
        else {
            w[n++] = 0xFFFD;
            ++i;
            continue;
        }
        bool cut = false;
        for (std::size_t k = 1; k <= more; ++k) {
            if (i + k >= length || s[i + k] == 0) {
                cut = true;
                break;
            }
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (cut) {
            w[n++] = 0xFFFD;
            break;
        }
        i += more + 1;
        if (cp > 0xFFFF) {
            if (cp > 0x10FFFF) cp = 0x10FFFF;
            w[n++] = static_cast<char16_t>((cp >> 10) + 0xD7C0);
            w[n++] = static_cast<char16_t>((cp & 0x3FF) + 0xDC00);
        } else {
            w[n++] = static_cast<char16_t>(cp);
        }
    }
    m_outBuffer.Reserve(n * 2 + 1);
    bool used = false;
    std::size_t bytes = platform::cp::Utf16ToCp1252(w, n, m_outBuffer.Data(), defaultChar ? *defaultChar : '?', &used);
    m_outBuffer.Data()[bytes] = '\0';
    m_outBuffer.SetLength(bytes);
    if (usedDefault) *usedDefault = used ? 1 : 0;
    *line = m_outBuffer.Data();
    return 0;
}

// ---- UTF-16 ------------------------------------------------------------------------

int UTF16LE_TextFileReader::ReadChar() { return ReadWideChar(false); }

int UTF16LE_TextFileReader::ReadLine(char** line, UINT, const char* defaultChar, BOOL* usedDefault) {
    return ReadWideLine(false, m_wideBuffer, m_outBuffer, line, defaultChar, usedDefault);
}

int UTF16BE_TextFileReader::ReadChar() { return ReadWideChar(true); }

int UTF16BE_TextFileReader::ReadLine(char** line, UINT, const char* defaultChar, BOOL* usedDefault) {
    return ReadWideLine(true, m_wideBuffer, m_outBuffer, line, defaultChar, usedDefault);
}

}  // namespace vutil
