// The HTTP seam on libcurl. One easy handle per transfer, driven through a multi handle
// so the caller pulls the body: the write callback pauses the transfer when the buffer
// holds enough unread bytes and reading resumes it, so memory stays bounded.

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "vutil/platform/http.h"
#include "vutil/platform/http_internal.h"

namespace vutil::platform {
namespace {

// Unread bytes held before the transfer is paused.
constexpr std::size_t kBufferCap = 256 * 1024;

// curl's result codes to the Windows Internet error numbers, in one place.
struct CurlMapping {
    CURLcode curl;
    std::uint32_t inet;
};
constexpr CurlMapping kCurlToInet[] = {
    {CURLE_UNSUPPORTED_PROTOCOL, kInetUnrecognizedScheme},
    {CURLE_URL_MALFORMAT, kInetInvalidUrl},
    {CURLE_COULDNT_RESOLVE_PROXY, kInetNameNotResolved},
    {CURLE_COULDNT_RESOLVE_HOST, kInetNameNotResolved},
    {CURLE_COULDNT_CONNECT, kInetCannotConnect},
    {CURLE_WEIRD_SERVER_REPLY, kInetInvalidServerResponse},
    {CURLE_REMOTE_ACCESS_DENIED, kInetLoginFailure},
    {CURLE_LOGIN_DENIED, kInetLoginFailure},
    {CURLE_HTTP2, kInetInvalidServerResponse},
    {CURLE_HTTP2_STREAM, kInetConnectionAborted},
    {CURLE_PARTIAL_FILE, kInetConnectionAborted},
    {CURLE_HTTP_RETURNED_ERROR, kInetExtendedError},
    {CURLE_REMOTE_FILE_NOT_FOUND, kInetExtendedError},
    {CURLE_FILE_COULDNT_READ_FILE, kInetExtendedError},
    {CURLE_FTP_COULDNT_RETR_FILE, kInetExtendedError},
    {CURLE_WRITE_ERROR, kInetInternalError},
    {CURLE_READ_ERROR, kInetInternalError},
    {CURLE_OPERATION_TIMEDOUT, kInetTimeout},
    {CURLE_RANGE_ERROR, kInetExtendedError},
    {CURLE_SSL_CONNECT_ERROR, kInetSecureChannelError},
    {CURLE_ABORTED_BY_CALLBACK, kInetOperationCancelled},
    {CURLE_TOO_MANY_REDIRECTS, kInetRedirectFailed},
    {CURLE_GOT_NOTHING, kInetConnectionAborted},
    {CURLE_SSL_ENGINE_NOTFOUND, kInetSecureChannelError},
    {CURLE_SSL_ENGINE_SETFAILED, kInetSecureChannelError},
    {CURLE_SEND_ERROR, kInetConnectionAborted},
    {CURLE_RECV_ERROR, kInetConnectionAborted},
    {CURLE_SSL_CERTPROBLEM, kInetSecureChannelError},
    {CURLE_SSL_CIPHER, kInetSecureChannelError},
    {CURLE_PEER_FAILED_VERIFICATION, kInetInvalidCa},
    {CURLE_BAD_CONTENT_ENCODING, kInetInvalidServerResponse},
    {CURLE_SSL_CACERT_BADFILE, kInetSecureChannelError},
    {CURLE_SSL_SHUTDOWN_FAILED, kInetConnectionAborted},
    {CURLE_SSL_CRL_BADFILE, kInetSecureChannelError},
    {CURLE_SSL_ISSUER_ERROR, kInetInvalidCa},
    {CURLE_SSL_PINNEDPUBKEYNOTMATCH, kInetInvalidCa},
    {CURLE_SSL_INVALIDCERTSTATUS, kInetInvalidCa},
    {CURLE_AUTH_ERROR, kInetLoginFailure},
    {CURLE_HTTP3, kInetInvalidServerResponse},
    {CURLE_QUIC_CONNECT_ERROR, kInetCannotConnect},
    {CURLE_PROXY, kInetCannotConnect},
    {CURLE_SSL_CLIENTCERT, kInetSecureChannelError},
};

bool Contains(const char* text, const char* part) { return text && std::strstr(text, part) != nullptr; }

// Some curl codes cover several Windows cases; curl's detail text tells them apart.
std::uint32_t MapCurlResult(CURLcode result, const char* detail) {
    if (result == CURLE_RECV_ERROR || result == CURLE_SEND_ERROR)
        return Contains(detail, "reset by peer") ? kInetConnectionReset : kInetConnectionAborted;
    if (result == CURLE_PEER_FAILED_VERIFICATION) {
        if (Contains(detail, "expired") || Contains(detail, "not yet valid")) return kInetCertDateInvalid;
        if (Contains(detail, "subject name") || Contains(detail, "does not match")) return kInetCertNameInvalid;
        return kInetInvalidCa;
    }
    for (const auto& m : kCurlToInet)
        if (m.curl == result) return m.inet;
    return kInetInternalError;
}

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool IsRedirectStatus(long code) {
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

// Only addresses that name a scheme curl is allowed to use; curl would otherwise guess
// one ("mailto:a@b" as a host name) and go to the network.
bool HasKnownScheme(std::string_view url) {
    static constexpr std::string_view kSchemes[] = {"http:", "https:", "ftp:", "ftps:", "file:", "gopher:", "gophers:"};
    for (std::string_view scheme : kSchemes)
        if (StartsWithNoCase(url, scheme)) return true;
    return false;
}

}  // namespace

class HttpTransfer {
public:
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    curl_slist* headerList = nullptr;
    std::string body;  // the request body; curl reads it in place
    char detail[CURL_ERROR_SIZE] = {};

