#include "support/http_test_server.h"

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace vutil::test {

HttpTestServer::HttpTestServer(const std::string& script, const std::string& root, int) {
    int in[2], out[2];
    if (pipe(in) != 0) return;
    if (pipe(out) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        if (root.empty())
            execlp("python3", "python3", script.c_str(), static_cast<char*>(nullptr));
        else
            execlp("python3", "python3", script.c_str(), "--root", root.c_str(), static_cast<char*>(nullptr));
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

std::string HttpTestServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

}  // namespace vutil::test
