#include "vutil/platform/http.h"
#include "vutil/platform/http_internal.h"

namespace vutil::platform {

std::string HttpErrorSentence(std::uint32_t code) {
    switch (code) {
    case kInetOutOfHandles: return "No more Internet handles are available";
    case kInetTimeout: return "The request timed out";
    case kInetExtendedError: return "The server returned an extended error";
    case kInetInternalError: return "Internal error in the Internet access";
    case kInetInvalidUrl: return "The address is not a valid URL";
    case kInetUnrecognizedScheme: return "The address's scheme is not supported";
    // Link validation looks for this sentence.
    case kInetNameNotResolved: return "The server name or address could not be resolved";
    case kInetLoginFailure: return "Logging on to the server failed";
    case kInetOperationCancelled: return "The request was cancelled";
    case kInetCannotConnect: return "Could not connect to the server";
    case kInetConnectionAborted: return "The connection to the server was aborted";
    case kInetConnectionReset: return "The connection to the server was reset";
    case kInetCertDateInvalid: return "The server's certificate has expired or is not yet valid";
    case kInetCertNameInvalid: return "The server's certificate names another host";
    case kInetInvalidCa: return "The server's certificate comes from an unknown authority";
    case kInetHeaderNotFound: return "The requested header was not found";
    case kInetInvalidServerResponse: return "The server's response could not be understood";
    case kInetRedirectFailed: return "The redirection could not be followed";
    case kInetSecureChannelError: return "The secure channel could not be set up";
    default: return "Internet error " + std::to_string(code);
    }
}

}  // namespace vutil::platform