    std::string buffer;  // received body bytes, unread from `pos` on
    std::size_t pos = 0;
    bool paused = false;
    bool headersDone = false;
    bool done = false;
    CURLcode result = CURLE_OK;
    bool followRedirects = true;
    bool sawLocation = false;
    std::string blockHeaders;  // headers of the response being received
    std::string finalHeaders;
    std::uint32_t receiveTimeoutMs = 30000;
    std::uint32_t connectTimeoutMs = 60000;
    std::uint64_t progress = 0;  // grows with every byte seen, for the time-out

    ~HttpTransfer() {
        if (multi && easy) curl_multi_remove_handle(multi, easy);
        if (easy) curl_easy_cleanup(easy);
        if (multi) curl_multi_cleanup(multi);
        if (headerList) curl_slist_free_all(headerList);
    }

    std::size_t Unread() const { return buffer.size() - pos; }

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
        auto* t = static_cast<HttpTransfer*>(self);
        const std::size_t n = size * count;
        t->headersDone = true;
        if (t->Unread() >= kBufferCap) {
            t->paused = true;
            return CURL_WRITEFUNC_PAUSE;
        }
        if (t->pos > 0 && t->pos == t->buffer.size()) {
            t->buffer.clear();
            t->pos = 0;
        }
        t->buffer.append(data, n);
        t->progress += n;
        return n;
    }

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
        auto* t = static_cast<HttpTransfer*>(self);
        const std::size_t n = size * count;
        const std::string_view line(data, n);
        t->progress += n;
        if (StartsWithNoCase(line, "HTTP/")) {
            t->blockHeaders.clear();
            t->sawLocation = false;
        } else if (line == "\r\n" || line == "\n") {
            long code = 0;
            curl_easy_getinfo(t->easy, CURLINFO_RESPONSE_CODE, &code);
            const bool interim = code / 100 == 1 || (t->followRedirects && t->sawLocation && IsRedirectStatus(code));
            if (!interim) {
                t->finalHeaders = t->blockHeaders;
                t->headersDone = true;
            }
            return n;
        } else if (StartsWithNoCase(line, "location:")) {
            t->sawLocation = true;
        }
        t->blockHeaders.append(line);
        return n;
    }

    // Drives the transfer until `ready()` holds or it ends. False on a time-out.
    template <typename Ready>
    bool Pump(Ready ready) {
        using Clock = std::chrono::steady_clock;
        auto lastProgressAt = Clock::now();
        std::uint64_t lastProgress = progress;
        while (!done && !ready()) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                Finish(CURLE_FAILED_INIT);
                break;
            }
            int queued = 0;
            while (CURLMsg* msg = curl_multi_info_read(multi, &queued))
                if (msg->msg == CURLMSG_DONE) Finish(msg->data.result);
            if (done || ready()) break;
            if (progress != lastProgress) {
                lastProgress = progress;
                lastProgressAt = Clock::now();
            } else {
                curl_off_t connectedAt = 0;
                curl_easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connectedAt);
                const auto limit = std::chrono::milliseconds(connectedAt > 0 ? receiveTimeoutMs
                                                                            : std::max(receiveTimeoutMs, connectTimeoutMs));
                if (Clock::now() - lastProgressAt >= limit) return false;
            }
            curl_multi_poll(multi, nullptr, 0, 50, nullptr);
        }
        return true;
    }

    void Finish(CURLcode r) {
        done = true;
        result = r;
        headersDone = true;
    }

    void Fail(HttpError& error, std::uint32_t code) const {
        error.code = code;
        error.message = HttpErrorText(code);
        if (detail[0]) error.message += std::string(" (") + detail + ")";
    }
};

void HttpTransferDeleter::operator()(HttpTransfer* transfer) const noexcept { delete transfer; }

