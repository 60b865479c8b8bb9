#include <cerrno>

#include "vutil/platform/error.h"

namespace vutil::platform {

namespace {
thread_local DWORD t_lastError = kErrorSuccess;
}

DWORD GetLastErrorCode() noexcept { return t_lastError; }
void SetLastErrorCode(DWORD code) noexcept { t_lastError = code; }

DWORD ErrnoToError(int err, ErrorContext context) noexcept {
    switch (err) {
        case 0: return kErrorSuccess;
        case ENOENT:
            // Creating something fails with ENOENT only when a parent is missing.
            return context == ErrorContext::kGeneral ? kErrorFileNotFound : kErrorPathNotFound;
        case ENOTDIR: return kErrorPathNotFound;
        case EACCES:
        case EPERM: return kErrorAccessDenied;
        case EROFS: return kErrorWriteProtect;
        case EBUSY:
        case ETXTBSY: return kErrorSharingViolation;
        case EEXIST: return context == ErrorContext::kCreateDirectory ? kErrorAlreadyExists : kErrorFileExists;
        case ENOTEMPTY: return kErrorDirNotEmpty;
        case ENOSPC:
        case EDQUOT: return kErrorDiskFull;
        case ENAMETOOLONG: return kErrorFilenameExcedRange;
        case EMFILE:
        case ENFILE: return kErrorTooManyOpenFiles;
        case ENOMEM: return kErrorNotEnoughMemory;
        case EBADF: return kErrorInvalidHandle;
        case EINVAL: return kErrorInvalidParameter;
        case EISDIR: return context == ErrorContext::kGeneral ? kErrorAccessDenied : kErrorDirectory;
        case EXDEV: return kErrorNotSameDevice;
        case EIO: return kErrorGenFailure;
        case ESPIPE: return kErrorSeek;
        case EPIPE: return kErrorBrokenPipe;
        case ELOOP: return kErrorCantAccessFile;
        case EMLINK: return kErrorTooManyLinks;
        case ETIMEDOUT: return kErrorTimeout;
        case EAGAIN: return kErrorLockViolation;
        case ENOTSUP: return kErrorNotSupported;
        case ENODEV:
        case ENXIO: return kErrorNotReady;
        case EFBIG: return kErrorDiskFull;
        case EILSEQ: return kErrorInvalidName;
        default: return kErrorGenFailure;
    }
}

DWORD SetLastErrorFromErrno(int err, ErrorContext context) noexcept {
    DWORD code = ErrnoToError(err, context);
    t_lastError = code;
    return code;
}

int ErrorToErrno(DWORD code) noexcept {
    switch (code) {
        case kErrorSuccess: return 0;
        case kErrorFileNotFound: return ENOENT;
        case kErrorPathNotFound: return ENOTDIR;
        case kErrorTooManyOpenFiles: return EMFILE;
        case kErrorAccessDenied: return EACCES;
        case kErrorInvalidHandle: return EBADF;
        case kErrorNotEnoughMemory:
        case kErrorOutOfMemory: return ENOMEM;
        case kErrorWriteProtect: return EROFS;
        case kErrorSharingViolation: return EBUSY;
        case kErrorLockViolation: return EAGAIN;
        case kErrorFileExists:
        case kErrorAlreadyExists: return EEXIST;
        case kErrorInvalidParameter: return EINVAL;
        case kErrorDiskFull: return ENOSPC;
        case kErrorDirNotEmpty: return ENOTEMPTY;
        case kErrorFilenameExcedRange: return ENAMETOOLONG;
        case kErrorNotSameDevice: return EXDEV;
        case kErrorGenFailure: return EIO;
        case kErrorSeek: return ESPIPE;
        case kErrorBrokenPipe: return EPIPE;
        case kErrorNotSupported: return ENOTSUP;
        case kErrorTimeout: return ETIMEDOUT;
        case kErrorDirectory: return ENOTDIR;
        default: return 0;
    }
}

}  // namespace vutil::platform
