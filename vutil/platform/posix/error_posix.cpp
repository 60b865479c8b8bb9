#include <cerrno>
#include <cstring>
#include <string>

#include "vutil/platform/error.h"
#include "vutil/platform/http.h"

namespace vutil::platform {

namespace {
thread_local DWORD t_lastError = kErrorSuccess;
}

DWORD GetLastErrorCode() noexcept { return t_lastError; }
void SetLastErrorCode(DWORD code) noexcept { t_lastError = code; }

DWORD SetLastErrorFromErrno(int err, ErrorContext context) noexcept {
    DWORD code = ErrnoToError(err, context);
    t_lastError = code;
    return code;
}

}  // namespace vutil::platform

namespace vutil::platform {

namespace {

// Codes with no errno counterpart (or whose errno text would mislead) get a
// sentence of our own.
const char* OwnMessage(DWORD code) noexcept {
    switch (code) {
        case kErrorInvalidFunction: return "The function is not valid here";
        case kErrorPathNotFound: return "No such path";
        case kErrorInvalidData: return "The data is not valid";
        case kErrorInvalidDrive: return "No such drive";
        case kErrorCurrentDirectory: return "The current directory cannot be removed";
        case kErrorNoMoreFiles: return "There are no more files";
        case kErrorNotReady: return "The device is not ready";
        case kErrorWriteFault: return "The device could not be written";
        case kErrorReadFault: return "The device could not be read";
        case kErrorHandleEof: return "The end of the file was reached";
        case kErrorFileExists: return "The file exists";
        case kErrorAlreadyExists: return "The file or directory already exists";
        case kErrorInsufficientBuffer: return "The buffer is too small for the data";
        case kErrorInvalidName: return "The file name, directory name or volume label is not valid";
        case kErrorBadPathname: return "The path is not valid";
        case kErrorBusy: return "The resource is in use";
        case kErrorMoreData: return "More data is available than the buffer holds";
        case kErrorNoMoreItems: return "There are no more items";
        case kErrorDirectory: return "The name is not a directory";
        case kErrorBadKey: return "The settings key name is not valid";
        case kErrorRegistryCorrupt: return "The settings file is damaged and was left as it is";
        case kErrorRegistryIoFailed: return "The settings file could not be read or written";
        case kErrorKeyDeleted: return "The settings key has been deleted";
        case kErrorNotFound: return "The element was not found";
        case kErrorFileCorrupt: return "The file is damaged and cannot be read";
        case kErrorCantAccessFile: return "The file cannot be accessed";
        case kErrorBadFormat: return "The program or file has an invalid format";
        case kErrorBadLength: return "The length is not valid for this operation";
        case kErrorNoSystemResources: return "Not enough system resources";
        case kErrorNoAssociation: return "No application is associated with the specified file for this operation";
        default: return nullptr;
    }
}

}  // namespace

std::string GetErrorMessage(DWORD code) {
    if (const char* own = OwnMessage(code)) return own;
    // The Internet error numbers are described beside the HTTP seam.
    if (code > 12000 && code < 12200) return HttpErrorText(code);
    int err = ErrorToErrno(code);
    if (err == 0) return {};
    char buf[256] = {};
    // GNU strerror_r may return a static string instead of filling buf.
    const char* text = strerror_r(err, buf, sizeof buf);
    return text ? std::string(text) : std::string();
}

}  // namespace vutil::platform
