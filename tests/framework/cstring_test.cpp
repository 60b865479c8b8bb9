#include <gtest/gtest.h>

#include "vutil/framework/cstring.h"

using vutil::CString;

TEST(CStringTest, ExtractionClipsCounts) {
    CString s("abcdef");
    EXPECT_EQ(s.Left(2), "ab");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Left(99), "abcdef");
    EXPECT_EQ(s.Right(2), "ef");
    EXPECT_EQ(s.Right(99), "abcdef");
    EXPECT_EQ(s.Mid(4), "ef");
    EXPECT_EQ(s.Mid(-3, 2), "ab");
    EXPECT_EQ(s.Mid(2, 99), "cdef");
    EXPECT_EQ(s.Mid(6), "");
    EXPECT_EQ(s.Mid(9, 2), "");
}

struct FindCase {
    const char* text;
    const char* sub;
    int start;
    int expected;
};

class CStringFindTest : public testing::TestWithParam<FindCase> {};

TEST_P(CStringFindTest, FindsSubstring) {
    const FindCase& c = GetParam();
    EXPECT_EQ(CString(c.text).Find(c.sub, c.start), c.expected) << c.text << " / " << c.sub << " @" << c.start;
}

INSTANTIATE_TEST_SUITE_P(Cases, CStringFindTest,
                         testing::Values(FindCase{"hello world", "o", 5, 7}, FindCase{"abc", "", 3, 3},
                                         FindCase{"abc", "c", 4, -1}, FindCase{"abc", "a", -1, -1},
                                         FindCase{"aaa", "aa", 1, 1}));

TEST(CStringTest, CharSearches) {
    CString s("a.b.c");
    EXPECT_EQ(s.Find('.'), 1);
    EXPECT_EQ(s.Find('.', 2), 3);
    EXPECT_EQ(s.Find('.', 5), -1);
    EXPECT_EQ(s.ReverseFind('.'), 3);
    EXPECT_EQ(s.ReverseFind('x'), -1);
    EXPECT_EQ(s.FindOneOf("cb"), 2);
    EXPECT_EQ(s.FindOneOf(""), -1);
}

TEST(CStringTest, ReplaceRemoveInsertDelete) {
    CString s("banana");
    EXPECT_EQ(s.Replace("a", "bb"), 3);
    EXPECT_EQ(s, "bbbnbbnbb");
    EXPECT_EQ(s.Replace("", "x"), 0);
    CString t("aaaa");
    EXPECT_EQ(t.Replace("aa", "a"), 2);  // non-overlapping, left to right
    EXPECT_EQ(t, "aa");
    CString nul("x\0y-x\0z", 7);  // CString arguments count their NUL bytes
    EXPECT_EQ(nul.Replace(CString("x\0y", 3), CString("Q")), 1);
    EXPECT_EQ(nul, CString("Q-x\0z", 5));
    CString u("a-b-c");
    EXPECT_EQ(u.Remove('-'), 2);
    EXPECT_EQ(u, "abc");
    EXPECT_EQ(u.Insert(1, "XY"), 5);
    EXPECT_EQ(u, "aXYbc");
    EXPECT_EQ(u.Insert(99, '!'), 6);
    EXPECT_EQ(u, "aXYbc!");
    EXPECT_EQ(u.Delete(1, 2), 4);
    EXPECT_EQ(u, "abc!");
    EXPECT_EQ(u.Delete(3, 99), 3);
    EXPECT_EQ(u.Delete(-5, 1), 2);
    EXPECT_EQ(u, "bc");
}

TEST(CStringTest, CaseMappingLeavesHighBytesAlone) {
    CString s("AbC\xC9\xE9z1");
    CString lower(s), upper(s);
    lower.MakeLower();
    upper.MakeUpper();
    EXPECT_EQ(lower, "abc\xC9\xE9z1");
    EXPECT_EQ(upper, "ABC\xC9\xE9Z1");
    EXPECT_EQ(CString("\xC9").CompareNoCase("\xE9"), -1);
    EXPECT_EQ(CString("Hello").CompareNoCase("hELLO"), 0);
    EXPECT_LT(CString("apple").CompareNoCase("Banana"), 0);
    EXPECT_GT(CString("abc").CompareNoCase("AB"), 0);
}

TEST(CStringTest, CompareIsUnsignedBytewise) {
    EXPECT_LT(CString("B").Compare("a"), 0);  // upper case sorts before lower case
    EXPECT_GT(CString("\x80").Compare("z"), 0);
    EXPECT_EQ(CString("x").Compare("x"), 0);
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_TRUE(CString("a") == "a");
    EXPECT_TRUE("a" == CString("a"));
    EXPECT_TRUE(CString("a") != "b");
}

TEST(CStringTest, TrimFamily) {
    CString s(" \t\x0B\x0Cx y\r\n ");
    s.Trim();
    EXPECT_EQ(s, "x y");
    CString nb("\xA0x\xA0");  // no-break space is not white space here
    nb.Trim();
    EXPECT_EQ(nb, "\xA0x\xA0");
    CString t("xxhixx");
    t.TrimLeft('x');
    EXPECT_EQ(t, "hixx");
    t.TrimRight("x");
    EXPECT_EQ(t, "hi");
    CString all("   ");
    all.Trim();
    EXPECT_TRUE(all.IsEmpty());
}

TEST(CStringTest, HoldsAnyByteIncludingNul) {
    CString s("a\0b", 3);
    EXPECT_EQ(s.GetLength(), 3);
    EXPECT_EQ(s.Find('b'), 2);
    EXPECT_EQ(s.GetAt(1), '\0');
    EXPECT_EQ(s.GetAt(7), '\0');
    s.SetAt(9, 'x');  // ignored
    EXPECT_EQ(s.GetLength(), 3);
}

TEST(CStringTest, FormatTakesCStringArguments) {
    CString name("world");
    CString s;
    s.Format("%s-%d-%05.1f", name, 42, 3.14159);
    EXPECT_EQ(s, "world-42-003.1");
    s.AppendFormat("/%s", "x");
    EXPECT_EQ(s, "world-42-003.1/x");
    CString big;
    big.Format("%s", CString('z', 1000));
    EXPECT_EQ(big.GetLength(), 1000);
}

TEST(CStringTest, ConcatenationAndBuffers) {
    CString a("ab");
    EXPECT_EQ(a + "c", "abc");
    EXPECT_EQ("z" + a, "zab");
    EXPECT_EQ(a + 'x', "abx");
    EXPECT_EQ(CString('-', 3), "---");
    EXPECT_EQ(CString('-', -3), "");
    CString b;
    char* p = b.GetBuffer(10);
    p[0] = 'h';
    p[1] = 'i';
    b.ReleaseBuffer();
    EXPECT_EQ(b, "hi");
    EXPECT_EQ(CString(nullptr), "");
}

TEST(CStringTest, Tokenize) {
    CString s(",a,,b c,");
    int pos = 0;
    std::vector<std::string> tokens;
    for (CString t = s.Tokenize(", ", pos); pos >= 0; t = s.Tokenize(", ", pos)) tokens.push_back(t.str());
    EXPECT_EQ(tokens, (std::vector<std::string>{"a", "b", "c"}));
}
