#pragma once
// Console output as usual, then one line per pair of benchmarks: the library's
// figure, the reference's figure, and library time / reference time (below 1: the
// library is faster) and its inverse, the speed-up. Pairs are "<case><libSuffix>" with "<case><refSuffix>", or
// named one by one with AddPair. Times are CPU times: the machine may be shared.
//
//     int main(int argc, char** argv) {
//         vutil::bench::RatioReporter reporter;  // "/lib" beside "/ref"
//         return vutil::bench::Run(argc, argv, reporter);
//     }

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vutil::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::string libSuffix = "/lib", std::string refSuffix = "/ref")
        : m_libSuffix(std::move(libSuffix)), m_refSuffix(std::move(refSuffix)) {}

    void AddPair(std::string lib, std::string ref) { m_pairs.emplace_back(std::move(lib), std::move(ref)); }

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred || r.iterations == 0) continue;
            Figure f;
            f.seconds = r.GetAdjustedCPUTime();
            if (auto it = r.counters.find("bytes_per_second"); it != r.counters.end()) {
                f.rate = it->second.value / 1e6;
                f.unit = "MB/s";
            } else if (auto items = r.counters.find("items_per_second"); items != r.counters.end()) {
                f.rate = items->second.value;
                f.unit = "items/s";
            } else if (f.seconds > 0) {
                f.rate = 1e9 / f.seconds;  // adjusted times are in nanoseconds per iteration
                f.unit = "calls/s";
            }
            m_figures[r.benchmark_name()] = f;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::vector<std::pair<std::string, std::string>> pairs = m_pairs;
        for (const auto& [name, figure] : m_figures) {
            if (name.size() <= m_libSuffix.size() || !name.ends_with(m_libSuffix)) continue;
            std::string base = name.substr(0, name.size() - m_libSuffix.size());
            pairs.emplace_back(name, base + m_refSuffix);
        }
        std::printf("\n%-52s %11s %11s %-8s %10s %9s\n", "library (reference)", "library", "reference", "unit",
                    "time ratio", "speed-up");
        for (const auto& [lib, ref] : pairs) {
            auto l = m_figures.find(lib);
            auto r = m_figures.find(ref);
            if (l == m_figures.end() || r == m_figures.end() || r->second.seconds <= 0) continue;
            double ratio = l->second.seconds / r->second.seconds;
            std::printf("%-52s %11.4g %11.4g %-8s %10.3f %8.1fx\n", (lib + " (" + ref + ")").c_str(), l->second.rate,
                        r->second.rate, l->second.unit, ratio, ratio > 0 ? 1 / ratio : 0.0);
        }
    }

private:
    struct Figure {
        double seconds = 0;
        double rate = 0;
        const char* unit = "";
    };
    std::string m_libSuffix, m_refSuffix;
    std::vector<std::pair<std::string, std::string>> m_pairs;
    std::map<std::string, Figure> m_figures;
};

inline int Run(int argc, char** argv, RatioReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace vutil::bench
