#pragma once
// The framework's Internet classes: a session that opens URLs and HTTP connections,
// the files they give (the body read as a stream of lines or bytes), and the exception
// that carries a Windows Internet error number. Built on the HTTP seam.

#include <cstdint>

#include "vutil/framework/cstring.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/stdio_file.h"
#include "vutil/framework/types.h"
#include "vutil/platform/http.h"

namespace vutil {

using DWORD_PTR = std::uintptr_t;
using INTERNET_PORT = WORD;

constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;
constexpr DWORD INTERNET_FLAG_DONT_CACHE = INTERNET_FLAG_NO_CACHE_WRITE;
constexpr DWORD INTERNET_FLAG_TRANSFER_ASCII = 0x00000001;
constexpr DWORD INTERNET_FLAG_TRANSFER_BINARY = 0x00000002;
constexpr DWORD INTERNET_FLAG_EXISTING_CONNECT = 0x20000000;
constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
constexpr DWORD INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;

constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;

constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
constexpr DWORD INTERNET_OPTION_CONNECT_RETRIES = 3;
constexpr DWORD INTERNET_OPTION_SEND_TIMEOUT = 5;
constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;
constexpr DWORD INTERNET_OPTION_DATA_SEND_TIMEOUT = 7;
constexpr DWORD INTERNET_OPTION_DATA_RECEIVE_TIMEOUT = 8;

constexpr INTERNET_PORT INTERNET_INVALID_PORT_NUMBER = 0;
constexpr INTERNET_PORT INTERNET_DEFAULT_HTTP_PORT = 80;
constexpr INTERNET_PORT INTERNET_DEFAULT_HTTPS_PORT = 443;

// Verbs of CHttpConnection::OpenRequest, numbered as the framework numbers them.
constexpr int HTTP_VERB_POST = 0;
constexpr int HTTP_VERB_GET = 1;
constexpr int HTTP_VERB_HEAD = 2;
constexpr int HTTP_VERB_PUT = 3;
constexpr int HTTP_VERB_DELETE = 5;

class CInternetException : public CException {
public:
    explicit CInternetException(DWORD error, CString message = CString(), DWORD_PTR context = 1)
        : m_dwError(error), m_dwContext(context), m_strMessage(std::move(message)) {}
    const char* what() const noexcept override { return m_strMessage.GetString(); }
    // Copies the message, cut to `maxError` - 1 characters and terminated. False when
    // there is no room or no text.
    bool GetErrorMessage(char* error, UINT maxError, UINT* helpContext = nullptr) const;
    const CString& GetErrorMessage() const noexcept { return m_strMessage; }
    // Caught by value here; kept so framework-style handlers compile unchanged.
    void Delete() noexcept {}

    DWORD m_dwError;
    DWORD_PTR m_dwContext;

private:
    CString m_strMessage;
};

struct InternetSettings {
    CString agent;
    DWORD_PTR context = 1;
    DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG;
    CString proxy;
    DWORD connectTimeoutMs = 60000;
    DWORD receiveTimeoutMs = 30000;
    DWORD sendTimeoutMs = 30000;
    DWORD connectRetries = 5;
};

// A URL opened for reading. The body is fetched while it is read.
class CInternetFile : public CStdioFile {
public:
    ~CInternetFile() override;
    void Close() override;
    // Size of the blocks ReadString fetches.
    bool SetReadBufferSize(UINT size);
    const CString& GetFileURL() const noexcept { return m_strURL; }

protected:
    CInternetFile(InternetSettings settings, CString url)
        : m_settings(std::move(settings)), m_strURL(std::move(url)) {}
    // Throws CInternetException when the transfer fails part way.
    UINT ReadRaw(void* buffer, UINT count) override;
    [[noreturn]] void Throw(const platform::HttpError& error) const;

    InternetSettings m_settings;
    CString m_strURL;
    platform::HttpTransferPtr m_transfer;
};

class CHttpFile : public CInternetFile {
public:
    // The final status (redirects followed). Other schemes answer 200 once the
    // resource is open. False before a request was sent.
    bool QueryInfoStatusCode(DWORD& statusCode) const;
    // The response headers, "Name: value\r\n" each.
    bool QueryRawHeaders(CString& headers) const;
    // Extra request headers for SendRequest, "Name: value" lines separated by "\r\n".
    bool AddRequestHeaders(const CString& headers);
    // Sends the request made by CHttpConnection::OpenRequest. Throws CInternetException
    // when no response comes.
    bool SendRequest(const CString& headers = CString(), const void* optional = nullptr, DWORD optionalLength = 0);
    bool SendRequest(const char* headers, DWORD headersLength, const void* optional, DWORD optionalLength);
    const CString& GetVerb() const noexcept { return m_strVerb; }

private:
    friend class CInternetSession;
    friend class CHttpConnection;
    CHttpFile(InternetSettings settings, CString url, CString verb, DWORD flags)
        : CInternetFile(std::move(settings), std::move(url)), m_strVerb(std::move(verb)), m_dwFlags(flags) {}
    void Open(const char* headers, std::size_t headersLength, const void* body, std::size_t bodyLength);

    CString m_strVerb;
    DWORD m_dwFlags;
    CString m_strExtraHeaders;
};

class CHttpConnection {
public:
    ~CHttpConnection() = default;
    // A request on this server; nothing is sent until CHttpFile::SendRequest.
    CHttpFile* OpenRequest(int verb, const CString& object, const char* referer = nullptr, DWORD_PTR context = 1,
                           const char** acceptTypes = nullptr, const char* version = nullptr,
                           DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);
    void Close() noexcept {}
    const CString& GetServerName() const noexcept { return m_strServer; }

private:
    friend class CInternetSession;
    CHttpConnection(InternetSettings settings, CString server, INTERNET_PORT port)
        : m_settings(std::move(settings)), m_strServer(std::move(server)), m_nPort(port) {}

    InternetSettings m_settings;
    CString m_strServer;
    INTERNET_PORT m_nPort;
};

class CInternetSession {
public:
    explicit CInternetSession(const char* agent = nullptr, DWORD_PTR context = 1,
                              DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG, const char* proxyName = nullptr,
                              const char* proxyBypass = nullptr, DWORD flags = 0);
    virtual ~CInternetSession() = default;
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // Opens the URL and waits for the final response's headers. The result is a
    // CHttpFile for every scheme; the caller deletes it. Throws CInternetException.
    CStdioFile* OpenURL(const char* url, DWORD_PTR context = 1, DWORD flags = INTERNET_FLAG_TRANSFER_ASCII,
                        const char* headers = nullptr, DWORD headersLength = 0);
    // The caller deletes the connection. A server text may carry ":port".
    CHttpConnection* GetHttpConnection(const char* server, INTERNET_PORT port = INTERNET_INVALID_PORT_NUMBER,
                                       const char* userName = nullptr, const char* password = nullptr);
    // Time-outs in milliseconds and the retry count; false for other options.
    bool SetOption(DWORD option, DWORD value, DWORD flags = 0);
    bool QueryOption(DWORD option, DWORD& value) const;
    void Close() noexcept {}
    DWORD_PTR GetContext() const noexcept { return m_settings.context; }
    const CString& GetUserAgent() const noexcept { return m_settings.agent; }

private:
    InternetSettings m_settings;
};

}  // namespace vutil
