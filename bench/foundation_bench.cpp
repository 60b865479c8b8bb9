// TextArray and CString against std::vector<std::string> / std::string doing the
// same work. Pairs: <case>/lib and <case>/ref.

#include <strings.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ratio_reporter.h"
#include "vutil/core/text_array.h"
#include "vutil/framework/cstring.h"

namespace {

constexpr int kItems = 10000;

std::vector<std::string> Words() {
    std::vector<std::string> w;
    w.reserve(kItems);
    for (int i = 0; i < kItems; ++i) w.push_back("item-" + std::to_string(i * 7919 % 100003));
    return w;
}

const std::vector<std::string>& StdWords() {
    static const auto w = Words();
    return w;
}

const std::vector<vutil::CString>& LibWords() {
    static const auto w = [] {
        std::vector<vutil::CString> v;
        for (const auto& s : StdWords()) v.emplace_back(s);
        return v;
    }();
    return w;
}

void Append_lib(benchmark::State& state) {
    for (auto _ : state) {
        vutil::TextArray a;
        for (const auto& s : LibWords()) a.Add(s);
        benchmark::DoNotOptimize(a.GetCount());
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
void Append_ref(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<std::string> a;
        for (const auto& s : StdWords()) a.push_back(s);
        benchmark::DoNotOptimize(a.size());
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void FindLinear_lib(benchmark::State& state) {
    vutil::TextArray a;
    for (const auto& s : LibWords()) a.Add(s);
    vutil::CString target = LibWords().back();
    for (auto _ : state) {
        bool found;
        benchmark::DoNotOptimize(a.Find(target, true, found));
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
void FindLinear_ref(benchmark::State& state) {
    const auto& a = StdWords();
    std::string target = a.back();
    for (auto _ : state) {
        std::size_t i = 0;
        for (; i < a.size(); ++i) {
            if (a[i] == target) break;
        }
        benchmark::DoNotOptimize(i);
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void Compare_lib(benchmark::State& state) {
    const auto& w = LibWords();
    for (auto _ : state) {
        int sum = 0;
        for (int i = 1; i < kItems; ++i) sum += w[static_cast<std::size_t>(i)].Compare(w[static_cast<std::size_t>(i - 1)]);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * (kItems - 1));
}
void Compare_ref(benchmark::State& state) {
    const auto& w = StdWords();
    for (auto _ : state) {
        int sum = 0;
        for (int i = 1; i < kItems; ++i) {
            int r = w[static_cast<std::size_t>(i)].compare(w[static_cast<std::size_t>(i - 1)]);
            sum += (r > 0) - (r < 0);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * (kItems - 1));
}

void Concatenate_lib(benchmark::State& state) {
    const auto& w = LibWords();
    for (auto _ : state) {
        vutil::CString all;
        for (const auto& s : w) {
            all += s;
            all += ", ";
        }
        benchmark::DoNotOptimize(all.GetLength());
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
void Concatenate_ref(benchmark::State& state) {
    const auto& w = StdWords();
    for (auto _ : state) {
        std::string all;
        for (const auto& s : w) {
            all += s;
            all += ", ";
        }
        benchmark::DoNotOptimize(all.size());
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void SortNoCase_lib(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        vutil::TextArray a;
        for (const auto& s : LibWords()) a.Add(s);
        state.ResumeTiming();
        a.Sort(true, false, false, true);
        benchmark::DoNotOptimize(a.GetCount());
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
void SortNoCase_ref(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> a = StdWords();
        state.ResumeTiming();
        std::sort(a.begin(), a.end(), [](const std::string& x, const std::string& y) {
            return strcasecmp(x.c_str(), y.c_str()) < 0;
        });
        benchmark::DoNotOptimize(a.size());
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

}  // namespace

BENCHMARK(Append_lib)->Name("Append/lib");
BENCHMARK(Append_ref)->Name("Append/ref");
BENCHMARK(FindLinear_lib)->Name("FindLinear/lib");
BENCHMARK(FindLinear_ref)->Name("FindLinear/ref");
BENCHMARK(Compare_lib)->Name("Compare/lib");
BENCHMARK(Compare_ref)->Name("Compare/ref");
BENCHMARK(Concatenate_lib)->Name("Concatenate/lib");
BENCHMARK(Concatenate_ref)->Name("Concatenate/ref");
BENCHMARK(SortNoCase_lib)->Name("SortNoCase/lib");
BENCHMARK(SortNoCase_ref)->Name("SortNoCase/ref");

int main(int argc, char** argv) {
    vutil::bench::RatioReporter reporter;
    return vutil::bench::Run(argc, argv, reporter);
}
