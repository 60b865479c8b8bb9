#pragma once
// Framework exceptions. Thrown by value, caught by reference.

#include <exception>

#include "vutil/framework/cstring.h"

namespace vutil {

class CException : public std::exception {
public:
    const char* what() const noexcept override { return "vutil::CException"; }
};

class CArchiveException : public CException {
public:
    enum {
        none,
        genericException,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema
    };

    explicit CArchiveException(int cause = none, CString fileName = CString())
        : m_cause(cause), m_strFileName(std::move(fileName)) {}
    const char* what() const noexcept override;

    int m_cause;
    CString m_strFileName;
};

class CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    CFileException(int cause = none, long osError = -1, CString fileName = CString())
        : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}
    const char* what() const noexcept override;

    // Maps a Windows error code to the matching cause.
    static int OsErrorToException(long osError);

    int m_cause;
    long m_lOsError;
    CString m_strFileName;
};

}  // namespace vutil
