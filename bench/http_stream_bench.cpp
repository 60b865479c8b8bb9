// Reading a large HTTP body from the local test server: the library's session (bytes,
// then lines) beside plain libcurl doing the same reads with a discarding callback.
// Times are the client's CPU time; the server is a separate process.

#include <curl/curl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ratio_reporter.h"
#include "vutil/framework/internet_session.h"

namespace {

constexpr std::size_t kBodyBytes = std::size_t{256} << 20;

// The tests' server script, started once for the whole run.
class Server {
public:
    Server() {
        const auto script = std::filesystem::path(VUTIL_SOURCE_DIR) / "tests/support/http_test_server.py";
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            execlp("python3", "python3", script.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        m_stdin = in[1];
        std::string line;
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n') line.push_back(c);
        close(out[0]);
        m_url = "http://127.0.0.1:" + line + "/big?bytes=" + std::to_string(kBodyBytes);
    }
    ~Server() {
        close(m_stdin);
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    const std::string& url() const { return m_url; }

private:
    pid_t m_pid = -1;
    int m_stdin = -1;
    std::string m_url;
};

Server& TheServer() {
    static Server server;
    return server;
}

vutil::CStdioFile* Open(vutil::CInternetSession& session, benchmark::State& state) {
    try {
        return session.OpenURL(TheServer().url().c_str());
    } catch (const vutil::CInternetException& e) {
        state.SkipWithError(e.what());
        return nullptr;
    }
}

void BM_Bytes_Lib(benchmark::State& state) {
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        vutil::CInternetSession session;
        std::unique_ptr<vutil::CStdioFile> file(Open(session, state));
        if (!file) break;
        std::size_t total = 0;
        while (const vutil::UINT got = file->Read(buffer.data(), static_cast<vutil::UINT>(buffer.size()))) total += got;
        if (total != kBodyBytes) state.SkipWithError("short body");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodyBytes));
}

void BM_Lines_Lib(benchmark::State& state) {
    for (auto _ : state) {
        vutil::CInternetSession session;
        std::unique_ptr<vutil::CStdioFile> file(Open(session, state));
        if (!file) break;
        static_cast<vutil::CInternetFile*>(file.get())->SetReadBufferSize(4096);
        vutil::CString line;
        std::size_t lines = 0;
        while (file->ReadString(line)) ++lines;
        if (lines != kBodyBytes / 64) state.SkipWithError("wrong line count");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodyBytes));
}

struct LineSink {
    std::string partial, line;
    std::size_t lines = 0;
};

std::size_t Discard(char*, std::size_t size, std::size_t count, void*) { return size * count; }

// The reference splits lines the straightforward way: a std::string per line.
std::size_t SplitLines(char* data, std::size_t size, std::size_t count, void* self) {
    auto* sink = static_cast<LineSink*>(self);
    const std::size_t n = size * count;
    std::size_t from = 0;
    while (const void* nl = std::memchr(data + from, '\n', n - from)) {
        const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(nl) - data);
        sink->line.assign(sink->partial).append(data + from, end - from);
        sink->partial.clear();
        ++sink->lines;
        from = end + 1;
    }
    sink->partial.append(data + from, n - from);
    return n;
}

void CurlFetch(benchmark::State& state, curl_write_callback callback, void* data) {
    CURL* e = curl_easy_init();
    curl_easy_setopt(e, CURLOPT_URL, TheServer().url().c_str());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, callback);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, data);
    if (curl_easy_perform(e) != CURLE_OK) state.SkipWithError("curl failed");
    curl_easy_cleanup(e);
}

void BM_Bytes_Ref(benchmark::State& state) {
    for (auto _ : state) CurlFetch(state, &Discard, nullptr);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodyBytes));
}

void BM_Lines_Ref(benchmark::State& state) {
    for (auto _ : state) {
        LineSink sink;
        CurlFetch(state, &SplitLines, &sink);
        if (sink.lines != kBodyBytes / 64) state.SkipWithError("wrong line count");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodyBytes));
}

BENCHMARK(BM_Bytes_Lib)->Name("stream256MiB_bytes/lib")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bytes_Ref)->Name("stream256MiB_bytes/ref")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lines_Lib)->Name("stream256MiB_lines/lib")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lines_Ref)->Name("stream256MiB_lines/ref")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    TheServer();
    vutil::bench::RatioReporter reporter;
    return vutil::bench::Run(argc, argv, reporter);
}
