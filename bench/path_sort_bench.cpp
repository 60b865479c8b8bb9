// TextArray::Sort on 1,000,000 generated file paths: path mode (directory, name,
// extension) beside the plain mode and std::sort of std::string on the same paths.
// Path mode should stay within 3x the plain mode.

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ratio_reporter.h"
#include "vutil/core/text_array.h"

namespace {

constexpr std::size_t kCount = 1000000;

const std::vector<std::string>& Paths() {
    static const std::vector<std::string> paths = [] {
        std::mt19937 gen(2026);
        const char* exts[] = {"txt", "htm", "html", "jpg", "png", "doc", "cpp", "h", "gz", ""};
        const char* words[] = {"Documents", "src", "images", "Projects", "site", "build", "notes", "Music",
                               "archive",   "web", "data",   "reports",  "old",  "lib",   "Photos"};
        std::vector<std::string> out;
        out.reserve(kCount);
        for (std::size_t i = 0; i < kCount; ++i) {
            std::string p = "C:\\Users\\user";
            const unsigned depth = 1 + gen() % 4;
            for (unsigned d = 0; d < depth; ++d) (p += '\\') += words[gen() % 15];
            p += "\\file" + std::to_string(gen() % 50000);
            if (const char* e = exts[gen() % 10]; *e) (p += '.') += e;
            out.push_back(std::move(p));
        }
        return out;
    }();
    return paths;
}

void SortTextArray(benchmark::State& state, bool filePaths) {
    vutil::TextArray source;
    source.Reserve(kCount);
    for (const auto& p : Paths()) source.Add(vutil::CString(p));
    for (auto _ : state) {
        state.PauseTiming();
        vutil::TextArray a = source;
        state.ResumeTiming();
        a.Sort(true, false, filePaths, true);
        benchmark::DoNotOptimize(a.GetFirst());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kCount));
}

void PathMode(benchmark::State& state) { SortTextArray(state, true); }
void PlainMode(benchmark::State& state) { SortTextArray(state, false); }

void StdSort(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> v = Paths();
        state.ResumeTiming();
        std::sort(v.begin(), v.end());
        benchmark::DoNotOptimize(v.front());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kCount));
}

BENCHMARK(PathMode)->Name("Sort/lib")->Unit(benchmark::kMillisecond);
BENCHMARK(PlainMode)->Name("Sort/plain")->Unit(benchmark::kMillisecond);
BENCHMARK(StdSort)->Name("Sort/ref")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    vutil::bench::RatioReporter reporter;
    reporter.AddPair("Sort/lib", "Sort/plain");
    reporter.AddPair("Sort/plain", "Sort/ref");
    return vutil::bench::Run(argc, argv, reporter);
}
