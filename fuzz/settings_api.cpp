// Drives the settings calls in sequences read from the input (create, set, delete,
// enumerate, and writes made to fail) against a store of its own: a file in a private
// folder on POSIX, a fresh key standing in for HKEY_CURRENT_USER on Windows. A value
// just written must read back. On POSIX, after every call the file on disk must also
// parse cleanly and be its own rewrite, and a failed write must leave it as it was.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "vutil/platform/settings.h"
#ifdef _WIN32
#include <windows.h>
#else
#include "vutil/platform/posix/sys_calls.h"
#endif

namespace {

// Named one by one: with <windows.h> a using-directive would make DWORD ambiguous.
using vutil::BYTE;
using vutil::DWORD;
using vutil::HKEY;
#ifndef _WIN32
using vutil::HKEY_CURRENT_USER;  // a macro of the system's on Windows
#endif
using vutil::LONG;
using namespace vutil::platform;
namespace fs = std::filesystem;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    unsigned Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::string Bytes(std::size_t n) {
        n = std::min(n, m_size - std::min(m_pos, m_size));
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return s;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Few names, so that sequences meet the same keys and values again, in both cases.
const char* const kNames[] = {"", "A", "a", "Software", "x y", "\xE9t\xE9", "K\"q\\", "@", "deep", "B"};

std::string Name(Input& in) {
    unsigned b = in.Byte();
    if (b >= 0xF0) return in.Bytes(b & 7);  // raw bytes: control characters, anything
    return kNames[b % std::size(kNames)];
}

std::string KeyPath(Input& in) {
    std::string path = Name(in);
    for (unsigned depth = in.Byte() % 4; depth > 0; --depth) path += "\\" + Name(in);
    return path;
}

const DWORD kTypes[] = {kRegSz, kRegExpandSz, kRegBinary, kRegDword, kRegMultiSz, kRegQword, kRegNone, 0x1234};

#ifdef _WIN32
const std::string& SandboxName() {
    static const std::string name = "Software\\vutil-fuzz-settings-" + std::to_string(std::random_device()());
    return name;
}

// A fresh, empty key for each input; made anew, since a sequence may delete it.
void FreshStore() {
    const std::string& name = SandboxName();
    static const bool cleanUp = std::atexit([] {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, SandboxName().c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, SandboxName().c_str());
    }) == 0;
    (void)cleanUp;
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, name.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, name.c_str());
    ::HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != 0)
        std::abort();
    if (::RegOverridePredefKey(HKEY_CURRENT_USER, key) != 0) std::abort();
    ::RegCloseKey(key);  // the override holds its own reference
}
#else
const std::string& Folder() {
    static const std::string folder = [] {
        std::random_device rd;
        // Memory-backed when the machine has it: ext4 flushes data on every rename
        // over a file, and the replay makes hundreds of thousands.
        std::error_code ec;
        fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path p = base / ("vutil-fuzz-settings-" + std::to_string(rd()));
        fs::create_directories(p);
        setenv("VUTIL_REGISTRY", (p / "registry.reg").c_str(), 1);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(fs::path(SettingsLocation()).parent_path(), ec);
        });
        // Durability is tested elsewhere; flushing every write would only slow the run.
        posix::Sys().fsync = [](int) { return 0; };
        return p.string();
    }();
    return folder;
}

