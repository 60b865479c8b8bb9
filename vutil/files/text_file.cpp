// TextFile: opens the file, recognises the byte-order mark on reading, chooses the
// reader or writer, and expands line feeds on writing.

#include "vutil/files/text_file.h"

#include <cstring>
#include <new>

#include "vutil/platform/error.h"

namespace vutil {

namespace {

const unsigned char kBomUtf16Le[] = {0xFF, 0xFE};
const unsigned char kBomUtf16Be[] = {0xFE, 0xFF};
const unsigned char kBomUtf8[] = {0xEF, 0xBB, 0xBF};

// The system's error text is fetched for the record and not kept.
void DropSystemError() { (void)platform::GetErrorMessage(platform::GetLastErrorCode()); }

}  // namespace

TextFile::~TextFile() { Close(); }

int TextFile::ReadRawByte(unsigned char* byte) {
    std::int64_t n = platform::ReadFile(m_hFile, byte, 1);
    if (n < 0) DropSystemError();
    return n < 0 ? -1 : static_cast<int>(n);
}

bool TextFile::Rewind() {
    if (platform::SeekFile(m_hFile, 0, platform::SeekOrigin::kBegin) == 0) return true;
    DropSystemError();
    return false;
}

int TextFile::Open(const char* path, int mode, int flags) {
    Close();
    m_strFileName = path ? path : "";
    m_nMode = mode;
    m_nFlags = flags;
    m_nEncoding = flags & 0xFF;
    if (mode != TF_MODE_READ) {
        if (m_nEncoding == TF_ENCODING_NONE) m_nEncoding = TF_ENCODING_ANSI;
        if (m_nEncoding > TF_ENCODING_UTF8) return -2;  // no writer for it
    }
    unsigned how = mode == TF_MODE_READ    ? platform::kFileRead
                   : mode == TF_MODE_WRITE ? platform::kFileWrite | platform::kFileCreate | platform::kFileTruncate
                                           : platform::kFileWrite | platform::kFileCreate;
    m_hFile = platform::OpenFile(m_strFileName, how);
    if (m_hFile == platform::kInvalidFile) {
        DropSystemError();
        return -2;
    }
    if (mode == TF_MODE_READ) {
        if (OpenForReading() < 0) {
            Close();
            return -2;
        }
        return 0;
    }
    m_bByteOrderMarkPending = true;
    const char* name = m_strFileName.c_str();
    switch (m_nEncoding) {
        case TF_ENCODING_UTF16LE: m_pWriter = new UTF16LE_TextFileWriter(name, m_hFile, m_nBufferSize); break;
        case TF_ENCODING_UTF16BE: m_pWriter = new UTF16BE_TextFileWriter(name, m_hFile, m_nBufferSize); break;
        case TF_ENCODING_UTF8: m_pWriter = new UTF8_TextFileWriter(name, m_hFile, m_nBufferSize); break;
        default: m_pWriter = new ANSI_TextFileWriter(name, m_hFile, m_nBufferSize); break;
    }
    return 0;
}

int TextFile::OpenForReading() {
    const char* name = m_strFileName.c_str();
    auto makeReader = [&](int encoding) {
        m_nEncoding = encoding;
        switch (encoding) {
            case TF_ENCODING_ANSI: m_pReader = new ANSI_TextFileReader(name, m_hFile, m_nBufferSize); break;
            case TF_ENCODING_UTF16LE: m_pReader = new UTF16LE_TextFileReader(name, m_hFile, m_nBufferSize); break;
            case TF_ENCODING_UTF16BE: m_pReader = new UTF16BE_TextFileReader(name, m_hFile, m_nBufferSize); break;
            case TF_ENCODING_UTF8: m_pReader = new UTF8_TextFileReader(name, m_hFile, m_nBufferSize); break;
            default: m_pReader = new TextFileReader(name, m_hFile, m_nBufferSize); break;
        }
        return 0;
    };
    // Compares the file's first bytes with a mark; on a full match they stay consumed.
    // 1 matched, 0 not (the file is rewound), -1 a read failed.
    auto consumeMark = [&](const unsigned char* mark, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            unsigned char b = 0;
            int n = ReadRawByte(&b);
            if (n < 0) return -1;
            if (n == 0 || b != mark[i]) return Rewind() ? 0 : -1;
        }
        return 1;
    };

