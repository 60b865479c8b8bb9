// CStringUtils: syllable, word and sentence counts, word lists and reading level.
//
// These run over whole documents, so each is a single pass over the bytes with
// constant lookup tables and no copies of the text.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <functional>
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

// One class byte per character lets the counters run without branches on the text.
enum : unsigned { kVowel = 1, kStop = 2, kSep = 4, kSepBrace = 8, kDot = 16, kMark = 32 };
using Classes = std::array<unsigned char, 256>;

constexpr Classes kFixedClasses = [] {
    Classes c{};
    for (char v : std::string_view("aeiouyAEIOUY")) c[static_cast<unsigned char>(v)] |= kVowel;
    for (int b = 0; b < 256; ++b) {
        if (kPunct[static_cast<std::size_t>(b)]) c[static_cast<std::size_t>(b)] |= kStop;
        if (kSeparatorSet[static_cast<std::size_t>(b)]) c[static_cast<std::size_t>(b)] |= kSep | kSepBrace;
    }
    c['{'] |= kSepBrace;
    c['}'] |= kSepBrace;
    c['.'] |= kDot;
    c['?'] |= kMark;
    c['!'] |= kMark;
    return c;
}();

// Blanks come from the character table, which DoPreLoad may refill, so they are added
// per call. Bytes from 0x80 reach the table as negative values and are never blank.
Classes MakeClasses() {
    Classes c = kFixedClasses;
    for (int b = 0; b < 128; ++b)
        if (CStringUtils::m_tableIsSpace[b]) c[static_cast<std::size_t>(b)] |= kStop;
    return c;
}

inline unsigned ClassOf(const Classes& c, char ch) { return c[static_cast<unsigned char>(ch)]; }

// A vowel counts when it starts a run of vowels and does not end its word (the next
// character exists and is neither blank nor punctuation).
unsigned CountSyllables(std::string_view t, const Classes& c) {
    if (t.size() < 2) return 0;
    unsigned count = 0;
    unsigned prevVowel = 0;
    unsigned cur = ClassOf(c, t[0]);
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        unsigned next = ClassOf(c, t[i + 1]);
        unsigned vowel = cur & kVowel;
        count += vowel & ~prevVowel & ~(next >> 1);  // kStop is bit 1
        prevVowel = vowel;
        cur = next;
    }
    return count;
}

// Full stops less twice the non-overlapping "...", plus "?" and "!": a run of n full
// stops holds n / 3 such triples, so an ellipsis ends one sentence.
unsigned CountSentences(std::string_view t, const Classes& c) {
    unsigned count = 0;
    unsigned run = 0;
    unsigned triples = 0;
    for (char ch : t) {
        unsigned cls = ClassOf(c, ch);
        unsigned dot = (cls & kDot) >> 4;
        count += dot + ((cls & kMark) >> 5);
        run = dot ? run + 1 : 0;
        unsigned triple = run == 3;
        triples += triple;
        run = triple ? 0 : run;
    }
    return count - 2 * triples;
}

// GetWordCount without the copy its by-value argument costs.
unsigned CountWords(std::string_view text, bool bracesSeparate) {
    std::string_view keep = bracesSeparate ? std::string_view() : std::string_view("{}");
    auto [first, last] = TrimPunctuationBounds(text, keep, keep);
    std::string_view t = text.substr(first, last - first);
    if (AllBlank(t)) return 0;
    const unsigned sep = bracesSeparate ? kSepBrace : kSep;
    unsigned count = 1;
    for (char ch : t) count += (ClassOf(kFixedClasses, ch) & sep) != 0;
    return count;
}

}  // namespace

int CStringUtils::GetSyllableCount(const CString& text) {
    return static_cast<int>(CountSyllables(text.view(), MakeClasses()));
}

int CStringUtils::GetWordCount(CString text, bool bracesSeparate) {
    return static_cast<int>(CountWords(text.view(), bracesSeparate));
}

int CStringUtils::GetSentenceCount(const CString& text) {
    return static_cast<int>(CountSentences(text.view(), kFixedClasses));
}

void CStringUtils::GetWords(const CString& text, TextArray& words, bool bracesSeparate) {
    // The text is read while words grows: an item of words itself is split from a copy.
    const std::vector<CString>& items = words.Items();
    const std::less<const CString*> before;
    if (!items.empty() && !before(&text, items.data()) && before(&text, items.data() + items.size())) {
        const CString copy(text);
        GetWords(copy, words, bracesSeparate);
        return;
    }
    const std::string_view t = text.view();
    const std::size_t n = t.size();
    const ByteSet& seps = bracesSeparate ? kSeparatorBraceSet : kSeparatorSet;
    std::size_t from = 0;  // start of the text still to split
    // Separators are gathered 64 bytes at a time into a bit mask and visited by their
    // set bits: one branch per word instead of a hard-to-predict branch per byte.
    for (std::size_t block = 0; block < n; block += 64) {
        const std::size_t len = std::min<std::size_t>(64, n - block);
        std::uint64_t mask = 0;
        for (std::size_t j = 0; j < len; ++j)
            mask |= static_cast<std::uint64_t>(seps[static_cast<unsigned char>(t[block + j])]) << j;
        for (; mask != 0; mask &= mask - 1) {
            std::size_t end = block + static_cast<std::size_t>(std::countr_zero(mask));
            if (end < from) continue;  // inside an abbreviation already taken
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
    }
    if (from < n) words.Add(CString(t.substr(from)));
}

void CStringUtils::CalcReadingLevel(const CStringList& lines, double& readingEase, int& gradeLevel,
                                    unsigned int& syllables, unsigned int& wordCount, unsigned int& sentences) {
    readingEase = 0;
    gradeLevel = 0;
    syllables = wordCount = sentences = 0;
    const Classes classes = MakeClasses();
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
        const std::string_view line = lines.GetNext(pos).view();
        if (AllBlank(line)) continue;
        syllables += CountSyllables(line, classes);
        wordCount += CountWords(line, true);
        sentences += CountSentences(line, classes);
    }
    if (wordCount == 0 || sentences == 0) return;
    const double wordsPerSentence = static_cast<double>(wordCount) / static_cast<double>(sentences);
    const double syllablesPerWord = static_cast<double>(syllables) / static_cast<double>(wordCount);
    readingEase = 206.835 - 1.015 * wordsPerSentence - 84.6 * syllablesPerWord;
    const double grade = 0.39 * wordsPerSentence + 11.8 * syllablesPerWord - 15.59;
    gradeLevel = grade < 0 ? 0 : static_cast<int>(grade);
}

}  // namespace vutil