std::string FileBytes() {
    std::ifstream f(SettingsLocation(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void CheckFile() {
    std::string bytes = FileBytes();
    if (bytes.empty()) return;
    std::string rewritten;
    if (!SettingsParseForTesting(bytes, &rewritten) || rewritten != bytes) std::abort();
}

#endif

std::string Expected(DWORD type, const std::string& data) {
    if ((type == kRegSz || type == kRegExpandSz) && (data.empty() || data.back() != '\0')) return data + '\0';
    return data;
}

void CreateKey(Input& in) {
    HKEY h = nullptr;
    if (SettingsCreateKey(HKEY_CURRENT_USER, KeyPath(in), kKeyAllAccess, &h) == 0) SettingsCloseKey(h);
}

void SetValue(Input& in) {
    std::string key = KeyPath(in), name = Name(in);
    DWORD type = kTypes[in.Byte() % std::size(kTypes)];
    std::string data = in.Bytes(in.Byte() % 24);
    HKEY h = nullptr;
    if (SettingsCreateKey(HKEY_CURRENT_USER, key, kKeyAllAccess, &h) != 0) return;
    if (SettingsSetValue(h, name, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())) == 0) {
        char buf[64];
        DWORD size = sizeof buf, got = 0;
        if (SettingsQueryValue(h, name, &got, reinterpret_cast<BYTE*>(buf), &size) != 0 || got != type ||
            std::string(buf, size) != Expected(type, data))
            std::abort();
    }
    SettingsCloseKey(h);
}

void Enumerate(Input& in) {
    HKEY h = nullptr;
    if (SettingsOpenKey(HKEY_CURRENT_USER, KeyPath(in), kKeyRead, &h) != 0) return;
    char name[300];
    BYTE data[64];
    for (DWORD i = 0;; ++i) {
        DWORD size = in.Byte() % 2 ? sizeof name : 4;
        LONG rc = SettingsEnumKey(h, i, name, &size);
        if (rc == 0 && size >= sizeof name) std::abort();
        if (rc != 0 && rc != 234) break;
    }
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name, dataSize = sizeof data, type = 0;
        LONG rc = SettingsEnumValue(h, i, name, &size, &type, data, &dataSize);
        if (rc == 0 && dataSize > sizeof data) std::abort();
        if (rc != 0 && rc != 234) break;
    }
    SettingsCloseKey(h);
}

void DeleteKey(Input& in) {
    HKEY h = nullptr;
    if (SettingsOpenKey(HKEY_CURRENT_USER, KeyPath(in), kKeyAllAccess, &h) != 0) return;
    SettingsDeleteKey(h, Name(in));
    SettingsCloseKey(h);
}

void DeleteValue(Input& in) {
    HKEY h = nullptr;
    if (SettingsOpenKey(HKEY_CURRENT_USER, KeyPath(in), kKeyAllAccess, &h) != 0) return;
    SettingsDeleteValue(h, Name(in));
    SettingsCloseKey(h);
}

#ifndef _WIN32
// A write whose rename fails must answer an error and change nothing on disk.
void FailedWrite(Input& in) {
    std::string before = FileBytes();
    posix::Sys().rename = [](const char*, const char*) {
        errno = EIO;
        return -1;
    };
    HKEY h = nullptr;
    LONG rc = SettingsCreateKey(HKEY_CURRENT_USER, KeyPath(in), kKeyAllAccess, &h);
    if (rc == 0) {
        BYTE b = static_cast<BYTE>(in.Byte());
        SettingsSetValue(h, Name(in), kRegBinary, &b, 1);
        SettingsCloseKey(h);
    }
    posix::Sys().rename = posix::DefaultSysCalls().rename;
    if (FileBytes() != before) std::abort();
}
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
#ifdef _WIN32
    FreshStore();
#else
    Folder();
    std::error_code ec;
    fs::remove(SettingsLocation(), ec);
#endif
    Input in(data, size);
    for (int step = 0; step < 12 && !in.Empty(); ++step) {
        switch (in.Byte() % 6) {
            case 0: CreateKey(in); break;
            case 1: SetValue(in); break;
            case 2: DeleteValue(in); break;
            case 3: DeleteKey(in); break;
            case 4: Enumerate(in); continue;  // reads leave the file alone
#ifdef _WIN32
            default: continue;  // the registry has no file whose writes could be made to fail
        }
#else
            default: FailedWrite(in); continue;
        }
        CheckFile();
#endif
    }
    return 0;
}
