// Throughput of wildcard matching, whole-word search, word lists and reading level on
// about 4 MB of generated English prose, each beside a standard-library reference that
// does comparable work on the same bytes. Prints MB/s and the library/reference ratio.
//
//   build/default/bench/bench_text_bench [--benchmark_min_time=0.5]

#include <benchmark/benchmark.h>

#include "ratio_reporter.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "vutil/core/text_array.h"
#include "vutil/text/string_utils.h"

namespace {

using vutil::CString;
using vutil::CStringUtils;

struct Corpus {
    std::string text;                 // the whole document, lines joined by "\n"
    std::vector<std::string> lines;   // the same, line by line
    vutil::CStringList lineList;
    std::vector<CString> lineStrings;
    std::size_t bytes = 0;            // bytes of all lines
};

const Corpus& GetCorpus() {
    static const Corpus corpus = [] {
        static const char* const vocabulary[] = {
            "the", "a", "of", "and", "to", "in", "is", "was", "it", "for", "on", "with", "as", "by", "at", "that",
            "cat", "sat", "mat", "house", "people", "water", "reading", "table", "morning", "children", "question",
            "government", "information", "understanding", "community", "organization", "development", "important",
            "beautiful", "remember", "together", "however", "probably", "quickly", "yesterday", "everything",
            "queue", "rhythm", "happy", "easy", "river", "mountain", "language", "national", "experience",
            "U.S.", "e.g.", "don't", "it's", "they're", "twenty-one", "self-made", "(often)", "\"quoted\"",
        };
        std::mt19937 gen(42);
        Corpus c;
        std::string line;
        while (c.bytes < 4u << 20) {
            int words = 5 + static_cast<int>(gen() % 16);
            for (int w = 0; w < words; ++w) {
                std::string word = vocabulary[gen() % std::size(vocabulary)];
                if (w == 0) word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
                if (w + 1 < words && gen() % 9 == 0) word += ',';
                if (w + 1 == words) word += ".?!"[gen() % 10 < 8 ? 0 : 1 + gen() % 2];
                if (line.size() + word.size() + 1 > 72) {
                    c.bytes += line.size();
                    c.lines.push_back(line);
                    line.clear();
                }
                if (!line.empty()) line += ' ';
                line += word;
            }
        }
        c.bytes += line.size();
        c.lines.push_back(line);
        for (const auto& l : c.lines) {
            c.text += l;
            c.text += '\n';
            c.lineList.AddTail(CString(l));
            c.lineStrings.emplace_back(l);
        }
        return c;
    }();
    return corpus;
}

// The same separators and vowels as the library's, for the references.
constexpr std::array<bool, 256> MakeTable(std::string_view bytes) {
    std::array<bool, 256> t{};
    for (char ch : bytes) t[static_cast<unsigned char>(ch)] = true;
    return t;
}
constexpr auto kSeparators = MakeTable(" ?.,\xB7\"\x93\x94:;/()&*-+\xB1\xF7\xD7=|\\[]-\xAD\x96\x97\t\r\n\x85");
constexpr auto kVowels = MakeTable("aeiouyAEIOUY");

void SetBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

// ---- MatchSpec: a "*mid*" specification per line, against find on a lower-cased copy ----

void MatchSpecLib(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    const CString spec("*QUESTION*");
    for (auto _ : state) {
        int hits = 0;
        for (const CString& line : c.lineStrings) hits += CStringUtils::MatchSpec(line, spec, false);
        benchmark::DoNotOptimize(hits);
    }
    SetBytes(state, c.bytes);
}

void MatchSpecRef(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    const std::string needle = "question";
    for (auto _ : state) {
        int hits = 0;
        for (const std::string& line : c.lines) {
            std::string lower(line);
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
            hits += lower.find(needle) != std::string::npos;
        }
        benchmark::DoNotOptimize(hits);
    }
    SetBytes(state, c.bytes);
}

// ---- MatchSpec, suffix rule with case: "*ing." against an ends-with test ----

void MatchSpecSuffixLib(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    const CString spec("*ing.");
    for (auto _ : state) {
        int hits = 0;
        for (const CString& line : c.lineStrings) hits += CStringUtils::MatchSpec(line, spec, true);
        benchmark::DoNotOptimize(hits);
    }
    SetBytes(state, c.bytes);
}

void MatchSpecSuffixRef(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    for (auto _ : state) {
        int hits = 0;
        for (const std::string& line : c.lines) hits += std::string_view(line).ends_with("ing.");
        benchmark::DoNotOptimize(hits);
    }
    SetBytes(state, c.bytes);
}

// ---- FindWholeWordMatch over the whole document, against a find loop ----

void FindWholeWordLib(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    const CString text(c.text);
    for (auto _ : state) benchmark::DoNotOptimize(CStringUtils::FindWholeWordMatch(text, "the", INT_MAX, 0));
    SetBytes(state, c.text.size());
}

void FindWholeWordRef(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    for (auto _ : state) {
        int count = 0;
        for (std::size_t pos = c.text.find("the"); pos != std::string::npos; pos = c.text.find("the", pos + 1)) ++count;
        benchmark::DoNotOptimize(count);
    }
    SetBytes(state, c.text.size());
}

// ---- GetWords per line, against a table-driven split ----

void GetWordsLib(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    vutil::TextArray words;
    words.Reserve(1u << 20);
    for (auto _ : state) {
        words.DeleteAll();
        for (const CString& line : c.lineStrings) CStringUtils::GetWords(line, words, true);
        benchmark::DoNotOptimize(words.GetCount());
    }
    SetBytes(state, c.bytes);
}

void GetWordsRef(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    std::vector<std::string> words;
    words.reserve(1u << 20);
    for (auto _ : state) {
        words.clear();
        for (const std::string& line : c.lines) {
            std::size_t from = 0;
            for (std::size_t i = 0; i <= line.size(); ++i) {
                if (i < line.size() && !kSeparators[static_cast<unsigned char>(line[i])]) continue;
                if (i > from) words.emplace_back(line, from, i - from);
                from = i + 1;
            }
        }
        benchmark::DoNotOptimize(words.size());
    }
    SetBytes(state, c.bytes);
}

// ---- CalcReadingLevel, against one table-driven pass counting the same three things ----

void ReadingLevelLib(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    for (auto _ : state) {
        double ease;
        int grade;
        unsigned int syllables, words, sentences;
        CStringUtils::CalcReadingLevel(c.lineList, ease, grade, syllables, words, sentences);
        benchmark::DoNotOptimize(ease);
    }
    SetBytes(state, c.bytes);
}

void ReadingLevelRef(benchmark::State& state) {
    const Corpus& c = GetCorpus();
    for (auto _ : state) {
        unsigned int syllables = 0, words = 0, sentences = 0;
        for (const std::string& line : c.lines) {
            words += 1;
            for (std::size_t i = 0; i < line.size(); ++i) {
                auto ch = static_cast<unsigned char>(line[i]);
                words += kSeparators[ch];
                sentences += ch == '.' || ch == '?' || ch == '!';
                syllables += kVowels[ch] && (i == 0 || !kVowels[static_cast<unsigned char>(line[i - 1])]);
            }
        }
        benchmark::DoNotOptimize(syllables + words + sentences);
    }
    SetBytes(state, c.bytes);
}

BENCHMARK(MatchSpecLib)->Name("MatchSpec/lib");
BENCHMARK(MatchSpecRef)->Name("MatchSpec/ref");
BENCHMARK(MatchSpecSuffixLib)->Name("MatchSpecSuffix/lib");
BENCHMARK(MatchSpecSuffixRef)->Name("MatchSpecSuffix/ref");
BENCHMARK(FindWholeWordLib)->Name("FindWholeWordMatch/lib");
BENCHMARK(FindWholeWordRef)->Name("FindWholeWordMatch/ref");
BENCHMARK(GetWordsLib)->Name("GetWords/lib");
BENCHMARK(GetWordsRef)->Name("GetWords/ref");
BENCHMARK(ReadingLevelLib)->Name("CalcReadingLevel/lib");
BENCHMARK(ReadingLevelRef)->Name("CalcReadingLevel/ref");


}  // namespace

int main(int argc, char** argv) {
    GetCorpus();  // generated once, outside the timings
    vutil::bench::RatioReporter reporter;
    return vutil::bench::Run(argc, argv, reporter);
}
