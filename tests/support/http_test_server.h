#pragma once
// Starts tests/support/http_test_server.py on 127.0.0.1 for the lifetime of the object
// (see the script for its routes). The server stops when the object goes.

#include <string>

namespace vutil::test {

class HttpTestServer {
public:
#ifdef VUTIL_SOURCE_DIR
    explicit HttpTestServer(const std::string& root = {},
                            const std::string& script = VUTIL_SOURCE_DIR "/tests/support/http_test_server.py")
        : HttpTestServer(script, root, 0) {}
#endif
    HttpTestServer(const std::string& script, const std::string& root, int);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    // False when python3 could not be started or printed no port.
    bool Running() const noexcept { return m_port > 0; }
    int Port() const noexcept { return m_port; }
    // "http://127.0.0.1:<port>" followed by the path ("/ok", "/status/404", ...).
    std::string Url(const std::string& path) const;

private:
    int m_pid = -1;
    int m_stdin = -1;
    int m_port = 0;
};

}  // namespace vutil::test
