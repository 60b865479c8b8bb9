// Syllable, word and sentence counts, word lists and reading level.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/string_lists.h"
#include "support/test_support.h"
#include "vutil/core/text_array.h"
#include "vutil/text/string_utils.h"

using namespace vutil;

namespace {

using vutil::test::Strings;

Strings Words(const char* text, bool braces = true) {
    TextArray words;
    CStringUtils::GetWords(text, words, braces);
    Strings out;
    for (const CString& w : words) out.push_back(w.str());
    return out;
}

TEST(Syllables, Counts) {
    struct Case {
        const char* text;
        int expected;
    };
    for (const Case& c : {Case{"cat", 1}, Case{"table", 1}, Case{"reading", 2}, Case{"the", 0},
                          Case{"yes", 1}, Case{"queue", 1}, Case{"", 0},
                          Case{"Happy!", 1}, Case{"AEIOU", 1},
                          Case{"a\xA0" "b", 1},   // 0xA0 is no blank: the a is not word-final
                          Case{"caf\xE9s", 1}}) {  // 0xE9 is no vowel
        EXPECT_EQ(CStringUtils::GetSyllableCount(c.text), c.expected) << c.text;
    }
}

// Blanks, braces, dots and commas are held by the definition sweep in bad_input_test.
TEST(WordCount, Counts) {
    EXPECT_EQ(CStringUtils::GetWordCount("Hello, world", true), 3);
    EXPECT_EQ(CStringUtils::GetWordCount("U.S. army", true), 4);
    EXPECT_EQ(CStringUtils::GetWordCount("don't stop!", true), 2);
}

TEST(GetWords, Splits) {
    // The split itself is held by the step-by-step sweep in bad_input_test.
    TextArray words;
    words.Add("kept");
    CStringUtils::GetWords("one two", words, true);
    EXPECT_EQ(words.GetCount(), 3u);  // appended, not cleared

    // Splitting an item of the list itself: the list grows while the text is read.
    TextArray self;
    self.Add("alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu");
    CStringUtils::GetWords(self.Items()[0], self, true);
    ASSERT_EQ(self.GetCount(), 13u);
    EXPECT_EQ(self.GetAt(12), "mu");
}

// The separator set is exactly these bytes (Windows-1252), and only they split words.
TEST(GetWords, SeparatorSetIsExact) {
    const std::string expected = vutil::test::Bytes(
        {' ', '?', '.', ',', 0xB7, '"', 0x93, 0x94, ':', ';', '/', '(', ')', '&', '*', '-', '+',
         0xB1, 0xF7, 0xD7, '=', '|', '\\', '[', ']', '-', 0xAD, 0x96, 0x97, '\t', '\r', '\n', 0x85});
    EXPECT_EQ(vutil::test::Hex(CStringUtils::m_csWordSeparators.str()), vutil::test::Hex(expected));
    EXPECT_EQ(CStringUtils::m_csWordSeparatorsBraces.str(), expected + "{}");
    for (int b = 1; b < 256; ++b) {
        std::string text = "ab" + std::string(1, static_cast<char>(b)) + "cd";
        bool separates = expected.find(static_cast<char>(b)) != std::string::npos;
        EXPECT_EQ(Words(text.c_str(), false).size(), separates ? 2u : 1u) << "byte " << b;
        EXPECT_EQ(CStringUtils::GetWordCount(CString(text), false), separates ? 2 : 1) << "byte " << b;
    }
}

struct ReadingCase {
    Strings lines;
    unsigned int syllables, words, sentences;
    double ease;
    int grade;
};

TEST(ReadingLevel, Lines) {
    const char* const cat = "The cat sat on the mat.";
    // The long line by hand: 4 + 6 + 5 + 3 + 5 syllables; the comma and four spaces make 6 words.
    const char* const hard = "Unquestionably, organizational communication requires interpretation.";
    const ReadingCase cases[] = {
        {{cat}, 4, 6, 1, 144.345, 0},  // about -5.38, held at zero
        {{hard}, 23, 6, 1, 206.835 - 1.015 * 6 - 84.6 * 23 / 6, 31},  // 31.98 truncated
        {{hard, "", " \t ", cat}, 27, 12, 2, 10.395, 13},  // 13.3; blank lines add nothing
        {{"cat table", "reading"}, 4, 3, 0, 0, 0},  // no sentence: scores stay zero
        {{}, 0, 0, 0, 0, 0},
    };
    for (const ReadingCase& c : cases) {
        CStringList lines = vutil::test::ListOf(c.lines);
        double ease = -1;
        int grade = -1;
        unsigned int syllables = 99, words = 99, sentences = 99;
        CStringUtils::CalcReadingLevel(lines, ease, grade, syllables, words, sentences);
        SCOPED_TRACE(c.lines.empty() ? std::string("no lines") : c.lines.front());
        EXPECT_EQ(std::make_tuple(syllables, words, sentences), std::make_tuple(c.syllables, c.words, c.sentences));
        EXPECT_NEAR(ease, c.ease, 1e-9);
        EXPECT_EQ(grade, c.grade);
    }
}

}  // namespace
