#pragma once
// Text files in ANSI (Windows-1252), UTF-8, UTF-16LE and UTF-16BE: one open-file
// object, TextFile, driving one reader or writer per encoding. The library's text is
// always ANSI; readers convert to it, writers from it.

#include <cstddef>
#include <cstdint>
#include <string>

#include "vutil/framework/types.h"
#include "vutil/platform/file.h"

namespace vutil {

// A growable buffer of a reader or writer: a small header (tag "BDSG", capacity,
// length in use) in front of the data, grown in whole multiples of 1024 bytes and kept
// from call to call. Running out of memory throws std::bad_alloc.
class TextFileBuffer {
public:
    TextFileBuffer() = default;
    TextFileBuffer(const TextFileBuffer&) = delete;
    TextFileBuffer& operator=(const TextFileBuffer&) = delete;
    ~TextFileBuffer();

    char* Data() noexcept;
    std::size_t Length() const noexcept;
    void SetLength(std::size_t length) noexcept;
    // Makes room for at least bytes in all; keeps the data.
    void Reserve(std::size_t bytes);
    void Append(const void* data, std::size_t bytes);

private:
    struct Header {
        char tag[4];
        std::size_t capacity;
        std::size_t length;
    };
    Header* m_pHeader = nullptr;
};

class TextFileReader {
public:
    // bufferSize 0 is 4096 bytes; a negative size reads one character at a time.
    TextFileReader(const char* fileName, platform::FileHandle file, int bufferSize);
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;
    virtual ~TextFileReader();

    // The next character, -1 at the end of the file, -2 when the read fails.
    virtual int ReadChar();
    // 0 with a line (maybe empty, NUL-terminated, owned by the reader until the next
    // call) in *line; -1 at the end of the file with nothing read.
    virtual int ReadLine(char** line, UINT codePage, const char* defaultChar, BOOL* usedDefault);

protected:
    // Brings more bytes into the block buffer, keeping the unread rest (fewer than
    // unitSize bytes) in front. False at the end of the file or on a failed read.
    bool Fill(std::size_t unitSize);
    // The next byte of a byte-wide file, carriage returns skipped; -1 at the end, -2 on a read error.
    int NextByteSkippingCR();
    // Collects the next line of units of unitSize bytes ending at the stored unit
    // (lf0, lf1); a unit (cr0, cr1) just before it is dropped. The line is either in
    // the block buffer (*begin, *units) or was gathered in lineBuffer. -1 at the end.
    int NextLine(std::size_t unitSize, const char* lf, const char* cr, TextFileBuffer& lineBuffer,
                 const char** begin, std::size_t* units);
    // The UTF-16 readers, by the file's byte order.
    int ReadWideChar(bool bigEndian);
    int ReadWideLine(bool bigEndian, TextFileBuffer& wide, TextFileBuffer& out, char** line,
                     const char* defaultChar, BOOL* usedDefault);

    const char* m_pszFileName;
    platform::FileHandle m_hFile;
    int m_nBufferCapacity;
    char* m_pBuffer = nullptr;
    std::size_t m_nReadPos = 0;
    std::size_t m_nBufferCount = 0;
    bool m_bEndOfFile = false;
};

class ANSI_TextFileReader : public TextFileReader {
public:
    using TextFileReader::TextFileReader;
    int ReadChar() override;
    int ReadLine(char** line, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;

protected:
    TextFileBuffer m_lineBuffer;
};

class UTF8_TextFileReader : public TextFileReader {
public:
    using TextFileReader::TextFileReader;
    int ReadChar() override;
    int ReadLine(char** line, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;

private:
    TextFileBuffer m_lineBuffer;
    TextFileBuffer m_wideBuffer;
    TextFileBuffer m_outBuffer;
};

class UTF16LE_TextFileReader : public TextFileReader {
public:
    using TextFileReader::TextFileReader;
    int ReadChar() override;
    int ReadLine(char** line, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;

private:
    TextFileBuffer m_wideBuffer;
    TextFileBuffer m_outBuffer;
};

// Units are read big-endian; the line feed is found on its byte-swapped value.
class UTF16BE_TextFileReader : public TextFileReader {
public:
    using TextFileReader::TextFileReader;
    int ReadChar() override;
    int ReadLine(char** line, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;

private:
    TextFileBuffer m_wideBuffer;
    TextFileBuffer m_outBuffer;
};

class TextFileWriter {
public:
    // bufferSize 0 (or negative) is 4096 bytes.
    TextFileWriter(const char* fileName, platform::FileHandle file, int bufferSize);
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;
    virtual ~TextFileWriter();

