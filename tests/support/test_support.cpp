#include "support/test_support.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <stdlib.h>
#else
#include <sys/wait.h>
#endif

namespace vutil::test {

namespace {
void SetEnv(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");  // an empty value removes the variable
#else
    if (value) setenv(name, value, 1);
    else unsetenv(name);
#endif
}
}  // namespace

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
    SetEnv("VUTIL_REGISTRY", File("registry.reg").c_str());
    SetEnv("VUTIL_LOCALE", "en-US");
}

namespace {
void Restore(const char* name, const std::optional<std::string>& old) { SetEnv(name, old ? old->c_str() : nullptr); }
}  // namespace

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
    Restore("VUTIL_REGISTRY", m_oldRegistry);
    Restore("VUTIL_LOCALE", m_oldLocale);
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    SetEnv(name, value);
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
    std::string out;
    for (char c : Hex(bytes))
        if (c != ' ') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
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

void WriteText(const std::filesystem::path& path, const std::string& text, bool executable) {
    std::filesystem::create_directories(path.parent_path());
    WriteFileBytes(path.string(), text);
    if (executable)
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
}

#ifdef _WIN32
namespace bridge {
namespace {

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x80) {
            // Bytes above 0x7F are Windows-1252 text; Latin-1 keeps them one to one.
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// The variables a child started through the bridge should see as this process sees
// them now (tests change them between cases).
std::string JsonEnvironment() {
    std::string out = "{";
    for (char** e = _environ; e && *e; ++e) {
        const std::string entry = *e;
        const auto eq = entry.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        const std::string name = entry.substr(0, eq);
        if (name.rfind("VUTIL_", 0) != 0 && name != "TZ") continue;
        if (name == "VUTIL_HOST_BRIDGE") continue;
        if (out.size() > 1) out += ',';
        out += JsonText(name) + ":" + JsonText(entry.substr(eq + 1));
    }
    return out + "}";
}

std::string Base64Decode(const std::string& text) {
    std::string out;
    unsigned int acc = 0;
    int bits = 0;
    for (const char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z') v = c - 'A';
        else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
        else if (c >= '0' && c <= '9') v = c - '0' + 52;
        else if (c == '+') v = 62;
        else if (c == '/') v = 63;
        else continue;
        acc = (acc << 6) | static_cast<unsigned int>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xFF);
        }
    }
    return out;
}

// The text of a string field of the one-line JSON reply (no escapes occur in it).
std::string Field(const std::string& reply, const std::string& name) {
    const std::string key = "\"" + name + "\": ";
    auto at = reply.find(key);
    if (at == std::string::npos) return {};
    at += key.size();
    if (at < reply.size() && reply[at] == '"') {
        const auto end = reply.find('"', at + 1);
        return reply.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    }
    const auto end = reply.find_first_of(",}", at);
    return reply.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

SOCKET Connect() {
    const char* port = std::getenv("VUTIL_HOST_BRIDGE");
    if (!port || !*port) return INVALID_SOCKET;
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started) return INVALID_SOCKET;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(std::atoi(port)));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

bool SendAll(SOCKET s, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string ReadLine(SOCKET s) {
    std::string line;
    char c;
    while (recv(s, &c, 1, 0) == 1 && c != '\n') line += c;
    return line;
}

}  // namespace

bool Available() { return std::getenv("VUTIL_HOST_BRIDGE") != nullptr; }

int Run(const std::string& command, std::string* output) {
    SOCKET s = Connect();
    if (s == INVALID_SOCKET) return -1;
    const std::string request =
        "{\"op\": \"run\", \"command\": " + JsonText(command) + ", \"env\": " + JsonEnvironment() + "}\n";
    std::string reply;
    if (SendAll(s, request)) {
        char buf[65536];
        int n;
        while ((n = recv(s, buf, sizeof buf, 0)) > 0) reply.append(buf, static_cast<std::size_t>(n));
    }
    closesocket(s);
    if (reply.empty()) return -1;
    if (output) *output = Base64Decode(Field(reply, "output"));
    return std::atoi(Field(reply, "status").c_str());
}

long long Spawn(const std::vector<std::string>& argv, std::string& firstLine) {
    SOCKET s = Connect();
    if (s == INVALID_SOCKET) return -1;
    std::string list = "[";
    for (const auto& a : argv) list += (list.size() > 1 ? "," : "") + JsonText(a);
    list += "]";
    const std::string request =
        "{\"op\": \"spawn\", \"argv\": " + list + ", \"env\": " + JsonEnvironment() + "}\n";
    if (!SendAll(s, request)) {
        closesocket(s);
        return -1;
    }
    firstLine = Field(ReadLine(s), "first_line");
    return static_cast<long long>(s);
}

void Close(long long link) {
    if (link < 0) return;
    // The bridge ends the program when our side closes, and closes its side once the
    // program is gone: waiting for that keeps the next test off a dying server.
    const auto s = static_cast<SOCKET>(link);
    shutdown(s, SD_SEND);
    char buf[256];
    while (recv(s, buf, sizeof buf, 0) > 0) {
    }
    closesocket(s);
}

}  // namespace bridge

int RunCommand(const std::string& command, std::string* output) {
    // The system's own tools (reg, cmd) run here; everything else is a Linux program
    // or a shell line and goes through the host bridge.
    const bool native = command.rfind("reg ", 0) == 0 || command.rfind("cmd ", 0) == 0;
    if (!native && bridge::Available()) return bridge::Run(command, output);
    FILE* pipe = _popen(command.c_str(), "rb");
    if (!pipe) return -1;
    std::string out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    const int status = _pclose(pipe);
    if (output) *output = out;
    return status;
}

bool HaveProgram(const std::string& name) {
    return bridge::Available() && RunCommand("command -v " + name + " >/dev/null 2>&1") == 0;
}
#else
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
#endif

}  // namespace vutil::test
