#pragma once
// Helpers shared by the test suites.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "vutil/framework/cstring.h"

namespace vutil::test {

// A fresh directory under the system temp dir, removed with everything in it when
// the object goes. Also points VUTIL_REGISTRY at a file inside it and pins
// VUTIL_LOCALE to en-US for the object's lifetime; both are restored after.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const noexcept { return m_path; }
    // Host path of a file inside the directory.
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
    std::optional<std::string> m_oldRegistry;
    std::optional<std::string> m_oldLocale;
};

// Sets (or, with null, removes) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name, value.c_str()) {}
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// TZ for one scope; the clock re-reads the zone before each conversion.
class ScopedZone : public ScopedEnv {
public:
    explicit ScopedZone(const char* zone) : ScopedEnv("TZ", zone) {}
};

// Bytes as a string, and the reverse, for comparing with encodings written out in hex.
std::string Bytes(std::initializer_list<int> bytes);
std::string Hex(const std::string& bytes);
// Lower-case hex without separators (openssl's -K form), and back.
std::string PlainHex(const std::string& bytes);
std::string FromHex(const std::string& hex);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// A file with the text, its folders made first; executable by the owner when asked.
void WriteText(const std::filesystem::path& path, const std::string& text, bool executable = false);
inline std::string ReadText(const std::filesystem::path& path) { return ReadFileBytes(path.string()); }

// Runs a shell command, returning its exit status and standard output. Windows test
// binaries under Wine run it on the Linux side through the host bridge
// (host_bridge.py: Windows paths in it become Unix paths, a Windows program named in
// it runs under Wine), except a command starting with "reg " or "cmd ", which runs
// here in the system's own shell.
int RunCommand(const std::string& command, std::string* output = nullptr);
bool HaveProgram(const std::string& name);

#ifdef VUTIL_CLI_PATH
// The vutil program run with the arguments, a shell fragment as RunCommand takes it;
// `errors` says where its standard error goes.
inline int RunCli(const std::string& args, std::string* output = nullptr, const char* errors = " 2>/dev/null") {
    return RunCommand(std::string("'") + VUTIL_CLI_PATH + "' " + args + errors, output);
}
#endif

#ifdef _WIN32
// The host bridge itself: whether it is there, a shell command, and a program that
// runs until Close (the returned link); -1 when the bridge cannot be reached.
namespace bridge {
bool Available();
int Run(const std::string& command, std::string* output);
long long Spawn(const std::vector<std::string>& argv, std::string& firstLine);
void Close(long long link);
}  // namespace bridge
#endif

}  // namespace vutil::test
