// Reading and writing a 100 MB text file in each encoding through TextFile, beside
// glibc's iconv(3) doing the same conversion on the same bytes in 64 KiB blocks.
// Throughput counts the Windows-1252 text (lines and CR LF). Also one 100 MB line.
//
//   build/default/bench/bench_text_file_bench            (VUTIL_BENCH_TEXT_MB=20 for less)

#include <benchmark/benchmark.h>
#include <iconv.h>

#include "ratio_reporter.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "vutil/files/text_file.h"

namespace {

namespace fs = std::filesystem;
using vutil::TextFile;

struct Encoding {
    int code;
    const char* iconvName;
    const char* mark;
};

const Encoding kEncodings[] = {
    {1, "WINDOWS-1252", ""},
    {2, "UTF-16LE", "\xFF\xFE"},
    {3, "UTF-16BE", "\xFE\xFF"},
    {4, "UTF-8", "\xEF\xBB\xBF"},
};

// Converts in 64 KiB input blocks, as a streaming reader must; calls sink per output block.
template <typename Sink>
void IconvStream(iconv_t cd, const char* data, std::size_t size, Sink&& sink) {
    static thread_local std::vector<char> out(1 << 18);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::size_t pos = 0;
    while (pos < size) {
        std::size_t take = size - pos < (1u << 16) ? size - pos : (1u << 16);
        char* in = const_cast<char*>(data + pos);
        std::size_t inLeft = take;
        char* o = out.data();
        std::size_t outLeft = out.size();
        if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<std::size_t>(-1) && errno != EINVAL)
            throw std::runtime_error("iconv failed");
        sink(out.data(), out.size() - outLeft);
        pos += take - inLeft;  // an incomplete sequence waits for the next block
        if (take == inLeft) break;
    }
}

std::string Convert(const std::string& text, const char* to) {
    if (std::strcmp(to, "WINDOWS-1252") == 0) return text;
    iconv_t cd = iconv_open(to, "WINDOWS-1252");
    std::string result;
    IconvStream(cd, text.data(), text.size(), [&](const char* p, std::size_t n) { result.append(p, n); });
    iconv_close(cd);
    return result;
}

struct Corpus {
    fs::path dir;
    std::string text;               // Windows-1252, CR LF line ends
    std::vector<std::string> lines; // the same lines, without ends
    std::string files[5];           // by encoding code: the file's path
    std::string bodies[5];          // the file's bytes after the mark, kept for the reference
    std::string oneLineFile;        // UTF-16LE, one line of the text's size
    std::string oneLineBody;

    ~Corpus() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

void WriteBytes(const std::string& path, const std::string& a, const std::string& b) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    std::fwrite(a.data(), 1, a.size(), f);
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
}

Corpus& GetCorpus() {
    static Corpus c = [] {
        Corpus c;
        std::size_t megabytes = 100;
        if (const char* env = std::getenv("VUTIL_BENCH_TEXT_MB")) megabytes = std::strtoul(env, nullptr, 10);
        c.dir = fs::temp_directory_path() / ("vutil-bench-text-" + std::to_string(std::random_device{}()));
        fs::create_directories(c.dir);
        static const char* const words[] = {"the", "caf\xE9", "na\xEFve", "r\xE9sum\xE9", "\x80" "12,50", "stra\xDF" "e",
                                            "and", "of", "document", "line", "\x93quoted\x94", "text", "file", "\xC5re"};
        std::mt19937 gen(7);
        std::string line;
        while (c.text.size() < megabytes << 20) {
            line.clear();
            std::size_t words_in_line = 3 + gen() % 15;
            for (std::size_t w = 0; w < words_in_line; ++w) {
                if (w) line += ' ';
                line += words[gen() % (sizeof words / sizeof *words)];
            }
            c.lines.push_back(line);
            c.text += line;
            c.text += "\r\n";
        }
        for (const Encoding& e : kEncodings) {
            c.bodies[e.code] = Convert(c.text, e.iconvName);
            c.files[e.code] = (c.dir / ("in" + std::to_string(e.code))).string();
            WriteBytes(c.files[e.code], e.mark, c.bodies[e.code]);
        }
        std::string one(c.text.size() / 2, 'x');
        for (std::size_t i = 0; i < one.size(); i += 61) one[i] = '\xE9';
        c.oneLineBody = Convert(one, "UTF-16LE");
        c.oneLineFile = (c.dir / "oneline").string();
        WriteBytes(c.oneLineFile, "\xFF\xFE", c.oneLineBody);
        return c;
    }();
    return c;
}