    // 0 or a negative code (-2: the write failed).
    virtual int WriteChar(int ch, UINT codePage, const char* defaultChar, BOOL* usedDefault);
    virtual int WriteText(const char* text, int length, UINT codePage, const char* defaultChar, BOOL* usedDefault);
    virtual int WriteByteOrderMark();
    // Writes what the block buffer holds; 0 or -2.
    int Flush();

protected:
    int Put(const void* data, std::size_t bytes);
    // The UTF-16 writers, by the file's byte order.
    int WriteWide(bool bigEndian, TextFileBuffer& wide, const char* text, int length);

    const char* m_pszFileName;
    platform::FileHandle m_hFile;
    int m_nBufferCapacity;
    char* m_pBuffer = nullptr;
    std::size_t m_nBufferUsed = 0;
};

class ANSI_TextFileWriter : public TextFileWriter {
public:
    using TextFileWriter::TextFileWriter;
    int WriteChar(int ch, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;
    int WriteText(const char* text, int length, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;
    int WriteByteOrderMark() override;
};

class UTF8_TextFileWriter : public TextFileWriter {
public:
    using TextFileWriter::TextFileWriter;
    int WriteChar(int ch, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;
    // Every byte is taken as the code point of its value (0-255).
    int WriteText(const char* text, int length, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;
    int WriteByteOrderMark() override;
};

class UTF16LE_TextFileWriter : public TextFileWriter {
public:
    using TextFileWriter::TextFileWriter;
    int WriteChar(int ch, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;
    int WriteText(const char* text, int length, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;
    int WriteByteOrderMark() override;

private:
    TextFileBuffer m_wideBuffer;
};

class UTF16BE_TextFileWriter : public TextFileWriter {
public:
    using TextFileWriter::TextFileWriter;
    int WriteChar(int ch, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;
    int WriteText(const char* text, int length, UINT codePage, const char* defaultChar, BOOL* usedDefault) override;
    int WriteByteOrderMark() override;

private:
    TextFileBuffer m_wideBuffer;
};

class TextFile {
public:
    // Encoding codes: the low byte of the open flags, and what reading recognised.
    static constexpr int TF_ENCODING_NONE = 0;
    static constexpr int TF_ENCODING_ANSI = 1;
    static constexpr int TF_ENCODING_UTF16LE = 2;
    static constexpr int TF_ENCODING_UTF16BE = 3;
    static constexpr int TF_ENCODING_UTF8 = 4;
    // Write text as given, without turning LF into CR LF.
    static constexpr int TF_FLAG_NO_LF_EXPANSION = 0x100;
    // With an encoding named for reading, do not look for its byte-order mark.
    static constexpr int TF_FLAG_NO_BOM_CHECK = 0x200;
    static constexpr int TF_MODE_READ = 1;
    static constexpr int TF_MODE_WRITE = 2;  // create or truncate

    TextFile() = default;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    ~TextFile();

    // Block-buffer size for the next Open; 0 is 4096 bytes.
    void SetBufferSize(int bytes) noexcept { m_nBufferSize = bytes; }

    // 0, or -2 when the file cannot be opened (or no writer exists for the encoding).
    int Open(const char* path, int mode, int flags);
    // Writes text, LF expanded to CR LF unless the flags say otherwise; the pending
    // byte-order mark goes first. 0 or a negative code.
    int WriteString(const char* text);
    // Writes the byte-order mark if it is still pending; 0 or a negative code.
    int WritePendingByteOrderMark();
    // Reads the next line with this object's code page and default character.
    int ReadLine(char** line, BOOL* usedDefault = nullptr);
    // Flushes a writer, closes the file; 0 or -2.
    int Close();

    int GetEncoding() const noexcept { return m_nEncoding; }
    TextFileReader* GetReader() const noexcept { return m_pReader; }
    TextFileWriter* GetWriter() const noexcept { return m_pWriter; }

private:
    int OpenForReading();
    // Reads one byte into *byte: 1, 0 at the end, -1 on failure.
    int ReadRawByte(unsigned char* byte);
    bool Rewind();

    std::string m_strFileName;
    int m_nMode = 0;
    int m_nEncoding = TF_ENCODING_NONE;
    int m_nFlags = 0;
    int m_nBufferSize = 0;
    platform::FileHandle m_hFile = platform::kInvalidFile;
    TextFileReader* m_pReader = nullptr;
    TextFileWriter* m_pWriter = nullptr;
    bool m_bByteOrderMarkPending = false;
    UINT m_nCodePage = 0;
    const char* m_pDefaultChar = nullptr;
};

}  // namespace vutil
