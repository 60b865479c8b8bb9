// Date and time text speed: DateTime's free-form parsers and locale formatters beside
// the C library's strptime / strftime doing the comparable numeric work on the same
// values, in calls per second; the table at the end gives library time / C time.
//
//   ./build/default/bench/bench_date_text_bench --benchmark_min_time=0.2s

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "ratio_reporter.h"
#include "vutil/dates/date_time.h"
#include "vutil/dates/locale_utils.h"
#include "vutil/platform/clock.h"

namespace {

// The built-in en-US table, UTC, and a fixed "today", so that every run does the same work.
const bool kSetUp = [] {
    ::setenv("VUTIL_LOCALE", "en-US", 1);
    ::setenv("TZ", "UTC0", 1);
    vutil::platform::PinClock(1741965600);  // Friday 14 March 2025, 15:20 UTC
    return true;
}();

enum class Kind { Date, Time, Duration };

struct Input {
    Kind kind;
    const char* text;
    // What strptime reads in its place: the same value in a form it knows.
    const char* refText;
    const char* refFormat;
};

// Twenty typical inputs: numeric dates, month words, relative phrases, times, durations.
const Input kMix[] = {
    {Kind::Date, "3/5/2024", "3/5/2024", "%m/%d/%Y"},
    {Kind::Date, "12/25/2023", "12/25/2023", "%m/%d/%Y"},
    {Kind::Date, "7/4/1999", "7/4/1999", "%m/%d/%Y"},
    {Kind::Date, "1/15/2030", "1/15/2030", "%m/%d/%Y"},
    {Kind::Date, "11/30/2024", "11/30/2024", "%m/%d/%Y"},
    {Kind::Date, "Mar 5 2024", "Mar 5 2024", "%b %d %Y"},
    {Kind::Date, "5 march 2024", "5 march 2024", "%d %B %Y"},
    {Kind::Date, "2024 DEC 31", "2024 DEC 31", "%Y %b %d"},
    {Kind::Date, "yesterday", "3/13/2025", "%m/%d/%Y"},
    {Kind::Date, "next month", "4/14/2025", "%m/%d/%Y"},
    {Kind::Date, "3 weeks ago", "2/21/2025", "%m/%d/%Y"},
    {Kind::Date, "10 days from now", "3/24/2025", "%m/%d/%Y"},
    {Kind::Date, "second tuesday of march 2025", "3/11/2025", "%m/%d/%Y"},
    {Kind::Date, "last friday", "3/7/2025", "%m/%d/%Y"},
    {Kind::Time, "10:30 pm", "10:30 pm", "%I:%M %p"},
    {Kind::Time, "23:15", "23:15", "%H:%M"},
    {Kind::Time, "1030", "1030", "%H%M"},
    {Kind::Time, "12 am", "12 am", "%I %p"},
    {Kind::Duration, "2h 15m", "2h 15m", "%Hh %Mm"},
    {Kind::Duration, "1.5h", "1:30", "%H:%M"},
};

std::vector<vutil::CString> Texts(bool numericOnly) {
    std::vector<vutil::CString> texts;
    if (!numericOnly) {
        for (const Input& in : kMix) texts.emplace_back(in.text);
        return texts;
    }
    // Numeric dates spread over two centuries.
    std::mt19937 gen(7);
    for (int i = 0; i < 256; ++i) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%u/%u/%u", 1 + gen() % 12, 1 + gen() % 28, 1950 + gen() % 150);
        texts.emplace_back(buf);
    }
    return texts;
}

void Items(benchmark::State& state, std::size_t perIteration) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * perIteration));
}

// ---- Parsing ----------------------------------------------------------------------------------

void NumericDate_lib(benchmark::State& state) {
    const auto texts = Texts(true);
    vutil::DateTime dt;
    for (auto _ : state) {
        for (const auto& t : texts) benchmark::DoNotOptimize(dt.SetDate(t));
    }
    Items(state, texts.size());
}

void NumericDate_ref(benchmark::State& state) {
    const auto texts = Texts(true);
    for (auto _ : state) {
        for (const auto& t : texts) {
            struct tm tm {};
            benchmark::DoNotOptimize(strptime(t.GetString(), "%m/%d/%Y", &tm));
            benchmark::DoNotOptimize(tm);
        }
    }
    Items(state, texts.size());
}

void Mix20_lib(benchmark::State& state) {
    vutil::DateTime dt;
    std::vector<vutil::CString> texts;
    for (const Input& in : kMix) texts.emplace_back(in.text);
    for (auto _ : state) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            switch (kMix[i].kind) {
                case Kind::Date: benchmark::DoNotOptimize(dt.SetDate(texts[i])); break;
                case Kind::Time: benchmark::DoNotOptimize(dt.SetTime(texts[i])); break;
                case Kind::Duration:
                    benchmark::DoNotOptimize(vutil::DateTime::ConvertFromDuration(texts[i], false));
                    break;
            }
        }
    }
    Items(state, texts.size());
}

void Mix20_ref(benchmark::State& state) {
    for (auto _ : state) {
        for (const Input& in : kMix) {
            struct tm tm {};
            benchmark::DoNotOptimize(strptime(in.refText, in.refFormat, &tm));
            benchmark::DoNotOptimize(tm);
        }
    }
    Items(state, std::size(kMix));
}

