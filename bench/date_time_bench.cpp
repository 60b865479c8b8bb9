// Calendar speed: the closed forms of DateTime and DateEntry beside the literal loops
// (year scan, text-building weekday steps) they replace, on dates in 2000-2100.
//
//   ./build/default/bench/bench_date_time_bench --benchmark_min_time=0.2

#include <benchmark/benchmark.h>

#include "ratio_reporter.h"

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "../tests/dates/literal_calendar.h"
#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"

namespace {

struct Calendar : vutil::DateTime {
    using DateTime::DaysFromDay1;
};

constexpr int k2000 = 730122;  // 1 January 2000
constexpr int k2101 = 767012;  // 1 January 2101

struct Ymd {
    int y, m, d;
};

const std::vector<int>& DayNumbers() {
    static const std::vector<int> numbers = [] {
        std::mt19937 gen(1);
        std::uniform_int_distribution<int> pick(k2000, k2101 - 1);
        std::vector<int> v(4096);
        for (int& n : v) n = pick(gen);
        return v;
    }();
    return numbers;
}

const std::vector<vutil::DateTime>& Dates() {
    static const std::vector<vutil::DateTime> dates = [] {
        std::vector<vutil::DateTime> v;
        for (int n : DayNumbers()) {
            vutil::DateTime dt(2000, 1, 1, 0, 0, 0);
            dt.AddDays(n - k2000);
            v.push_back(dt);
        }
        return v;
    }();
    return dates;
}

const std::vector<Ymd>& Triples() {
    static const std::vector<Ymd> triples = [] {
        std::vector<Ymd> v;
        for (const auto& dt : Dates()) {
            Ymd t{};
            dt.GetDate(t.y, t.m, t.d);
            v.push_back(t);
        }
        return v;
    }();
    return triples;
}

// Runs `body(i)` over the sample, counting one item per call.
template <typename Body>
void Loop(benchmark::State& state, Body body) {
    const std::size_t size = DayNumbers().size();
    std::size_t i = 0;
    for (auto _ : state) {
        body(i);
        if (++i == size) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void GetDate_Library(benchmark::State& s) {
    Loop(s, [](std::size_t i) {
        int y, m, d;
        Dates()[i].GetDate(y, m, d);
        benchmark::DoNotOptimize(y + m + d);
    });
}
void GetDate_Literal(benchmark::State& s) {
    Loop(s, [](std::size_t i) {
        int y, m, d;
        vutil::literal::GetDate(DayNumbers()[i], y, m, d);
        benchmark::DoNotOptimize(y + m + d);
    });
}
void DaysFromDay1_Library(benchmark::State& s) {
    Loop(s, [](std::size_t i) {
        const Ymd& t = Triples()[i];
        benchmark::DoNotOptimize(Calendar::DaysFromDay1(t.y, t.m, t.d));
    });
}
void DaysFromDay1_Literal(benchmark::State& s) {
    Loop(s, [](std::size_t i) {
        const Ymd& t = Triples()[i];
        benchmark::DoNotOptimize(vutil::literal::DaysFromDay1(t.y, t.m, t.d));
    });
}
void GetDayOfWeek_Library(benchmark::State& s) {
    Loop(s, [](std::size_t i) { benchmark::DoNotOptimize(Dates()[i].GetDayOfWeek()); });
}
void GetDayOfWeek_Literal(benchmark::State& s) {
    Loop(s, [](std::size_t i) { benchmark::DoNotOptimize(vutil::literal::GetDayOfWeek(DayNumbers()[i])); });
}
void AddMonths_Library(benchmark::State& s) {
    Loop(s, [](std::size_t i) {
        vutil::DateTime dt = Dates()[i];
        dt.AddMonths(static_cast<int>(i % 25) - 12);
        benchmark::DoNotOptimize(dt);
    });
}
void AddMonths_Literal(benchmark::State& s) {
    Loop(s, [](std::size_t i) {
        benchmark::DoNotOptimize(vutil::literal::AddMonths(DayNumbers()[i], static_cast<int>(i % 25) - 12));
    });
}
void GetDateFor_Library(benchmark::State& s) {
    vutil::DateEntry rule;
    Loop(s, [&rule](std::size_t i) {
        const Ymd& t = Triples()[i];
        rule.SetDayOfWeek("x", static_cast<vutil::DateEntry::OCCURRENCE>(i % 4 + 1), static_cast<int>(i % 7) + 1, t.m);
        vutil::DateTime dt;
        rule.GetDateFor(t.y, dt);
        benchmark::DoNotOptimize(dt);
    });
}
void GetDateFor_Literal(benchmark::State& s) {
    Loop(s, [](std::size_t i) {
        const Ymd& t = Triples()[i];
        const int day = vutil::literal::OccurrenceDay(static_cast<int>(i % 4) + 1, static_cast<int>(i % 7) + 1, t.m, t.y);
        benchmark::DoNotOptimize(vutil::literal::DaysFromDay1(t.y, t.m, day));
    });
}

BENCHMARK(GetDate_Library);
BENCHMARK(GetDate_Literal);
BENCHMARK(DaysFromDay1_Library);
BENCHMARK(DaysFromDay1_Literal);
BENCHMARK(GetDayOfWeek_Library);
BENCHMARK(GetDayOfWeek_Literal);
BENCHMARK(AddMonths_Library);
BENCHMARK(AddMonths_Literal);
BENCHMARK(GetDateFor_Library);
BENCHMARK(GetDateFor_Literal);


}  // namespace

int main(int argc, char** argv) {
    vutil::bench::RatioReporter reporter("_Library", "_Literal");
    return vutil::bench::Run(argc, argv, reporter);
}