std::size_t ReadThrough(const std::string& path) {
    TextFile file;
    file.SetBufferSize(1 << 16);
    if (file.Open(path.c_str(), TextFile::TF_MODE_READ, 0) != 0) throw std::runtime_error("open failed");
    std::size_t bytes = 0;
    char* line = nullptr;
    while (file.ReadLine(&line) == 0) bytes += std::strlen(line) + 2;
    return bytes;
}

// The reference reads the same file in 64 KiB blocks and converts each with iconv,
// carrying half a character over to the next block.
std::size_t IconvReadThrough(const std::string& path, const char* from, std::size_t markSize) {
    iconv_t cd = iconv_open("WINDOWS-1252", from);
    FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, static_cast<long>(markSize), SEEK_SET);
    std::vector<char> block(1 << 16), out(1 << 17);
    std::size_t carried = 0, bytes = 0;
    for (;;) {
        std::size_t n = std::fread(block.data() + carried, 1, block.size() - carried, f);
        if (n == 0) break;
        char* in = block.data();
        std::size_t inLeft = carried + n;
        while (inLeft) {
            char* o = out.data();
            std::size_t outLeft = out.size();
            std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
            bytes += out.size() - outLeft;
            if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            if (errno == EINVAL) break;
            throw std::runtime_error("iconv failed");
        }
        std::memmove(block.data(), in, inLeft);
        carried = inLeft;
    }
    std::fclose(f);
    iconv_close(cd);
    return bytes;
}

void BM_Read(benchmark::State& state, int code, bool lib) {
    Corpus& c = GetCorpus();
    const Encoding& e = kEncodings[code - 1];
    for (auto _ : state) {
        std::size_t bytes = 0;
        if (lib) bytes = ReadThrough(c.files[code]);
        else if (code == 1) {
            // Nothing to convert: plain line reading stands beside it.
            FILE* f = std::fopen(c.files[code].c_str(), "rb");
            static char buffer[1 << 16];
            while (std::fgets(buffer, sizeof buffer, f)) bytes += std::strlen(buffer);
            std::fclose(f);
        } else {
            bytes = IconvReadThrough(c.files[code], e.iconvName, std::strlen(e.mark));
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.text.size()));
}

void BM_Write(benchmark::State& state, int code, bool lib) {
    Corpus& c = GetCorpus();
    const Encoding& e = kEncodings[code - 1];
    const std::string out = (c.dir / "out").string();
    for (auto _ : state) {
        if (lib) {
            TextFile file;
            file.SetBufferSize(1 << 16);
            if (file.Open(out.c_str(), TextFile::TF_MODE_WRITE, code) != 0) throw std::runtime_error("open failed");
            for (const std::string& line : c.lines) {
                file.WriteString(line.c_str());
                file.WriteString("\n");
            }
            file.Close();
        } else {
            FILE* f = std::fopen(out.c_str(), "wb");
            std::fwrite(e.mark, 1, std::strlen(e.mark), f);
            if (code == 1) {
                for (std::size_t pos = 0; pos < c.text.size(); pos += 1 << 16)
                    std::fwrite(c.text.data() + pos, 1, std::min<std::size_t>(1 << 16, c.text.size() - pos), f);
            } else {
                iconv_t cd = iconv_open(e.iconvName, "WINDOWS-1252");
                IconvStream(cd, c.text.data(), c.text.size(), [&](const char* p, std::size_t n) { std::fwrite(p, 1, n, f); });
                iconv_close(cd);
            }
            std::fclose(f);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.text.size()));
}

void BM_OneLine(benchmark::State& state, bool lib) {
    Corpus& c = GetCorpus();
    for (auto _ : state) {
        std::size_t bytes = lib ? ReadThrough(c.oneLineFile) : IconvReadThrough(c.oneLineFile, "UTF-16LE", 2);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.oneLineBody.size() / 2));
}

}  // namespace

int main(int argc, char** argv) {
    const char* names[] = {"", "ansi", "utf16le", "utf16be", "utf8"};
    for (int code = 1; code <= 4; ++code) {
        for (bool lib : {true, false}) {
            std::string suffix = lib ? "/lib" : "/ref";
            benchmark::RegisterBenchmark(("read_" + std::string(names[code]) + suffix).c_str(), BM_Read, code, lib)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("write_" + std::string(names[code]) + suffix).c_str(), BM_Write, code, lib)
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (bool lib : {true, false})
        benchmark::RegisterBenchmark(lib ? "one_line_utf16le/lib" : "one_line_utf16le/ref", BM_OneLine, lib)
            ->Unit(benchmark::kMillisecond);
    vutil::bench::RatioReporter reporter;
    return vutil::bench::Run(argc, argv, reporter);
}
