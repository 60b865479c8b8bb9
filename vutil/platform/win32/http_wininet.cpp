// The HTTP seam on WinINet, synchronous: one Internet handle per transfer, the request
// sent with HttpSendRequestW and the body pulled with InternetReadFile straight into the
// caller's buffer. Redirects are followed here rather than by WinINet, so the limit is
// the caller's and a loop ends as the POSIX backend ends it. Other schemes go through
// InternetOpenUrlW, which answers for what the system supports.

// win32_util.h brings <windows.h>, which <wininet.h> needs before it.
#include "vutil/platform/win32/win32_util.h"

#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <utility>

#include "vutil/platform/http.h"
#include "vutil/platform/http_internal.h"

namespace vutil::platform {
namespace {

using win32::Narrow;
using win32::Wide;

class InetHandle {
public:
    InetHandle() = default;
    explicit InetHandle(HINTERNET h) noexcept : m_h(h) {}
    ~InetHandle() { reset(); }
    InetHandle(InetHandle&& o) noexcept : m_h(std::exchange(o.m_h, nullptr)) {}
    InetHandle& operator=(InetHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.m_h, nullptr));
        return *this;
    }
    HINTERNET get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h != nullptr; }
    void reset(HINTERNET h = nullptr) noexcept {
        if (m_h) ::InternetCloseHandle(m_h);
        m_h = h;
    }

private:
    HINTERNET m_h = nullptr;
};

// The parts of an address, copied out of InternetCrackUrlW's view of it.
struct UrlParts {
    INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
    std::wstring host, user, password, object;
    INTERNET_PORT port = 0;
};

// False with the thread's last error at 12005 or 12006, as the address deserves.
bool CrackUrl(const std::wstring& url, UrlParts& parts) {
    URL_COMPONENTSW c{};
    c.dwStructSize = sizeof c;
    // Non-zero lengths with null buffers: the parts come back as pointers into `url`.
    c.dwSchemeLength = c.dwHostNameLength = c.dwUserNameLength = c.dwPasswordLength = 1;
    c.dwUrlPathLength = c.dwExtraInfoLength = 1;
    if (!::InternetCrackUrlW(url.c_str(), static_cast<::DWORD>(url.size()), 0, &c)) {
        if (::GetLastError() != kInetUnrecognizedScheme) ::SetLastError(kInetInvalidUrl);
        return false;
    }
    auto part = [](const wchar_t* p, ::DWORD n) { return p ? std::wstring(p, n) : std::wstring(); };
    parts.scheme = c.nScheme;
    parts.host = part(c.lpszHostName, c.dwHostNameLength);
    parts.user = part(c.lpszUserName, c.dwUserNameLength);
    parts.password = part(c.lpszPassword, c.dwPasswordLength);
    parts.object = part(c.lpszUrlPath, c.dwUrlPathLength) + part(c.lpszExtraInfo, c.dwExtraInfoLength);
    if (parts.object.empty()) parts.object = L"/";
    parts.port = c.nPort;
    return true;
}

// Socket errors that come through some WinINet builds unchanged, as the Internet numbers
// the seam promises.
std::uint32_t InternetCode(::DWORD code) {
    constexpr ::DWORD kWsaConnAborted = 10053, kWsaConnReset = 10054, kWsaTimedOut = 10060, kWsaConnRefused = 10061,
                      kWsaHostNotFound = 11001;
    switch (code) {
    case 0: return kInetInternalError;
    case kWsaConnAborted: return kInetConnectionAborted;
    case kWsaConnReset: return kInetConnectionReset;
    case kWsaTimedOut: return kInetTimeout;
    case kWsaConnRefused: return kInetCannotConnect;
    case kWsaHostNotFound: return kInetNameNotResolved;
    default: return code;
    }
}

bool IsLoopback(const std::wstring& host) {
    return ::lstrcmpiW(host.c_str(), L"localhost") == 0 || host.rfind(L"127.", 0) == 0 || host == L"::1" ||
           host == L"[::1]";
}

