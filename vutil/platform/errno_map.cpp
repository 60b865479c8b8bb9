// errno values and the Windows codes, both ways: the C runtime's errno is the same
// notion on every backend (POSIX calls, and the Windows C runtime's own functions).

#include <cerrno>

#include "vutil/platform/error.h"

namespace vutil::platform {

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
#ifdef ETXTBSY
        case ETXTBSY:
#endif
            return kErrorSharingViolation;
        case EEXIST: return context == ErrorContext::kCreateDirectory ? kErrorAlreadyExists : kErrorFileExists;
        case ENOTEMPTY: return kErrorDirNotEmpty;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
        case EFBIG: return kErrorDiskFull;
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
#ifdef ELOOP
        case ELOOP: return kErrorCantAccessFile;
#endif
        case EMLINK: return kErrorTooManyLinks;
#ifdef ETIMEDOUT
        case ETIMEDOUT: return kErrorTimeout;
#endif
        case EAGAIN: return kErrorLockViolation;
#ifdef ENOTSUP
        case ENOTSUP: return kErrorNotSupported;
#endif
        case ENODEV:
        case ENXIO: return kErrorNotReady;
        case EILSEQ: return kErrorInvalidName;
        default: return kErrorGenFailure;
    }
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
#ifdef ENOTSUP
        case kErrorNotSupported: return ENOTSUP;
#endif
#ifdef ETIMEDOUT
        case kErrorTimeout: return ETIMEDOUT;
#endif
        case kErrorDirectory: return ENOTDIR;
        default: return 0;
    }
}

}  // namespace vutil::platform
