#include "vutil/framework/file.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "vutil/framework/exceptions.h"
#include "vutil/platform/error.h"

namespace vutil {

namespace {

int CauseOf(DWORD code) { return CFileException::OsErrorToException(static_cast<long>(code)); }

}  // namespace

int CFileException::OsErrorToException(long osError) {
    switch (osError) {
        case platform::kErrorSuccess: return none;
        case platform::kErrorFileNotFound: return fileNotFound;
        case platform::kErrorPathNotFound:
        case platform::kErrorInvalidName:
        case platform::kErrorFilenameExcedRange:
        case platform::kErrorInvalidDrive: return badPath;
        case platform::kErrorTooManyOpenFiles: return tooManyOpenFiles;
        case platform::kErrorAccessDenied:
        case platform::kErrorWriteProtect:
        case platform::kErrorFileExists:
        case platform::kErrorAlreadyExists: return accessDenied;
        case platform::kErrorInvalidHandle: return invalidFile;
        case platform::kErrorCurrentDirectory: return removeCurrentDir;
        case platform::kErrorSeek:
        case platform::kErrorInvalidParameter: return badSeek;
        case platform::kErrorSharingViolation: return sharingViolation;
        case platform::kErrorLockViolation: return lockViolation;
        case platform::kErrorDiskFull: return diskFull;
        case platform::kErrorHandleEof: return endOfFile;
        case platform::kErrorGenFailure:
        case platform::kErrorReadFault:
        case platform::kErrorWriteFault: return hardIO;
        default: return genericException;
    }
}

const char* CFileException::what() const noexcept { return "vutil::CFileException"; }
const char* CArchiveException::what() const noexcept {
    switch (m_cause) {
        case endOfFile: return "vutil::CArchiveException: end of file";
        case genericException: return "vutil::CArchiveException: data this archive cannot hold";
        case badIndex: return "vutil::CArchiveException: invalid file format";
        case readOnly: return "vutil::CArchiveException: write to a loading archive";
        case writeOnly: return "vutil::CArchiveException: read from a storing archive";
        default: return "vutil::CArchiveException";
    }
}

CFile::CFile(const char* path, UINT openFlags) {
    CFileException error;
    if (!Open(path, openFlags, &error)) throw error;
}

CFile::~CFile() {
    if (IsOpen()) Abort();
}

bool CFile::Open(const char* path, UINT openFlags, CFileException* error) {
    if (IsOpen()) Abort();
    m_strFileName = path;
    unsigned flags = 0;
    switch (openFlags & 0x3) {
        case modeWrite: flags = platform::kFileWrite; break;
        case modeReadWrite: flags = platform::kFileRead | platform::kFileWrite; break;
        default: flags = platform::kFileRead; break;
    }
    if (openFlags & modeCreate) {
        flags |= platform::kFileCreate;
        if (!(openFlags & modeNoTruncate)) flags |= platform::kFileTruncate;
    }
    m_hFile = platform::OpenFile(path ? path : "", flags);
    if (m_hFile == platform::kInvalidFile) {
        if (error) {
            DWORD code = platform::GetLastErrorCode();
            *error = CFileException(CauseOf(code), static_cast<long>(code), m_strFileName);
        }
        return false;
    }
    return true;
}

void CFile::ThrowLastError() const {
    DWORD code = platform::GetLastErrorCode();
    throw CFileException(CauseOf(code), static_cast<long>(code), m_strFileName);
}

UINT CFile::Read(void* buffer, UINT count) {
    if (!IsOpen()) throw CFileException(CFileException::invalidFile, platform::kErrorInvalidHandle, m_strFileName);
    UINT total = 0;
    // POSIX may return short reads before the end; keep reading so callers can treat
    // a short count as the end of the file, as they may on Windows.
    while (total < count) {
        std::int64_t n = platform::ReadFile(m_hFile, static_cast<char*>(buffer) + total, count - total);
        if (n < 0) ThrowLastError();
        if (n == 0) break;
        total += static_cast<UINT>(n);
    }
    return total;
}

void CFile::Write(const void* buffer, UINT count) {
    if (!IsOpen()) throw CFileException(CFileException::invalidFile, platform::kErrorInvalidHandle, m_strFileName);
    if (count == 0) return;
    if (platform::WriteFile(m_hFile, buffer, count) < 0) ThrowLastError();
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
    platform::SeekOrigin origin = from == current ? platform::SeekOrigin::kCurrent
                                  : from == end   ? platform::SeekOrigin::kEnd
                                                  : platform::SeekOrigin::kBegin;
    std::int64_t r = platform::SeekFile(m_hFile, offset, origin);
    if (r < 0) ThrowLastError();
    return static_cast<ULONGLONG>(r);
}

ULONGLONG CFile::GetPosition() const {
    std::int64_t r = platform::SeekFile(m_hFile, 0, platform::SeekOrigin::kCurrent);
    if (r < 0) ThrowLastError();
    return static_cast<ULONGLONG>(r);
}

ULONGLONG CFile::GetLength() const {
    std::int64_t r = platform::GetFileSize(m_hFile);
    if (r < 0) ThrowLastError();
    return static_cast<ULONGLONG>(r);
}

void CFile::SetLength(ULONGLONG newLength) {
    if (!platform::SetFileSize(m_hFile, static_cast<std::int64_t>(newLength))) ThrowLastError();
}

void CFile::Flush() {
    if (IsOpen() && !platform::FlushFile(m_hFile)) ThrowLastError();
}

void CFile::Close() {
    if (!IsOpen()) return;
    bool ok = platform::CloseFile(m_hFile);
    m_hFile = platform::kInvalidFile;
    if (!ok) ThrowLastError();
}

void CFile::Abort() {
    if (IsOpen()) platform::CloseFile(m_hFile);
    m_hFile = platform::kInvalidFile;
}

CString CFile::GetFileName() const {
    int slash = -1;
    for (int i = 0; i < m_strFileName.GetLength(); ++i) {
        if (m_strFileName[i] == '\\' || m_strFileName[i] == '/') slash = i;
    }
    return m_strFileName.Mid(slash + 1);
}

// ---- CMemFile ----

CMemFile::CMemFile(UINT growBytes) : m_growBytes(growBytes) {}

CMemFile::CMemFile(BYTE* buffer, UINT size, UINT growBytes) { Attach(buffer, size, growBytes); }

CMemFile::~CMemFile() { Release(); }

void CMemFile::Release() noexcept {
    if (m_autoDelete) std::free(m_buffer);
    m_buffer = nullptr;
    m_bufferSize = m_fileSize = m_position = 0;
}

void CMemFile::Attach(BYTE* buffer, UINT size, UINT growBytes) {
    Release();
    m_buffer = buffer;
    m_bufferSize = size;
    m_fileSize = growBytes == 0 ? size : 0;
    m_growBytes = growBytes;
    m_autoDelete = false;
}

BYTE* CMemFile::Detach() {
    BYTE* b = m_buffer;
    m_buffer = nullptr;
    m_bufferSize = m_fileSize = m_position = 0;
    m_autoDelete = true;
    return b;
}

bool CMemFile::Open(const char*, UINT, CFileException* error) {
    // A memory file has no path.
    if (error) *error = CFileException(CFileException::genericException, platform::kErrorNotSupported);
    return false;
}

void CMemFile::Grow(std::size_t needed) {
    if (needed <= m_bufferSize) return;
    if (m_growBytes == 0) throw std::bad_alloc();
    // Geometric growth keeps a long run of small writes linear.
    std::size_t size = m_bufferSize + m_bufferSize / 2;
    if (size < needed) size = needed;
    size = (size + m_growBytes - 1) / m_growBytes * m_growBytes;
    BYTE* p;
    if (m_autoDelete) {
        p = static_cast<BYTE*>(std::realloc(m_buffer, size));
        if (!p) throw std::bad_alloc();
    } else {
        p = static_cast<BYTE*>(std::malloc(size));
        if (!p) throw std::bad_alloc();
        if (m_fileSize) std::memcpy(p, m_buffer, m_fileSize);
        m_autoDelete = true;
    }
    m_buffer = p;
    m_bufferSize = size;
}

UINT CMemFile::Read(void* buffer, UINT count) {
    if (m_position >= m_fileSize || count == 0) return 0;
    std::size_t n = m_fileSize - m_position;
    if (n > count) n = count;
    std::memcpy(buffer, m_buffer + m_position, n);
    m_position += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count) {
    if (count == 0) return;
    std::size_t end = m_position + count;
    if (end > m_bufferSize) Grow(end);
    if (m_position > m_fileSize) std::memset(m_buffer + m_fileSize, 0, m_position - m_fileSize);
    std::memcpy(m_buffer + m_position, buffer, count);
    m_position = end;
    if (end > m_fileSize) m_fileSize = end;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from) {
    LONGLONG base = from == current ? static_cast<LONGLONG>(m_position)
                    : from == end   ? static_cast<LONGLONG>(m_fileSize)
                                    : 0;
    LONGLONG target;
    if (__builtin_add_overflow(base, offset, &target) || target < 0) {
        throw CFileException(CFileException::badSeek, platform::kErrorSeek, m_strFileName);
    }
    m_position = static_cast<std::size_t>(target);
    return static_cast<ULONGLONG>(target);
}

void CMemFile::SetLength(ULONGLONG newLength) {
    if (newLength > m_bufferSize) Grow(static_cast<std::size_t>(newLength));
    if (newLength > m_fileSize) std::memset(m_buffer + m_fileSize, 0, static_cast<std::size_t>(newLength) - m_fileSize);
    m_fileSize = static_cast<std::size_t>(newLength);
    if (m_position > m_fileSize) m_position = m_fileSize;
}

void CMemFile::Close() { Release(); }

}  // namespace vutil
