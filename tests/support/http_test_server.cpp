#include "support/http_test_server.h"

#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include "support/test_support.h"
#else
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vutil::test {

#ifdef _WIN32
// Under Wine the server is a Linux program: the host bridge starts it and keeps it
// running while the link stays open.
HttpTestServer::HttpTestServer(const std::string& script, const std::string& root, const std::string& cert, int)
    : m_bTls(!cert.empty()) {
    std::vector<std::string> argv = {"python3", script};
    if (!root.empty()) argv.insert(argv.end(), {"--root", root});
    if (!cert.empty()) argv.insert(argv.end(), {"--cert", cert});
    std::string line;
    m_link = bridge::Spawn(argv, line);
    if (m_link >= 0) m_port = std::atoi(line.c_str());
}

HttpTestServer::~HttpTestServer() { bridge::Close(m_link); }
#else

HttpTestServer::HttpTestServer(const std::string& script, const std::string& root, const std::string& cert, int)
    : m_bTls(!cert.empty()) {
    int in[2], out[2];
    // Close-on-exec, so servers started later do not hold this one's stdin open.
    if (pipe2(in, O_CLOEXEC) != 0) return;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    // Built before fork: the child only calls what is safe after it.
    std::vector<const char*> argv = {"python3", script.c_str()};
    if (!root.empty()) argv.insert(argv.end(), {"--root", root.c_str()});
    if (!cert.empty()) argv.insert(argv.end(), {"--cert", cert.c_str()});
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        execvp("python3", const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    if (pid < 0) {
        close(in[1]);
        close(out[0]);
        return;
    }
    m_pid = pid;
    m_stdin = in[1];
    // The first line is the port; nothing else is ever written.
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line.push_back(c);
    close(out[0]);
    m_port = std::atoi(line.c_str());
}

HttpTestServer::~HttpTestServer() {
    if (m_stdin >= 0) close(m_stdin);
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
}

#endif

std::string HttpTestServer::Url(const std::string& path) const {
    return (m_bTls ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(m_port) + path;
}

}  // namespace vutil::test