bool IsRedirectStatus(::DWORD code) {
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

// A header or option of the request as text; empty when it has none.
std::wstring QueryText(HINTERNET request, ::DWORD info) {
    std::wstring text(256, L'\0');
    for (;;) {
        ::DWORD bytes = static_cast<::DWORD>(text.size() * sizeof(wchar_t));
        if (::HttpQueryInfoW(request, info, text.data(), &bytes, nullptr)) {
            text.resize(bytes / sizeof(wchar_t));
            return text;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        text.resize(bytes / sizeof(wchar_t) + 1);
    }
}

std::wstring QueryUrlOption(HINTERNET request) {
    ::DWORD bytes = 0;
    ::InternetQueryOptionW(request, INTERNET_OPTION_URL, nullptr, &bytes);
    if (bytes == 0) return {};
    std::wstring url(bytes / sizeof(wchar_t) + 1, L'\0');
    if (!::InternetQueryOptionW(request, INTERNET_OPTION_URL, url.data(), &bytes)) return {};
    // The length it reports back is not in bytes everywhere; the terminator is.
    url.resize(std::wcslen(url.c_str()));
    return url;
}

std::wstring CombineUrl(const std::wstring& base, const std::wstring& relative) {
    std::wstring out(base.size() + relative.size() + 64, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        ::DWORD length = static_cast<::DWORD>(out.size());
        if (::InternetCombineUrlW(base.c_str(), relative.c_str(), out.data(), &length, ICU_NO_ENCODE)) {
            out.resize(length);
            return out;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        out.resize(length + 1);
    }
    return {};
}

void SetTimeouts(HINTERNET h, const HttpRequest& request) {
    ::DWORD connect = std::max<std::uint32_t>(request.connectTimeoutMs, 1);
    ::DWORD receive = std::max<std::uint32_t>(request.receiveTimeoutMs, 1);
    ::InternetSetOptionW(h, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    ::InternetSetOptionW(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
    ::InternetSetOptionW(h, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &receive, sizeof receive);
    ::InternetSetOptionW(h, INTERNET_OPTION_SEND_TIMEOUT, &receive, sizeof receive);
}

constexpr ::DWORD kRequestFlags =
    INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;

}  // namespace

class HttpTransfer {
public:
    // Closed in reverse: a request before its connection before the session.
    InetHandle session, connection, request;
    bool http = false;
    int status = 0;
    std::string url;
    std::string headers;

    // Fills `error` from the thread's last error (what the failed call left).
    static void Fail(HttpError& error, std::uint32_t code) {
        code = InternetCode(code);
        std::wstring detail;
        if (code == kInetExtendedError) {
            // The server's own words (an FTP reply, a proxy's refusal) say what went wrong.
            ::DWORD kind = 0, length = 0;
            ::InternetGetLastResponseInfoW(&kind, nullptr, &length);
            if (length > 0) {
                detail.resize(length + 1);
                if (::InternetGetLastResponseInfoW(&kind, detail.data(), &length)) detail.resize(length);
                else detail.clear();
            }
            while (!detail.empty() && (detail.back() == L'\r' || detail.back() == L'\n' || detail.back() == L' '))
                detail.pop_back();
        }
        error.code = code;
        error.message = HttpErrorText(code);
        if (!detail.empty()) error.message += " (" + Narrow(detail) + ")";
    }

    // Sends one request to `target`; false with the thread's last error on failure.
    bool Send(const std::wstring& target, const UrlParts& parts, const std::wstring& method,
              const std::wstring& headerBlock, const std::string& body, const HttpRequest& options) {
        request.reset();
        connection.reset(::InternetConnectW(session.get(), parts.host.c_str(), parts.port,
                                            parts.user.empty() ? nullptr : parts.user.c_str(),
                                            parts.password.empty() ? nullptr : parts.password.c_str(),
                                            INTERNET_SERVICE_HTTP, 0, 0));
        if (!connection) return false;
        ::DWORD flags = kRequestFlags | INTERNET_FLAG_NO_AUTO_REDIRECT;
        if (parts.scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
        request.reset(::HttpOpenRequestW(connection.get(), method.c_str(), parts.object.c_str(), nullptr, nullptr,
                                         nullptr, flags, 0));
        if (!request) return false;
        SetTimeouts(request.get(), options);
        void* data = body.empty() ? nullptr : const_cast<char*>(body.data());  // the API wants it writable
        if (!::HttpSendRequestW(request.get(), headerBlock.empty() ? nullptr : headerBlock.c_str(),
                                static_cast<::DWORD>(headerBlock.size()), data, static_cast<::DWORD>(body.size())))
            return false;
        ::DWORD code = 0, size = sizeof code;
        if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr))
            return false;
        // No status line at all: the connection ended before the server said anything
        // (some WinINet builds report a reset or a close this way rather than failing).
        if (code == 0) return win32::Fail(kInetConnectionAborted);
        status = static_cast<int>(code);
        const std::wstring effective = QueryUrlOption(request.get());
        url = Narrow(effective.empty() ? target : effective);
        return true;
    }
};

void HttpTransferDeleter::operator()(HttpTransfer* transfer) const noexcept { delete transfer; }

std::string HttpErrorText(std::uint32_t code) {
    wchar_t* text = nullptr;
    const ::DWORD saved = ::GetLastError();
    const ::DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
            FORMAT_MESSAGE_IGNORE_INSERTS,
        ::GetModuleHandleW(L"wininet.dll"), code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", text ? length : 0);
    if (text) ::LocalFree(text);
    ::SetLastError(saved);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    return message.empty() ? HttpErrorSentence(code) : Narrow(message);
}

HttpTransferPtr HttpOpen(const HttpRequest& request, HttpError& error) {
    HttpTransferPtr t(new HttpTransfer);
    std::wstring target = Wide(request.url);
    UrlParts parts;
    if (!CrackUrl(target, parts)) {
        HttpTransfer::Fail(error, ::GetLastError());
        return nullptr;
    }
    const bool http = parts.scheme == INTERNET_SCHEME_HTTP || parts.scheme == INTERNET_SCHEME_HTTPS;
    if (!http && parts.scheme != INTERNET_SCHEME_FTP && parts.scheme != INTERNET_SCHEME_FILE &&
        parts.scheme != INTERNET_SCHEME_GOPHER) {
        HttpTransfer::Fail(error, kInetUnrecognizedScheme);
        return nullptr;
    }
    if (http && parts.host.empty()) {
        HttpTransfer::Fail(error, kInetInvalidUrl);
        return nullptr;
    }

    const std::wstring agent = Wide(request.userAgent);
    ::DWORD access = INTERNET_OPEN_TYPE_PRECONFIG;
    std::wstring proxy;
    // The loopback never goes through a proxy, whatever the system's settings say.
    if (request.direct || (request.proxy.empty() && IsLoopback(parts.host))) {
        access = INTERNET_OPEN_TYPE_DIRECT;
    } else if (!request.proxy.empty()) {
        access = INTERNET_OPEN_TYPE_PROXY;
        proxy = Wide(request.proxy);
    }
    t->session.reset(::InternetOpenW(agent.empty() ? nullptr : agent.c_str(), access,
                                     proxy.empty() ? nullptr : proxy.c_str(),
                                     proxy.empty() ? nullptr : L"localhost;127.0.0.1;[::1]", 0));
    if (!t->session) {
        HttpTransfer::Fail(error, ::GetLastError());
        return nullptr;
    }
    SetTimeouts(t->session.get(), request);

    std::wstring headerBlock;
    for (const auto& h : request.headers) {
        headerBlock += Wide(h);
        headerBlock += L"\r\n";
    }

    if (!http) {
        t->request.reset(::InternetOpenUrlW(t->session.get(), target.c_str(),
                                            headerBlock.empty() ? nullptr : headerBlock.c_str(),
                                            static_cast<::DWORD>(headerBlock.size()), kRequestFlags, 0));
        if (!t->request) {
            HttpTransfer::Fail(error, ::GetLastError());
            return nullptr;
        }
        t->url = request.url;
        return t;
    }

    t->http = true;
    std::wstring method = Wide(request.method.empty() ? std::string("GET") : request.method);
    std::string body = request.body;
    for (int redirects = 0;; ++redirects) {
        const auto sentAt = std::chrono::steady_clock::now();
        if (!t->Send(target, parts, method, headerBlock, body, request)) {
            std::uint32_t code = InternetCode(::GetLastError());
            // A wait for the answer that ran out can come back as an aborted connection;
            // it was the time-out that ended it.
            const auto waited = std::chrono::steady_clock::now() - sentAt;
            const std::chrono::milliseconds timeout(std::max<std::uint32_t>(request.receiveTimeoutMs, 1));
            const auto limit = timeout * 9 / 10;
            if (code == kInetConnectionAborted && waited >= limit) code = kInetTimeout;
            HttpTransfer::Fail(error, code);
            return nullptr;
        }
        if (!request.followRedirects || !IsRedirectStatus(static_cast<::DWORD>(t->status))) break;
        const std::wstring location = QueryText(t->request.get(), HTTP_QUERY_LOCATION);
        if (location.empty()) break;  // a 3xx that names no place is the answer
        const std::wstring next = CombineUrl(target, location);
        UrlParts nextParts;
        const bool tooMany = request.maxRedirects >= 0 && redirects >= request.maxRedirects;
        if (tooMany || next.empty() || !CrackUrl(next, nextParts) ||
            (nextParts.scheme != INTERNET_SCHEME_HTTP && nextParts.scheme != INTERNET_SCHEME_HTTPS) ||
            nextParts.host.empty()) {
            HttpTransfer::Fail(error, kInetRedirectFailed);
            return nullptr;
        }
        // Browsers' rule: after 303, and after 301/302 to a POST, the next request is a GET.
        if ((t->status == 303 && method != L"HEAD") || ((t->status == 301 || t->status == 302) && method == L"POST")) {
            method = L"GET";
            body.clear();
        }
        target = next;
        parts = std::move(nextParts);
    }
    t->headers = Narrow(QueryText(t->request.get(), HTTP_QUERY_RAW_HEADERS_CRLF));
    return t;
}

int HttpStatusCode(const HttpTransfer& transfer) { return transfer.status; }

bool HttpIsHttpScheme(const HttpTransfer& transfer) { return transfer.http; }

std::string HttpEffectiveUrl(const HttpTransfer& transfer) { return transfer.url; }

std::string HttpResponseHeaders(const HttpTransfer& transfer) { return transfer.headers; }

std::int64_t HttpRead(HttpTransfer& transfer, char* buffer, std::size_t size, HttpError& error) {
    if (size == 0 || !transfer.request) return 0;
    ::DWORD got = 0;
    const auto want = static_cast<::DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::InternetReadFile(transfer.request.get(), buffer, want, &got)) {
        HttpTransfer::Fail(error, ::GetLastError());
        return -1;
    }
    return static_cast<std::int64_t>(got);
}

bool QueryInternetConnectedState(std::uint32_t& flags) {
    ::DWORD state = 0;
    const bool connected = ::InternetGetConnectedState(&state, 0) != FALSE;
    flags = state & (kConnectionModem | kConnectionLan | kConnectionProxy);
    return connected;
}

}  // namespace vutil::platform
