#pragma once
// Error codes of the library: the Windows system error numbers, kept per thread.

#include <string>

#include "vutil/platform/types.h"

namespace vutil::platform {

// The codes the library itself produces or tests for.
enum : DWORD {
    kErrorSuccess = 0,
    kErrorInvalidFunction = 1,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorTooManyOpenFiles = 4,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorInvalidData = 13,
    kErrorOutOfMemory = 14,
    kErrorInvalidDrive = 15,
    kErrorCurrentDirectory = 16,
    kErrorNotSameDevice = 17,
    kErrorNoMoreFiles = 18,
    kErrorWriteProtect = 19,
    kErrorNotReady = 21,
    kErrorSeek = 25,
    kErrorWriteFault = 29,
    kErrorReadFault = 30,
    kErrorGenFailure = 31,
    kErrorSharingViolation = 32,
    kErrorLockViolation = 33,
    kErrorHandleEof = 38,
    kErrorNotSupported = 50,
    kErrorFileExists = 80,
    kErrorInvalidParameter = 87,
    kErrorBrokenPipe = 109,
    kErrorDiskFull = 112,
    kErrorInsufficientBuffer = 122,
    kErrorInvalidName = 123,
    kErrorDirNotEmpty = 145,
    kErrorBusy = 170,
    kErrorAlreadyExists = 183,
    kErrorFilenameExcedRange = 206,
    kErrorMoreData = 234,
    kErrorNoMoreItems = 259,
    kErrorDirectory = 267,
    kErrorNotFound = 1168,
    kErrorBadPathname = 161,
    kErrorTooManyLinks = 1142,
    kErrorCantAccessFile = 1920,
    kErrorTimeout = 1460,
    kErrorBadFormat = 11,
    kErrorBadLength = 24,
    kErrorFileCorrupt = 1392,
    kErrorNoSystemResources = 1450,
    kErrorRegistryCorrupt = 1015,
    kErrorRegistryIoFailed = 1016,
    kErrorKeyDeleted = 1018,
    kErrorBadKey = 1010,
    kErrorNoAssociation = 1155,
};

// What the failed operation was about; it decides codes that errno alone cannot
// (EEXIST is "file exists" for a file create, "already exists" for a directory).
enum class ErrorContext { kGeneral, kCreateFile, kCreateDirectory, kRemoveDirectory };

DWORD GetLastErrorCode() noexcept;
void SetLastErrorCode(DWORD code) noexcept;

// Maps an errno value to the matching Windows code.
DWORD ErrnoToError(int err, ErrorContext context = ErrorContext::kGeneral) noexcept;
// Records errno (mapped) as the thread's last error and returns the code.
DWORD SetLastErrorFromErrno(int err, ErrorContext context = ErrorContext::kGeneral) noexcept;
// The errno that corresponds to a Windows code, or 0 when there is none.
int ErrorToErrno(DWORD code) noexcept;

// The message text for a code, in one line without a final full stop, or an empty
// string for a code this platform cannot describe. On POSIX the text is the C
// library's strerror of the matching errno, or a sentence of our own for codes
// that have no errno counterpart.
std::string GetErrorMessage(DWORD code);

}  // namespace vutil::platform
