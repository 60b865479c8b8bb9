// CStringUtils: syllable, word and sentence counts, word lists and reading level.
//
// These run over whole documents, so each is a single pass over the bytes with
// constant lookup tables and no copies of the text.

#include <array>
#include <string_view>

#include "vutil/core/text_array.h"
#include "vutil/text/string_utils.h"
#include "vutil/text/string_utils_internal.h"

namespace vutil {

using namespace text_detail;

namespace {

using ByteSet = std::array<bool, 256>;

constexpr ByteSet MakeSet(std::string_view bytes) {
    ByteSet set{};
    for (char c : bytes) set[static_cast<unsigned char>(c)] = true;
    return set;
}

constexpr ByteSet kSeparatorSet = MakeSet(kWordSeparators);
constexpr ByteSet kSeparatorBraceSet = [] {
    ByteSet set = kSeparatorSet;
    set['{'] = set['}'] = true;
    return set;
}();
constexpr ByteSet kVowels = MakeSet("aeiouyAEIOUY");

inline bool In(const ByteSet& set, char c) { return set[static_cast<unsigned char>(c)]; }

const ByteSet& Separators(bool braces) { return braces ? kSeparatorBraceSet : kSeparatorSet; }

// GetWordCount without the copy its by-value argument costs.
int CountWords(std::string_view text, bool bracesSeparate) {
    std::string_view keep = bracesSeparate ? std::string_view() : std::string_view("{}");
    auto [first, last] = TrimPunctuationBounds(text, keep, keep);
    std::string_view t = text.substr(first, last - first);
    if (AllBlank(t)) return 0;
    const ByteSet& seps = Separators(bracesSeparate);
    int count = 1;
    for (char c : t) count += In(seps, c);
    return count;
}

}  // namespace

int CStringUtils::GetSyllableCount(const CString& text) {
    std::string_view t = text.view();
    if (t.size() < 2) return 0;  // a lone vowel is the end of its word
    int count = 0;
    const std::size_t last = t.size() - 1;
    for (std::size_t i = 0; i < last; ++i) {
        if (!In(kVowels, t[i])) continue;
        // A vowel that ends a word is silent; a run of vowels counts once, at its start.
        char next = t[i + 1];
        if (Blank(next) || Punct(next)) continue;
        if (i > 0 && In(kVowels, t[i - 1])) continue;
        ++count;
    }
    return count;
}

int CStringUtils::GetWordCount(CString text, bool bracesSeparate) { return CountWords(text.view(), bracesSeparate); }

int CStringUtils::GetSentenceCount(const CString& text) {
    // Full stops less twice the non-overlapping "...", so an ellipsis ends one sentence.
    // A run of n full stops holds n / 3 such triples.
    int count = 0;
    std::size_t run = 0;
    for (char c : text.view()) {
        if (c == '.') {
            ++run;
            continue;
        }
        count += static_cast<int>(run - 2 * (run / 3));
        run = 0;
        if (c == '?' || c == '!') ++count;
    }
    count += static_cast<int>(run - 2 * (run / 3));
    return count;
}

void CStringUtils::GetWords(CString text, TextArray& words, bool bracesSeparate) {
    const std::string_view t = text.view();
    const std::size_t n = t.size();
    const ByteSet& seps = Separators(bracesSeparate);
    std::size_t from = 0;
    for (;;) {
        std::size_t end = from;
        while (end < n && !In(seps, t[end])) ++end;
        if (end == n) break;
        // Abbreviations such as e.g. and U.S. stay whole.
        if (end == from + 1 && t[end] == '.' && n - from >= 4) {
            std::size_t k = 1;
            while (from + k < n && ((k % 2 == 1) ? t[from + k] == '.' : Letter(t[from + k]))) ++k;
            end = from + k;
        }
        if (end > from) words.Add(CString(t.substr(from, end - from)));
        if (end >= n) return;
        from = end + 1;
    }
    if (from < n) words.Add(CString(t.substr(from)));
}

void CStringUtils::CalcReadingLevel(const CStringList& lines, double& readingEase, int& gradeLevel,
                                    unsigned int& syllables, unsigned int& wordCount, unsigned int& sentences) {
    readingEase = 0;
    gradeLevel = 0;
    syllables = wordCount = sentences = 0;
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
        const CString& line = lines.GetNext(pos);
        if (IsEffectivelyEmpty(line)) continue;
        syllables += static_cast<unsigned int>(GetSyllableCount(line));
        wordCount += static_cast<unsigned int>(CountWords(line.view(), true));
        sentences += static_cast<unsigned int>(GetSentenceCount(line));
    }
    if (wordCount == 0 || sentences == 0) return;
    const double wordsPerSentence = static_cast<double>(wordCount) / static_cast<double>(sentences);
    const double syllablesPerWord = static_cast<double>(syllables) / static_cast<double>(wordCount);
    readingEase = 206.835 - 1.015 * wordsPerSentence - 84.6 * syllablesPerWord;
    const double grade = 0.39 * wordsPerSentence + 11.8 * syllablesPerWord - 15.59;
    gradeLevel = grade < 0 ? 0 : static_cast<int>(grade);
}

}  // namespace vutil