    switch (m_nEncoding) {
        case TF_ENCODING_ANSI: return makeReader(TF_ENCODING_ANSI);
        case TF_ENCODING_UTF16LE:
        case TF_ENCODING_UTF16BE:
        case TF_ENCODING_UTF8:
            if (!(m_nFlags & TF_FLAG_NO_BOM_CHECK)) {
                const unsigned char* mark = m_nEncoding == TF_ENCODING_UTF16LE ? kBomUtf16Le
                                            : m_nEncoding == TF_ENCODING_UTF16BE ? kBomUtf16Be
                                                                                 : kBomUtf8;
                if (consumeMark(mark, m_nEncoding == TF_ENCODING_UTF8 ? 3 : 2) < 0) return -2;
            }
            return makeReader(m_nEncoding);
        default: break;
    }

    unsigned char first = 0;
    int n = ReadRawByte(&first);
    if (n < 0) return -2;
    if (n == 0) return makeReader(TF_ENCODING_NONE);
    int found = 0;
    if (first == 0xFF || first == 0xFE || first == 0xEF) {
        const unsigned char* mark = first == 0xFF ? kBomUtf16Le : first == 0xFE ? kBomUtf16Be : kBomUtf8;
        int r = consumeMark(mark + 1, first == 0xEF ? 2 : 1);
        if (r < 0) return -2;
        if (r > 0) found = first == 0xFF ? TF_ENCODING_UTF16LE : first == 0xFE ? TF_ENCODING_UTF16BE : TF_ENCODING_UTF8;
        // consumeMark rewound to the very start on a mismatch
    } else if (!Rewind()) {
        return -2;
    }
    return makeReader(found ? found : TF_ENCODING_ANSI);
}

int TextFile::ReadLine(char** line, BOOL* usedDefault) {
    if (!m_pReader) return -1;
    return m_pReader->ReadLine(line, m_nCodePage, m_pDefaultChar, usedDefault);
}

int TextFile::WritePendingByteOrderMark() {
    if (!m_pWriter) return -2;
    if (!m_bByteOrderMarkPending) return 0;
    int r = m_pWriter->WriteByteOrderMark();
    if (r < 0) return r;
    m_bByteOrderMarkPending = false;
    return 0;
}

int TextFile::WriteString(const char* text) {
    if (!m_pWriter) return -2;
    if (int r = WritePendingByteOrderMark(); r < 0) return r;
    if (!text || !*text) return 0;
    std::size_t length = std::strlen(text);
    // The writers count in int; a longer text goes in parts.
    auto write = [&](const char* part, std::size_t size) {
        constexpr std::size_t kMaxPart = std::size_t{1} << 30;
        do {
            std::size_t take = size < kMaxPart ? size : kMaxPart;
            if (int r = m_pWriter->WriteText(part, static_cast<int>(take), m_nCodePage, m_pDefaultChar, nullptr); r < 0)
                return r;
            part += take;
            size -= take;
        } while (size > 0);
        return 0;
    };
    if (!(m_nFlags & TF_FLAG_NO_LF_EXPANSION)) {
        for (;;) {
            const char* lf = static_cast<const char*>(std::memchr(text, '\n', length));
            if (!lf) break;
            auto part = static_cast<std::size_t>(lf - text);
            // A CR already before the LF is written too, giving CR CR LF.
            if (int r = write(text, part); r < 0) return r;
            if (int r = write("\r\n", 2); r < 0) return r;
            length -= part + 1;
            text = lf + 1;
            if (length == 0) return 0;
        }
    }
    return write(text, length);
}

int TextFile::Close() {
    int result = 0;
    if (m_pWriter && m_pWriter->Flush() < 0) result = -2;
    if (m_hFile != platform::kInvalidFile) {
        if (!platform::CloseFile(m_hFile)) {
            DropSystemError();
            result = -2;
        }
        m_hFile = platform::kInvalidFile;
    }
    delete m_pReader;
    delete m_pWriter;
    m_pReader = nullptr;
    m_pWriter = nullptr;
    m_bByteOrderMarkPending = false;
    return result;
}

}  // namespace vutil
