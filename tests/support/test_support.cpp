#include "support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace vutil::test {

TempDir::TempDir() {
    std::random_device rd;
    std::mt19937_64 gen(rd());
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
        m_path = base / ("vutil-test-" + std::to_string(gen() % 100000000000ull));
        if (std::filesystem::create_directory(m_path)) break;
    }
    if (const char* old = std::getenv("VUTIL_REGISTRY")) m_oldRegistry = old;
    if (const char* old = std::getenv("VUTIL_LOCALE")) m_oldLocale = old;
    setenv("VUTIL_REGISTRY", File("registry.reg").c_str(), 1);
    setenv("VUTIL_LOCALE", "en-US", 1);
}

namespace {
void Restore(const char* name, const std::optional<std::string>& old) {
    if (old) setenv(name, old->c_str(), 1);
    else unsetenv(name);
}
}  // namespace

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
    Restore("VUTIL_REGISTRY", m_oldRegistry);
    Restore("VUTIL_LOCALE", m_oldLocale);
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
}

ScopedEnv::~ScopedEnv() { Restore(m_name.c_str(), m_old); }

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string PlainHex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string FromHex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int RunCommand(const std::string& command, std::string* output) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::string out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    int status = pclose(pipe);
    if (output) *output = out;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const std::string& name) { return RunCommand("command -v " + name + " >/dev/null 2>&1") == 0; }

}  // namespace vutil::test
