// Wildcard specifications, question-mark specifications, prefix and suffix matching.

#include <gtest/gtest.h>

#include <ostream>

#include "vutil/text/string_utils.h"

using namespace vutil;

namespace {

struct SpecCase {
    const char* text;
    const char* spec;
    bool caseSensitive;
    bool expected;
    const char* why;
};

std::ostream& operator<<(std::ostream& os, const SpecCase& c) {
    return os << "MatchSpec(\"" << c.text << "\", \"" << c.spec << "\", " << c.caseSensitive << ") [" << c.why << "]";
}

class MatchSpecRules : public ::testing::TestWithParam<SpecCase> {};

TEST_P(MatchSpecRules, Result) {
    const SpecCase& c = GetParam();
    EXPECT_EQ(CStringUtils::MatchSpec(c.text, c.spec, c.caseSensitive), c.expected);
}

// One block per rule, in the order the rules are tried.
INSTANTIATE_TEST_SUITE_P(
    Rules, MatchSpecRules,
    ::testing::Values(
        // 1. empty spec and the five match-everything specs, even against empty text
        SpecCase{"anything", "", true, true, "empty spec"}, SpecCase{"", "*", true, true, "star"},
        SpecCase{"", "?*?", true, true, "q-star-q"}, SpecCase{"xyz", "*?*", true, true, "star-q-star"},
        SpecCase{"", "**", true, true, "two stars: empty mid occurs everywhere"},
        // 2. equality, case per flag; empty text never equal
        SpecCase{"Read.Me", "read.me", false, true, "equal without case"},
        SpecCase{"Read.Me", "read.me", true, false, "case differs"},
        SpecCase{"a*b", "a*b", true, true, "literal star in equal text"},
        // 3. question marks only: up to that many characters
        SpecCase{"", "??", true, true, "empty under ??"}, SpecCase{"ab", "??", true, true, "two under ??"},
        SpecCase{"abc", "??", true, false, "three under ??"}, // 4. no star: question-mark rules
        SpecCase{"abxe", "ab?d", true, true, "only left of ? compared"},
        SpecCase{"abcde", "ab?d", true, false, "text too long"},
        SpecCase{"abd", "ab?d", true, true, "? stands for none"},
        SpecCase{"plain", "plain2", true, false, "no wildcard, not equal"},
        // 5. star inside: prefix, then literal rest as suffix
        SpecCase{"abc", "a*c", true, true, "a*c over abc"}, SpecCase{"abc", "a*b*c", true, false, "rest b*c is literal"},
        SpecCase{"ab*c", "a*b*c", true, true, "literal rest matches literally"},
        SpecCase{"aba", "ab*ba", true, true, "prefix and rest overlap"},
        SpecCase{"REPORT1", "rep*", false, true, "trailing star, no case"},
        SpecCase{"abc", "a*?", true, false, "? in rest is literal"},
        SpecCase{"", "a*", true, false, "empty text has no prefix"},
        // 6. leading star with another star
        SpecCase{"abc", "*b*c", true, false, "second star not last"},
        SpecCase{"xxabyy", "*ab*", true, true, "mid occurs"}, SpecCase{"xxAByy", "*ab*", true, false, "mid absent with case"},
        SpecCase{"xaxbx", "*a?b*", true, true, "? as one"}, SpecCase{"xabx", "*a?b*", true, true, "? as none"},
        SpecCase{"xaxxbx", "*a?b*", true, false, "? as two"}, SpecCase{"xbxa", "*a?b*", true, false, "first b before a"},
        SpecCase{"ab", "*a?c*", true, false, "right part absent"},
        // 7. leading star only
        SpecCase{"report.txt", "*.TXT", false, true, "suffix no case"},
        SpecCase{"a.txt", "*?.txt", true, true, "then question-mark rules on the rest"},
        SpecCase{"ab.txt", "*?.txt", true, false, "question-mark rules fix the length"},
        SpecCase{"", "*.txt", true, false, "empty text"}));

struct QuestionCase {
    const char* text;
    const char* spec;
    bool caseSensitive;
    bool expected;
};

class QuestionMarkRules : public ::testing::TestWithParam<QuestionCase> {};

TEST_P(QuestionMarkRules, Result) {
    const QuestionCase& c = GetParam();
    EXPECT_EQ(CStringUtils::MatchSpecQuestionMark(c.text, c.spec, c.caseSensitive), c.expected)
        << c.text << " / " << c.spec;
}

INSTANTIATE_TEST_SUITE_P(Rules, QuestionMarkRules,
                         ::testing::Values(QuestionCase{"", "", true, false},  // no ?: empty text is false
                                           QuestionCase{"ABC", "abc", false, true},
                                           QuestionCase{"ABC", "abc", true, false},
                                           QuestionCase{"xcd", "?cd", true, true},   // left empty: suffix
                                           QuestionCase{"a", "?", true, false},      // both sides empty
                                           QuestionCase{"a?b", "a??", true, true},   // right is never looked at
                                           QuestionCase{"xy?", "??", true, false},   // length
                                           QuestionCase{"xy", "?y?", true, false},   // right "y?" literal
                                           QuestionCase{"xy?", "?y?", true, true}));

struct AffixCase {
    const char* text;
    const char* part;
    bool caseSensitive;
    bool first;
    bool last;
};

class AffixMatch : public ::testing::TestWithParam<AffixCase> {};

TEST_P(AffixMatch, FirstAndLast) {
    const AffixCase& c = GetParam();
    EXPECT_EQ(CStringUtils::MatchFirstChars(c.text, c.part, c.caseSensitive), c.first) << c.text << " / " << c.part;
    EXPECT_EQ(CStringUtils::MatchLastChars(c.text, c.part, c.caseSensitive), c.last) << c.text << " / " << c.part;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AffixMatch,
    ::testing::Values(AffixCase{"", "", false, false, false}, AffixCase{"abc", "", false, false, false},
                      AffixCase{"ab", "abc", false, false, false},
                      AffixCase{"abcab", "ab", true, true, true}, AffixCase{"ABcaB", "ab", true, false, false},
                      AffixCase{"ABcaB", "ab", false, true, true}, // 0xE9 and 0xC9 are a case pair in Windows-1252, but have no case here
                      AffixCase{"\xE9t\xE9", "\xC9T\xC9", false, false, false},
                      AffixCase{"\xE9t\xE9", "\xE9T\xE9", false, true, true}));

}  // namespace
