// Every member over empty, short, overlapping and 0x80-0xFF input with odd positions and
// counts: results stay inside the strings and keep their stated invariants (the asan
// build turns any read outside a string into a failure).

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "vutil/core/text_array.h"
#include "vutil/text/string_utils.h"

using namespace vutil;

namespace {

class Sweep : public ::testing::Test {
protected:
    std::mt19937 gen{2024};
    CString Random(std::size_t maxLen) {
        static const std::string alphabet = std::string("aA.* ?,{}-!\t") + "\x80\x85\xA0\xE9\xFF" + std::string(1, '\0');
        std::string s(gen() % (maxLen + 1), ' ');
        for (char& c : s) c = alphabet[gen() % alphabet.size()];
        return CString(s);
    }
    int Odd() {
        static const int values[] = {-2147483647 - 1, -5, -1, 0, 1, 2, 3, 7, 100, 2147483647};
        return values[gen() % std::size(values)];
    }
};

// Counts, n-th, last and whole-word searches are held exactly by the Python oracle of
// the search suite; here the odd counts and the pair search.
TEST_F(Sweep, SearchResultsAreMatches) {
    for (int i = 0; i < 4000; ++i) {
        CString text = Random(12);
        CString sub = Random(3);
        int n = Odd();
        int at = CStringUtils::FindOccurrenceIndex(text, sub, n, gen() & 1);
        if (at >= 0) { EXPECT_EQ(text.Mid(at, sub.GetLength()).CompareNoCase(sub), 0); }
        int whole = CStringUtils::FindWholeWordMatch(text, sub, n, Odd());
        if (whole >= 0) { EXPECT_EQ(text.Mid(whole, sub.GetLength()), sub); }

        int open = 0, close = 0;
        CString closer = Random(2);
        CStringUtils::FindOccurrencePair(text, sub, closer, n, open, close);
        if (open >= 0) {
            EXPECT_LT(open, close);
            EXPECT_EQ(text.Mid(open, sub.GetLength()), sub);
            EXPECT_EQ(text.Mid(close, closer.GetLength()), closer);
        } else {
            EXPECT_EQ(close, -1);
        }
    }
}

// The matchers run under the fuzz targets; here the members that reshape text.
TEST_F(Sweep, ShapingStaysInside) {
    for (int i = 0; i < 3000; ++i) {
        CString text = Random(14);
        CString other = Random(4);
        bool cs = gen() & 1;
        CString excerpt = CStringUtils::EllipsisSurroundingWord(text, Odd(), Odd(), Odd());
        EXPECT_LE(excerpt.GetLength(), text.GetLength() + 6);
        CStringUtils::IsInTextBlock(text, other, Random(3), cs);

        CString copy = text;
        CStringUtils::TrimPunctuation(copy, other, other);
        EXPECT_GE(text.Find(copy.GetString()), 0);
        copy = text;
        CStringUtils::PadString(copy, gen() % 40 - 5, other, cs);
        EXPECT_TRUE(copy.GetLength() >= text.GetLength());
        CStringUtils::PreserveCase(other, copy);
        CStringUtils::RemovePunctuation(copy);
        CStringUtils::ProcessXMLTag(copy);
        CStringUtils::ProcessXMLValue(copy);

        CStringList lines;
        for (int k = 0; k < 4; ++k) lines.AddTail(Random(8));
        CStringList blanked = lines;
        CStringUtils::ReplaceTextBlock(lines, other, Random(2), Random(2), false);
        CStringUtils::ReplaceTextBlock(blanked, other, Random(2), "", true);
        EXPECT_EQ(blanked.GetCount(), 4);  // blanking never removes a line
        CStringUtils::LineUp(lines, other, Odd() % 4, cs);
        CStringUtils::GetCommonText(lines, cs);
        CStringUtils::FindInList(other, lines, cs);
        CStringUtils::RemoveDuplicates(lines, cs);
        CStringArray pieces;
        CStringUtils::SplitLine(text, other, pieces);
        EXPECT_GE(pieces.GetSize(), 1);
    }
}

// The word list as its steps read, one separator search at a time through the public
// separator strings; the library's version visits separators in bulk.
std::vector<std::string> WordsStepByStep(const CString& input, bool braces) {
    const CString& seps = braces ? CStringUtils::m_csWordSeparatorsBraces : CStringUtils::m_csWordSeparators;
    std::vector<std::string> out;
    CString text = input;
    for (;;) {
        int end = text.FindOneOf(seps);
        if (end < 0) break;
        if (end == 1 && text[1] == '.' && text.GetLength() >= 4) {
            while (end < text.GetLength() && (end % 2 == 1 ? text[end] == '.' : CStringUtils::IsAlpha(text[end]))) ++end;
        }
        if (end > 0) out.push_back(text.Left(end).str());
        if (end >= text.GetLength()) return out;
        text = text.Mid(end + 1);
    }
    if (!text.IsEmpty()) out.push_back(text.str());
    return out;
}

TEST_F(Sweep, StatisticsAgreeWithTheirDefinitions) {
    for (int i = 0; i < 4000; ++i) {
        CString text = Random(150);
        bool braces = gen() & 1;
        vutil::TextArray words;
        CStringUtils::GetWords(text, words, braces);
        std::vector<std::string> got;
        for (const CString& w : words) got.push_back(w.str());
        EXPECT_EQ(got, WordsStepByStep(text, braces)) << text.str();

        // Sentences: full stops less twice the ellipses, plus question and exclamation marks.
        EXPECT_EQ(CStringUtils::GetSentenceCount(text),
                  CStringUtils::FindOccurrences(text, ".", true) - 2 * CStringUtils::FindOccurrences(text, "...", true) +
                      CStringUtils::FindOccurrences(text, "?", true) + CStringUtils::FindOccurrences(text, "!", true));

        // Words: separators left after trimming punctuation, plus one.
        CString trimmed = text;
        const char* keep = braces ? "" : "{}";
        CStringUtils::TrimPunctuation(trimmed, keep, keep);
        int separators = 0;
        const CString& set = braces ? CStringUtils::m_csWordSeparatorsBraces : CStringUtils::m_csWordSeparators;
        for (char c : trimmed.str()) separators += set.Find(c) >= 0;
        EXPECT_EQ(CStringUtils::GetWordCount(text, braces),
                  CStringUtils::IsEffectivelyEmpty(trimmed) ? 0 : separators + 1);
        EXPECT_GE(CStringUtils::GetSyllableCount(text), 0);
    }
}

}  // namespace
