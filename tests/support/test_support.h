#pragma once
// Helpers shared by the test suites.

#include <filesystem>
#include <string>
#include <vector>

#include "vutil/framework/cstring.h"

namespace vutil::test {

// A fresh directory under the system temp dir, removed with everything in it when
// the object goes. Also points VUTIL_REGISTRY at a file inside it and pins
// VUTIL_LOCALE to en-US for the object's lifetime.
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
    std::string m_oldRegistry;
    bool m_hadRegistry = false;
};

// Bytes as a string, and the reverse, for comparing with encodings written out in hex.
std::string Bytes(std::initializer_list<int> bytes);
std::string Hex(const std::string& bytes);
// Lower-case hex without separators (openssl's -K form), and back.
std::string PlainHex(const std::string& bytes);
std::string FromHex(const std::string& hex);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Runs a shell command, returning its exit status and standard output.
int RunCommand(const std::string& command, std::string* output = nullptr);
bool HaveProgram(const std::string& name);

}  // namespace vutil::test