std::string HttpErrorText(std::uint32_t code) { return HttpErrorSentence(code); }

HttpTransferPtr HttpOpen(const HttpRequest& request, HttpError& error) {
    GlobalInit();
    HttpTransferPtr t(new HttpTransfer);
    if (!HasKnownScheme(request.url)) {
        t->Fail(error, kInetUnrecognizedScheme);
        return nullptr;
    }
    t->multi = curl_multi_init();
    t->easy = curl_easy_init();
    if (!t->multi || !t->easy) {
        t->Fail(error, kInetOutOfHandles);
        return nullptr;
    }
    CURL* e = t->easy;
    t->followRedirects = request.followRedirects;
    t->receiveTimeoutMs = std::max<std::uint32_t>(request.receiveTimeoutMs, 1);
    t->connectTimeoutMs = std::max<std::uint32_t>(request.connectTimeoutMs, 1);
    curl_easy_setopt(e, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t->detail);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps,file,gopher,gophers");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, static_cast<long>(request.maxRedirects));
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(t->connectTimeoutMs));
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &HttpTransfer::OnBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, t.get());
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HttpTransfer::OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, t.get());
    if (!request.userAgent.empty()) curl_easy_setopt(e, CURLOPT_USERAGENT, request.userAgent.c_str());
    if (request.direct) curl_easy_setopt(e, CURLOPT_PROXY, "");
    else if (!request.proxy.empty()) curl_easy_setopt(e, CURLOPT_PROXY, request.proxy.c_str());
    // The loopback never goes through a proxy, whatever the environment says.
    std::string noProxy = "localhost,127.0.0.1,::1";
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        if (const char* v = std::getenv(name); v && *v) {
            noProxy += ",";
            noProxy += v;
            break;
        }
    }
    curl_easy_setopt(e, CURLOPT_NOPROXY, noProxy.c_str());
    for (const auto& h : request.headers) t->headerList = curl_slist_append(t->headerList, h.c_str());
    if (t->headerList) curl_easy_setopt(e, CURLOPT_HTTPHEADER, t->headerList);
    if (request.method == "HEAD") {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    } else if (request.method == "POST") {
        t->body = request.body;
        curl_easy_setopt(e, CURLOPT_POST, 1L);
        curl_easy_setopt(e, CURLOPT_POSTFIELDS, t->body.data());
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(t->body.size()));
    } else if (request.method != "GET") {
        curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
    if (curl_multi_add_handle(t->multi, e) != CURLM_OK) {
        t->Fail(error, kInetInternalError);
        return nullptr;
    }
    HttpTransfer* raw = t.get();
    if (!t->Pump([raw] { return raw->headersDone; })) {
        t->Fail(error, kInetTimeout);
        return nullptr;
    }
    if (t->done && t->result != CURLE_OK) {
        t->Fail(error, MapCurlResult(t->result, t->detail));
        return nullptr;
    }
    return t;
}

int HttpStatusCode(const HttpTransfer& transfer) {
    long code = 0;
    curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &code);
    return static_cast<int>(code);
}

bool HttpIsHttpScheme(const HttpTransfer& transfer) {
    const char* scheme = nullptr;
    curl_easy_getinfo(transfer.easy, CURLINFO_SCHEME, &scheme);
    return scheme && (StartsWithNoCase(scheme, "http") && (scheme[4] == '\0' || StartsWithNoCase(scheme, "https")));
}

std::string HttpEffectiveUrl(const HttpTransfer& transfer) {
    const char* url = nullptr;
    curl_easy_getinfo(transfer.easy, CURLINFO_EFFECTIVE_URL, &url);
    return url ? url : "";
}

std::string HttpResponseHeaders(const HttpTransfer& transfer) { return transfer.finalHeaders; }

std::int64_t HttpRead(HttpTransfer& t, char* buffer, std::size_t size, HttpError& error) {
    if (size == 0) return 0;
    if (t.Unread() == 0 && !t.done) {
        if (t.paused) {
            t.paused = false;
            curl_easy_pause(t.easy, CURLPAUSE_CONT);
        }
        HttpTransfer* raw = &t;
        if (!t.Pump([raw] { return raw->Unread() > 0; })) {
            t.Fail(error, kInetTimeout);
            return -1;
        }
    }
    const std::size_t n = std::min(size, t.Unread());
    if (n == 0) {
        if (t.result != CURLE_OK) {
            t.Fail(error, MapCurlResult(t.result, t.detail));
            return -1;
        }
        return 0;
    }
    std::memcpy(buffer, t.buffer.data() + t.pos, n);
    t.pos += n;
    if (t.pos == t.buffer.size()) {
        t.buffer.clear();
        t.pos = 0;
    }
    return static_cast<std::int64_t>(n);
}

}  // namespace vutil::platform
