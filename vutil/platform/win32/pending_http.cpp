// Placeholders for the http part of the Windows backend until it is written: each
// fails with ERROR_CALL_NOT_IMPLEMENTED. Remove this file with the real one.
#include "vutil/platform/win32/win32_util.h"
#include "vutil/platform/http.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace vutil::platform {

class HttpTransfer {};
void HttpTransferDeleter::operator()(HttpTransfer* transfer) const noexcept { delete transfer; }
HttpTransferPtr HttpOpen(const HttpRequest& request, HttpError& error) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
int HttpStatusCode(const HttpTransfer& transfer) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool HttpIsHttpScheme(const HttpTransfer& transfer) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string HttpEffectiveUrl(const HttpTransfer& transfer) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::string HttpResponseHeaders(const HttpTransfer& transfer) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
std::int64_t HttpRead(HttpTransfer& transfer, char* buffer, std::size_t size, HttpError& error) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return -1; }
std::string HttpErrorText(std::uint32_t code) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }
bool QueryInternetConnectedState(std::uint32_t& flags) { ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED); return {}; }

}  // namespace vutil::platform
