// Replay driver for fuzz targets when libFuzzer is not in use: feeds every file of
// the seed directories, then a fixed, reproducible stream of generated inputs
// (random bytes and mutations of the seeds). Set VUTIL_FUZZ_RUNS to change the count.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::string> LoadSeeds(int argc, char** argv) {
    std::vector<std::string> seeds;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        std::filesystem::path p(argv[i]);
        if (std::filesystem::is_directory(p, ec)) {
            std::vector<std::filesystem::path> files;
            for (const auto& e : std::filesystem::directory_iterator(p, ec)) files.push_back(e.path());
            std::sort(files.begin(), files.end());
            for (const auto& f : files) {
                std::ifstream in(f, std::ios::binary);
                seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
        } else if (std::filesystem::is_regular_file(p, ec)) {
            std::ifstream in(p, std::ios::binary);
            seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    return seeds;
}

void Run(const std::string& input) {
    // A copy in its own allocation lets AddressSanitizer see reads past the end.
    std::vector<std::uint8_t> buf(input.begin(), input.end());
    LLVMFuzzerTestOneInput(buf.empty() ? nullptr : buf.data(), buf.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> seeds = LoadSeeds(argc, argv);
    for (const auto& s : seeds) Run(s);

    long runs = 20000;
    if (const char* env = std::getenv("VUTIL_FUZZ_RUNS")) runs = std::strtol(env, nullptr, 10);
    std::mt19937 gen(12345);
    const std::string alphabet = "0123456789 \t\r\n:/\\.,-+*?[]{}()<>\"'=&;#%abcxyzABCXYZ";
    for (long i = 0; i < runs; ++i) {
        std::string input;
        unsigned kind = gen() % 4;
        if (kind == 0 || seeds.empty()) {
            std::size_t len = gen() % 64;
            for (std::size_t k = 0; k < len; ++k) input += static_cast<char>(gen() & 0xFF);
        } else if (kind == 1) {
            std::size_t len = gen() % 96;
            for (std::size_t k = 0; k < len; ++k) input += alphabet[gen() % alphabet.size()];
        } else {
            input = seeds[gen() % seeds.size()];
            unsigned edits = 1 + gen() % 8;
            for (unsigned e = 0; e < edits; ++e) {
                unsigned op = gen() % 4;
                std::size_t at = input.empty() ? 0 : gen() % input.size();
                if (op == 0 && !input.empty()) input[at] = static_cast<char>(gen() & 0xFF);
                else if (op == 1) input.insert(at, 1, static_cast<char>(gen() & 0xFF));
                else if (op == 2 && !input.empty()) input.erase(at, 1 + gen() % 4);
                else if (!input.empty()) input.resize(at);  // truncation finds short reads
            }
        }
        Run(input);
    }
    std::printf("fuzz replay: %zu seeds, %ld generated inputs, no crash\n", seeds.size(), runs);
    return 0;
}
