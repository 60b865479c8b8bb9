#pragma once
// Starts tests/support/http_test_server.py on 127.0.0.1 for the lifetime of the object
// (see the script for its routes). The server stops when the object goes.

#include <string>

namespace vutil::test {

class HttpTestServer {
public:
#ifdef VUTIL_SOURCE_DIR
    // `root`: folder served under /site/; `cert`: a PEM file with certificate and key,
    // to serve HTTPS instead.
    explicit HttpTestServer(const std::string& root = {}, const std::string& cert = {},
                            const std::string& script = VUTIL_SOURCE_DIR "/tests/support/http_test_server.py")
        : HttpTestServer(script, root, cert, 0) {}
#endif
    HttpTestServer(const std::string& script, const std::string& root, const std::string& cert, int);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    // False when python3 could not be started or printed no port.
    bool Running() const noexcept { return m_port > 0; }
    int Port() const noexcept { return m_port; }
    // "http://127.0.0.1:<port>" (https with a certificate) followed by the path
    // ("/ok", "/status/404", ...).
    std::string Url(const std::string& path) const;

private:
    int m_pid = -1;
    int m_stdin = -1;
    long long m_link = -1;  // Windows: the host bridge connection that keeps it running
    int m_port = 0;
    bool m_bTls = false;
};

}  // namespace vutil::test
