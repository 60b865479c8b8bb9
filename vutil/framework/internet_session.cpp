#include "vutil/framework/internet_session.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "vutil/platform/error.h"

namespace vutil {
namespace {

// "Name: value" lines separated by "\r\n" or "\n"; blank lines dropped.
void SplitHeaderLines(std::string_view text, std::vector<std::string>& out) {
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) out.emplace_back(line);
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
}

std::size_t TextLength(const char* text, DWORD length) {
    if (!text) return 0;
    return (length == 0 || length == static_cast<DWORD>(-1)) ? std::strlen(text) : length;
}

}  // namespace

bool CInternetException::GetErrorMessage(char* error, UINT maxError, UINT* helpContext) const {
    if (helpContext) *helpContext = 0;
    if (!error || maxError == 0) return false;
    const std::size_t n = std::min<std::size_t>(m_strMessage.GetLength(), maxError - 1);
    std::memcpy(error, m_strMessage.GetString(), n);
    error[n] = '\0';
    return n > 0;
}

CInternetFile::~CInternetFile() = default;

void CInternetFile::Close() {
    m_transfer.reset();
    CStdioFile::Close();
}

bool CInternetFile::SetReadBufferSize(UINT size) {
    if (size == 0) return false;
    SetBlockSize(size);
    return true;
}

UINT CInternetFile::ReadRaw(void* buffer, UINT count) {
    if (!m_transfer) return 0;
    platform::HttpError error;
    const std::int64_t got = platform::HttpRead(*m_transfer, static_cast<char*>(buffer), count, error);
    if (got < 0) Throw(error);
    return static_cast<UINT>(got);
}

void CInternetFile::Throw(const platform::HttpError& error) const {
    platform::SetLastErrorCode(error.code);
    throw CInternetException(error.code, CString(error.message), m_settings.context);
}

bool CHttpFile::QueryInfoStatusCode(DWORD& statusCode) const {
    if (!m_transfer) {
        platform::SetLastErrorCode(platform::kInetHeaderNotFound);
        return false;
    }
    statusCode = platform::HttpIsHttpScheme(*m_transfer) ? static_cast<DWORD>(platform::HttpStatusCode(*m_transfer)) : 200;
    return true;
}

bool CHttpFile::QueryRawHeaders(CString& headers) const {
    if (!m_transfer) {
        platform::SetLastErrorCode(platform::kInetHeaderNotFound);
        return false;
    }
    headers = platform::HttpResponseHeaders(*m_transfer);
    return true;
}

bool CHttpFile::AddRequestHeaders(const CString& headers) {
    if (!m_strExtraHeaders.IsEmpty()) m_strExtraHeaders += "\r\n";
    m_strExtraHeaders += headers;
    return true;
}

bool CHttpFile::SendRequest(const CString& headers, const void* optional, DWORD optionalLength) {
    return SendRequest(headers.GetString(), static_cast<DWORD>(headers.GetLength()), optional, optionalLength);
}

bool CHttpFile::SendRequest(const char* headers, DWORD headersLength, const void* optional, DWORD optionalLength) {
    Open(headers, TextLength(headers, headersLength), optional, optional ? optionalLength : 0);
    return true;
}

void CHttpFile::Open(const char* headers, std::size_t headersLength, const void* body, std::size_t bodyLength) {
    m_transfer.reset();
    platform::HttpRequest request;
    request.url = m_strURL.str();
    request.method = m_strVerb.str();
    request.userAgent = m_settings.agent.str();
    request.connectTimeoutMs = m_settings.connectTimeoutMs;
    request.receiveTimeoutMs = m_settings.receiveTimeoutMs;
    request.followRedirects = (m_dwFlags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
    if (m_settings.accessType == INTERNET_OPEN_TYPE_PROXY) request.proxy = m_settings.proxy.str();
    // Reload: ask every cache on the way for a fresh copy.
    if (m_dwFlags & INTERNET_FLAG_RELOAD) {
        request.headers.emplace_back("Cache-Control: no-cache");
        request.headers.emplace_back("Pragma: no-cache");
    }
    SplitHeaderLines(m_strExtraHeaders.view(), request.headers);
    if (headers) SplitHeaderLines(std::string_view(headers, headersLength), request.headers);
    if (body && bodyLength > 0) request.body.assign(static_cast<const char*>(body), bodyLength);
    platform::HttpError error;
    m_transfer = platform::HttpOpen(request, error);
    if (!m_transfer) Throw(error);
}

CHttpFile* CHttpConnection::OpenRequest(int verb, const CString& object, const char* /*referer*/, DWORD_PTR context,
                                        const char** /*acceptTypes*/, const char* /*version*/, DWORD flags) {
    static constexpr const char* kVerbs[] = {"POST", "GET", "HEAD", "PUT", "LINK", "DELETE", "UNLINK"};
    if (verb < 0 || verb >= static_cast<int>(std::size(kVerbs))) return nullptr;
    const bool secure = (flags & INTERNET_FLAG_SECURE) != 0 || m_nPort == INTERNET_DEFAULT_HTTPS_PORT;
    CString url(secure ? "https://" : "http://");
    url += m_strServer;
    if (m_nPort != INTERNET_INVALID_PORT_NUMBER) url.AppendFormat(":%u", static_cast<unsigned>(m_nPort));
    if (object.IsEmpty() || object[0] != '/') url += "/";
    url += object;
    InternetSettings settings = m_settings;
    settings.context = context;
    return new CHttpFile(std::move(settings), std::move(url), kVerbs[verb], flags);
}

CInternetSession::CInternetSession(const char* agent, DWORD_PTR context, DWORD accessType, const char* proxyName,
                                   const char* /*proxyBypass*/, DWORD /*flags*/) {
    m_settings.agent = agent ? agent : "";
    m_settings.context = context;
    m_settings.accessType = accessType;
    m_settings.proxy = proxyName ? proxyName : "";
}

CStdioFile* CInternetSession::OpenURL(const char* url, DWORD_PTR context, DWORD flags, const char* headers,
                                      DWORD headersLength) {
    InternetSettings settings = m_settings;
    settings.context = context;
    std::unique_ptr<CHttpFile> file(new CHttpFile(std::move(settings), url ? url : "", "GET", flags));
    file->Open(headers, TextLength(headers, headersLength), nullptr, 0);
    return file.release();
}

CHttpConnection* CInternetSession::GetHttpConnection(const char* server, INTERNET_PORT port, const char* /*userName*/,
                                                     const char* /*password*/) {
    return new CHttpConnection(m_settings, server ? server : "", port);
}

bool CInternetSession::SetOption(DWORD option, DWORD value, DWORD /*flags*/) {
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: m_settings.connectTimeoutMs = value; return true;
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
    case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT: m_settings.receiveTimeoutMs = value; return true;
    case INTERNET_OPTION_SEND_TIMEOUT:
    case INTERNET_OPTION_DATA_SEND_TIMEOUT: m_settings.sendTimeoutMs = value; return true;
    case INTERNET_OPTION_CONNECT_RETRIES: m_settings.connectRetries = value; return true;
    default: return false;
    }
}

bool CInternetSession::QueryOption(DWORD option, DWORD& value) const {
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: value = m_settings.connectTimeoutMs; return true;
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
    case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT: value = m_settings.receiveTimeoutMs; return true;
    case INTERNET_OPTION_SEND_TIMEOUT:
    case INTERNET_OPTION_DATA_SEND_TIMEOUT: value = m_settings.sendTimeoutMs; return true;
    case INTERNET_OPTION_CONNECT_RETRIES: value = m_settings.connectRetries; return true;
    default: return false;
    }
}

}  // namespace vutil
