#include <gtest/gtest.h>

#include <cctype>

#include "vutil/core/library.h"
#include "vutil/framework/char_tables.h"
#include "vutil/framework/cstring.h"
#include "vutil/text/string_utils.h"

using vutil::CStringUtils;

TEST(CharTablesTest, FilledAtLoadWithTheCLocale) {
    EXPECT_TRUE(vutil::library::IsLoaded());
    for (int c = 0; c < 256; ++c) {
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        bool digit = c >= '0' && c <= '9';
        bool space = c == 0x09 || c == 0x0A || c == 0x0B || c == 0x0C || c == 0x0D || c == 0x20;
        EXPECT_EQ(CStringUtils::IsAlpha(c), letter) << c;
        EXPECT_EQ(CStringUtils::IsDigit(c), digit) << c;
        EXPECT_EQ(CStringUtils::IsSpace(c), space) << c;
        int lower = c >= 'A' && c <= 'Z' ? c + 32 : c;
        int upper = c >= 'a' && c <= 'z' ? c - 32 : c;
        EXPECT_EQ(CStringUtils::ToLower(c), lower) << c;
        EXPECT_EQ(CStringUtils::ToUpper(c), upper) << c;
    }
}

struct PredicateCase {
    int c;
    bool lower, upper, space, alpha, punct;
};

class CharPredicateTest : public testing::TestWithParam<PredicateCase> {};

TEST_P(CharPredicateTest, Predicates) {
    const auto& p = GetParam();
    EXPECT_EQ(CStringUtils::IsLower(p.c), p.lower) << p.c;
    EXPECT_EQ(CStringUtils::IsUpper(p.c), p.upper) << p.c;
    EXPECT_EQ(CStringUtils::IsSpace(p.c), p.space) << p.c;
    EXPECT_EQ(CStringUtils::IsAlpha(p.c), p.alpha) << p.c;
    EXPECT_EQ(CStringUtils::IsPunct(p.c), p.punct) << p.c;
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, CharPredicateTest,
    testing::Values(
        // lower upper space alpha punct
        PredicateCase{'5', true, true, false, false, false}, PredicateCase{'A', false, true, false, true, false},
        PredicateCase{'a', true, false, false, true, false}, PredicateCase{' ', true, true, true, false, false},
        PredicateCase{0xA0, true, true, false, false, false}, PredicateCase{'!', true, true, false, false, true},
        PredicateCase{-23, false, false, false, false, false}, PredicateCase{256, false, false, false, false, false},
        PredicateCase{-1, false, false, false, false, false}));

TEST(CharTablesTest, OutOfRangeGivesZero) {
    EXPECT_EQ(CStringUtils::ToLower(-23), 0);
    EXPECT_EQ(CStringUtils::ToLower(256), 0);
    EXPECT_EQ(CStringUtils::ToUpper(static_cast<char>(0xE9)), 0);  // signed char arrives negative
}

TEST(CharTablesTest, Slashes) {
    EXPECT_TRUE(CStringUtils::IsSlash('\\'));
    EXPECT_TRUE(CStringUtils::IsSlash('/'));
    EXPECT_FALSE(CStringUtils::IsSlash(':'));
}

// CString and CStringUtils read one set of tables, and DoPreLoad fills it again.
TEST(CharTablesTest, OneSetOfTablesRefilledByDoPreLoad) {
    EXPECT_EQ(&CStringUtils::m_tableLowercase[0], &vutil::CharTables::m_lowercase[0]);
    vutil::CharTables::m_uppercase['q'] = '#';
    vutil::CString text("quiq");
    text.MakeUpper();
    EXPECT_EQ(text, "#UI#");
    CStringUtils::DoPreLoad();
    EXPECT_EQ(CStringUtils::ToUpper('q'), 'Q');
    text.MakeLower();
    EXPECT_EQ(text, "#ui#");
}
