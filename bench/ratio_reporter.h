#pragma once
// A console reporter that, after the usual table, pairs each benchmark named
// "<case>/lib..." with "<case>/ref..." and prints lib time / ref time.
// Use VUTIL_BENCH_MAIN() in place of BENCHMARK_MAIN().

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace vutil::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
            std::string name = r.benchmark_name();
            std::size_t slash = name.find('/');
            if (slash == std::string::npos) continue;
            std::string group = name.substr(0, slash);
            std::string side = name.substr(slash + 1, 3);
            double t = r.GetAdjustedRealTime();
            if (side == "lib") m_lib[group] = t;
            else if (side == "ref") m_ref[group] = t;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-40s %12s\n", "case (library time / reference time)", "ratio");
        for (const auto& [group, lib] : m_lib) {
            auto it = m_ref.find(group);
            if (it != m_ref.end() && it->second > 0) std::printf("%-40s %12.2f\n", group.c_str(), lib / it->second);
        }
    }

private:
    std::map<std::string, double> m_lib, m_ref;
};

}  // namespace vutil::bench

#define VUTIL_BENCH_MAIN()                                        \
    int main(int argc, char** argv) {                             \
        benchmark::Initialize(&argc, argv);                       \
        vutil::bench::RatioReporter reporter;                     \
        benchmark::RunSpecifiedBenchmarks(&reporter);             \
        benchmark::Shutdown();                                    \
        return 0;                                                 \
    }
