#pragma once
// HTTP (and the other URL schemes the link checker meets) as a pull stream: open a
// request, wait for the final response's headers with redirects followed, then read
// the body piece by piece. Failures carry the Windows Internet error numbers.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vutil::platform {

// Windows Internet error numbers the seam reports.
enum : std::uint32_t {
    kInetOutOfHandles = 12001,
    kInetTimeout = 12002,
    kInetExtendedError = 12003,
    kInetInternalError = 12004,
    kInetInvalidUrl = 12005,
    kInetUnrecognizedScheme = 12006,
    kInetNameNotResolved = 12007,
    kInetLoginFailure = 12015,
    kInetOperationCancelled = 12017,
    kInetCannotConnect = 12029,
    kInetConnectionAborted = 12030,
    kInetConnectionReset = 12031,
    kInetCertDateInvalid = 12037,
    kInetCertNameInvalid = 12038,
    kInetInvalidCa = 12045,
    kInetHeaderNotFound = 12150,
    kInetInvalidServerResponse = 12152,
    kInetRedirectFailed = 12156,
    kInetSecureChannelError = 12157,
};

struct HttpRequest {
    std::string url;
    std::string method = "GET";  // "GET", "POST", "HEAD", ...
    std::string userAgent;
    std::vector<std::string> headers;  // "Name: value", each without a line end
    std::string body;                  // sent as it is
    std::uint32_t connectTimeoutMs = 60000;
    // Longest wait for the next bytes of the response once connected.
    std::uint32_t receiveTimeoutMs = 30000;
    bool followRedirects = true;
    int maxRedirects = 20;
    std::string proxy;  // empty: the system's (environment) settings
};

struct HttpError {
    std::uint32_t code = 0;
    std::string message;
};

class HttpTransfer;
struct HttpTransferDeleter {
    void operator()(HttpTransfer* transfer) const noexcept;
};
using HttpTransferPtr = std::unique_ptr<HttpTransfer, HttpTransferDeleter>;

// Sends the request and waits until the final response's headers are in (or the
// transfer ended). Null and `error` filled on failure.
HttpTransferPtr HttpOpen(const HttpRequest& request, HttpError& error);
// The final HTTP status; 0 for schemes without one (file, ftp).
int HttpStatusCode(const HttpTransfer& transfer);
bool HttpIsHttpScheme(const HttpTransfer& transfer);
// The address after redirects.
std::string HttpEffectiveUrl(const HttpTransfer& transfer);
// The final response's headers as received, "Name: value\r\n" each.
std::string HttpResponseHeaders(const HttpTransfer& transfer);
// Up to `size` bytes of the body; 0 at its end; -1 on failure with `error` filled.
// Memory stays bounded however large the body is.
std::int64_t HttpRead(HttpTransfer& transfer, char* buffer, std::size_t size, HttpError& error);

// The message text for an error number of the list above.
std::string HttpErrorText(std::uint32_t code);

// Connection state flags as the Windows query gives them.
enum : std::uint32_t { kConnectionModem = 0x01, kConnectionLan = 0x02, kConnectionProxy = 0x04 };
// True when the machine has a connection; `flags` says which kinds.
bool QueryInternetConnectedState(std::uint32_t& flags);

}  // namespace vutil::platform