void Time_lib(benchmark::State& state) {
    const vutil::CString texts[] = {"10:30 pm", "7:05 am", "11:59:59 PM", "12 am"};
    vutil::DateTime dt;
    for (auto _ : state) {
        for (const auto& t : texts) benchmark::DoNotOptimize(dt.SetTime(t));
    }
    Items(state, std::size(texts));
}

void Time_ref(benchmark::State& state) {
    const char* const texts[][2] = {{"10:30 pm", "%I:%M %p"}, {"7:05 am", "%I:%M %p"},
                                    {"11:59:59 PM", "%I:%M:%S %p"}, {"12 am", "%I %p"}};
    for (auto _ : state) {
        for (const auto& t : texts) {
            struct tm tm {};
            benchmark::DoNotOptimize(strptime(t[0], t[1], &tm));
            benchmark::DoNotOptimize(tm);
        }
    }
    Items(state, std::size(texts));
}

// ---- Formatting -------------------------------------------------------------------------------

struct Values {
    std::vector<vutil::DateTime> dates;
    std::vector<struct tm> tms;
};

const Values& SampleValues() {
    static const Values values = [] {
        Values v;
        std::mt19937 gen(11);
        for (int i = 0; i < 256; ++i) {
            // 1970 ... 2037: the years a struct tm takes from DateTime.
            const int y = 1970 + static_cast<int>(gen() % 68), m = 1 + static_cast<int>(gen() % 12),
                      d = 1 + static_cast<int>(gen() % 28), h = static_cast<int>(gen() % 24),
                      mi = static_cast<int>(gen() % 60), s = static_cast<int>(gen() % 60);
            v.dates.emplace_back(y, m, d, h, mi, s);
            struct tm tm {};
            v.dates.back().Get(tm);
            v.tms.push_back(tm);
        }
        return v;
    }();
    return values;
}

// One formatter over the sample values, and strftime with the matching pattern.
template <typename Format>
void FormatLib(benchmark::State& state, Format format) {
    const auto& v = SampleValues();
    for (auto _ : state) {
        for (const auto& dt : v.dates) benchmark::DoNotOptimize(format(dt));
    }
    Items(state, v.dates.size());
}

void FormatRef(benchmark::State& state, const char* pattern) {
    const auto& v = SampleValues();
    for (auto _ : state) {
        for (const auto& tm : v.tms) {
            char buf[64];
            benchmark::DoNotOptimize(std::strftime(buf, sizeof buf, pattern, &tm));
            benchmark::DoNotOptimize(std::string(buf));
        }
    }
    Items(state, v.tms.size());
}

const bool kFormatters = [] {
    using vutil::DateTime;
    benchmark::RegisterBenchmark("FormatDate/lib", [](benchmark::State& s) {
        FormatLib(s, [](const DateTime& dt) { return DateTime::ConvertDateToText(dt, false, false, false, true); });
    });
    benchmark::RegisterBenchmark("FormatDate/ref", [](benchmark::State& s) { FormatRef(s, "%-m/%-d/%Y"); });
    benchmark::RegisterBenchmark("FormatTime/lib", [](benchmark::State& s) {
        FormatLib(s, [](const DateTime& dt) { return DateTime::ConvertTimeToText(dt, true); });
    });
    benchmark::RegisterBenchmark("FormatTime/ref", [](benchmark::State& s) { FormatRef(s, "%-I:%M:%S %p"); });
    benchmark::RegisterBenchmark("FormatWords/lib", [](benchmark::State& s) {
        FormatLib(s, [](const DateTime& dt) { return DateTime::ConvertDateToText(dt, false, false, false, false); });
    });
    benchmark::RegisterBenchmark("FormatWords/ref", [](benchmark::State& s) { FormatRef(s, "%B %-d, %Y"); });
    return true;
}();

// What regional-settings items cost through CLocaleUtils, each read asking the platform
// afresh. The parsers and formatters keep theirs per locale table and pay only one
// check of VUTIL_LOCALE per call.
void LocaleItem_lib(benchmark::State& state) {
    unsigned day = 0, month = 0, year = 0;
    for (auto _ : state) {
        vutil::CLocaleUtils::GetDateOrdering(day, month, year);
        benchmark::DoNotOptimize(day);
        benchmark::DoNotOptimize(vutil::CLocaleUtils::GetDateSeparator());
    }
    Items(state, 2);
}

// Approximate text has no C counterpart; it runs alone for its rate.
void Fuzzy_lib(benchmark::State& state) {
    const std::int64_t spans[] = {30, -3600, 5400, 86400, -34560000, 800 * 86400, 2 * 86400 + 7200, 52 * 86400};
    for (auto _ : state) {
        for (const auto s : spans) benchmark::DoNotOptimize(vutil::DateTime::ConvertSecondsToFuzzyText(s, false, true));
    }
    Items(state, std::size(spans));
}

BENCHMARK(NumericDate_lib)->Name("NumericDate/lib");
BENCHMARK(NumericDate_ref)->Name("NumericDate/ref");
BENCHMARK(Mix20_lib)->Name("Mix20/lib");
BENCHMARK(Mix20_ref)->Name("Mix20/ref");
BENCHMARK(Time_lib)->Name("Time/lib");
BENCHMARK(Time_ref)->Name("Time/ref");
BENCHMARK(Fuzzy_lib)->Name("Fuzzy/lib");
BENCHMARK(LocaleItem_lib)->Name("LocaleItem/lib");

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    vutil::bench::RatioReporter reporter;  // "/lib" beside "/ref" (strptime, strftime)
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
