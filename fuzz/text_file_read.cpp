// Reads arbitrary bytes as a text file through every reader (each encoding named or
// recognised, with and without the byte-order-mark check), at two block sizes that
// must give the same lines.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "vutil/files/text_file.h"

namespace {

const std::string& ScratchFile() {
    static const std::string path = [] {
        std::random_device rd;
        // A memory file system where there is one: the replay writes a file per input.
        std::error_code ec;
        std::filesystem::path dir = std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                                   : std::filesystem::temp_directory_path();
        return (dir / ("vutil-fuzz-text-" + std::to_string(rd()))).string();
    }();
    return path;
}

struct Cleanup {
    ~Cleanup() {
        std::error_code ec;
        std::filesystem::remove(ScratchFile(), ec);
    }
} g_cleanup;

std::vector<std::string> ReadLines(int flags, int block, int& encoding) {
    vutil::TextFile file;
    file.SetBufferSize(block);
    std::vector<std::string> lines;
    if (file.Open(ScratchFile().c_str(), vutil::TextFile::TF_MODE_READ, flags) != 0) std::abort();
    encoding = file.GetEncoding();
    char* line = nullptr;
    while (file.ReadLine(&line) == 0) lines.emplace_back(line);
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(ScratchFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    for (int flags : {0, 1, 2, 3, 4, 2 | 0x200, 3 | 0x200, 4 | 0x200}) {
        int encodingA = 0, encodingB = 0;
        std::vector<std::string> a = ReadLines(flags, 0, encodingA);
        std::vector<std::string> b = ReadLines(flags, 3, encodingB);
        if (a != b || encodingA != encodingB) std::abort();
        if (size == 0 && !a.empty()) std::abort();
    }
    // Characters one by one, through the recognised reader.
    vutil::TextFile file;
    file.SetBufferSize(-1);
    if (file.Open(ScratchFile().c_str(), vutil::TextFile::TF_MODE_READ, 0) != 0) std::abort();
    std::size_t count = 0;
    while (file.GetReader()->ReadChar() >= 0)
        if (++count > size) std::abort();
    return 0;
}
