#pragma once
// CFile: a binary file on the platform's file handle; CMemFile: a growable memory file.

#include <cstddef>

#include "vutil/framework/cstring.h"
#include "vutil/framework/types.h"
#include "vutil/platform/file.h"

namespace vutil {

class CFileException;

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Opens or throws CFileException.
    CFile(const char* path, UINT openFlags);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();

    // Returns false (and fills *error when given) instead of throwing.
    virtual bool Open(const char* path, UINT openFlags, CFileException* error = nullptr);
    // Read returns the number of bytes read, fewer at the end of the file; failures
    // of Read, Write, Seek, SetLength and Flush throw CFileException.
    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG newLength);
    virtual void Flush();
    virtual void Close();
    // Closes without throwing.
    virtual void Abort();

    CString GetFilePath() const { return m_strFileName; }
    CString GetFileName() const;
    bool IsOpen() const noexcept { return m_hFile != platform::kInvalidFile; }

protected:
    [[noreturn]] void ThrowLastError() const;

    platform::FileHandle m_hFile = platform::kInvalidFile;
    CString m_strFileName;
};

class CMemFile : public CFile {
public:
    explicit CMemFile(UINT growBytes = 1024);
    // Works on the caller's bytes; with growBytes 0 the file cannot grow past size.
    CMemFile(BYTE* buffer, UINT size, UINT growBytes = 0);
    ~CMemFile() override;

    void Attach(BYTE* buffer, UINT size, UINT growBytes = 0);
    // Hands the buffer to the caller (free() it when the file allocated it) and empties the file.
    BYTE* Detach();

    bool Open(const char* path, UINT openFlags, CFileException* error = nullptr) override;
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetPosition() const override { return m_position; }
    ULONGLONG GetLength() const override { return m_fileSize; }
    void SetLength(ULONGLONG newLength) override;
    void Flush() override {}
    void Close() override;
    void Abort() override { Close(); }

    const BYTE* GetData() const noexcept { return m_buffer; }

private:
    void Grow(std::size_t needed);
    void Release() noexcept;

    BYTE* m_buffer = nullptr;
    std::size_t m_bufferSize = 0;
    std::size_t m_fileSize = 0;
    std::size_t m_position = 0;
    UINT m_growBytes = 1024;
    bool m_autoDelete = true;
};

}  // namespace vutil
