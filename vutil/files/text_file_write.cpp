// Writers of the text-file family. Everything passes through the block buffer, which is
// written out whole when it fills and more data remains, and at Flush.

#include <bit>
#include <cstring>
#include <string>

#include "vutil/files/text_file.h"
#include "vutil/platform/codepage.h"
#include "vutil/platform/error.h"

namespace vutil {

TextFileWriter::TextFileWriter(const char* fileName, platform::FileHandle file, int bufferSize)
    : m_pszFileName(fileName), m_hFile(file), m_nBufferCapacity(bufferSize > 0 ? bufferSize : 4096) {
    m_pBuffer = new char[static_cast<std::size_t>(m_nBufferCapacity)];
}

TextFileWriter::~TextFileWriter() { delete[] m_pBuffer; }

int TextFileWriter::WriteChar(int, UINT, const char*, BOOL*) { return -2; }

int TextFileWriter::WriteText(const char*, int, UINT, const char*, BOOL*) { return -2; }

int TextFileWriter::WriteByteOrderMark() { return 0; }

int TextFileWriter::Flush() {
    if (m_nBufferUsed == 0) return 0;
    std::int64_t n = platform::WriteFile(m_hFile, m_pBuffer, m_nBufferUsed);
    m_nBufferUsed = 0;
    if (n < 0) {
        (void)platform::GetErrorMessage(platform::GetLastErrorCode());
        return -2;
    }
    return 0;
}

int TextFileWriter::Put(const void* data, std::size_t bytes) {
    const auto* p = static_cast<const char*>(data);
    const auto capacity = static_cast<std::size_t>(m_nBufferCapacity);
    while (bytes > 0) {
        if (m_nBufferUsed == capacity && Flush() < 0) return -2;
        std::size_t take = capacity - m_nBufferUsed < bytes ? capacity - m_nBufferUsed : bytes;
        std::memcpy(m_pBuffer + m_nBufferUsed, p, take);
        m_nBufferUsed += take;
        p += take;
        bytes -= take;
    }
    return 0;
}

int TextFileWriter::WriteWide(bool bigEndian, TextFileBuffer& wide, const char* text, int length) {
    if (length <= 0) return 0;
    const auto n = static_cast<std::size_t>(length);
    wide.Reserve(n * 2);
    auto* units = reinterpret_cast<char16_t*>(wide.Data());
    platform::cp::Cp1252ToUtf16(text, n, units);
    wide.SetLength(n * 2);
    if (bigEndian != (std::endian::native == std::endian::big)) {
        for (std::size_t k = 0; k < n; ++k) units[k] = static_cast<char16_t>(units[k] << 8 | units[k] >> 8);
    }
    return Put(units, n * 2);
}

// ---- ANSI ------------------------------------------------------------------------

int ANSI_TextFileWriter::WriteChar(int ch, UINT, const char*, BOOL*) {
    char c = static_cast<char>(ch & 0xFF);
    return Put(&c, 1);
}

int ANSI_TextFileWriter::WriteText(const char* text, int length, UINT, const char*, BOOL*) {
    return length > 0 ? Put(text, static_cast<std::size_t>(length)) : 0;
}

int ANSI_TextFileWriter::WriteByteOrderMark() { return 0; }

// ---- UTF-8 -------------------------------------------------------------------------

int UTF8_TextFileWriter::WriteChar(int ch, UINT, const char*, BOOL*) {
    std::string bytes;
    platform::cp::AppendUtf8(bytes, static_cast<char32_t>(static_cast<unsigned>(ch) & 0x1FFFFF));
    return Put(bytes.data(), bytes.size());
}

int UTF8_TextFileWriter::WriteText(const char* text, int length, UINT, const char*, BOOL*) {
    // Bytes are taken as code points 0-255 (ISO 8859-1), which the readers of
    // earlier versions of this format expect; encoded in chunks on the stack.
    char chunk[1024];
    std::size_t used = 0;
    for (int i = 0; i < length; ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        if (used + 2 > sizeof chunk) {
            if (Put(chunk, used) < 0) return -2;
            used = 0;
        }
        if (b < 0x80) {
            chunk[used++] = static_cast<char>(b);
        } else {
            chunk[used++] = static_cast<char>(0xC0 | (b >> 6));
            chunk[used++] = static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return Put(chunk, used);
}

int UTF8_TextFileWriter::WriteByteOrderMark() { return Put("\xEF\xBB\xBF", 3); }

// ---- UTF-16 ------------------------------------------------------------------------

int UTF16LE_TextFileWriter::WriteChar(int ch, UINT codePage, const char* defaultChar, BOOL* usedDefault) {
    char c = static_cast<char>(ch & 0xFF);
    return WriteText(&c, 1, codePage, defaultChar, usedDefault);
}

int UTF16LE_TextFileWriter::WriteText(const char* text, int length, UINT, const char*, BOOL*) {
    return WriteWide(false, m_wideBuffer, text, length);
}

int UTF16LE_TextFileWriter::WriteByteOrderMark() { return Put("\xFF\xFE", 2); }

int UTF16BE_TextFileWriter::WriteChar(int ch, UINT codePage, const char* defaultChar, BOOL* usedDefault) {
    char c = static_cast<char>(ch & 0xFF);
    return WriteText(&c, 1, codePage, defaultChar, usedDefault);
}

int UTF16BE_TextFileWriter::WriteText(const char* text, int length, UINT, const char*, BOOL*) {
    return WriteWide(true, m_wideBuffer, text, length);
}

int UTF16BE_TextFileWriter::WriteByteOrderMark() { return Put("\xFE\xFF", 2); }

}  // namespace vutil
