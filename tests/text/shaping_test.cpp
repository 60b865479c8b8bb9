// Blank handling, list helpers, punctuation and case, excerpts, text blocks, common
// prefixes and XML text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/string_lists.h"
#include "vutil/core/app_logger.h"
#include "vutil/text/string_utils.h"

using namespace vutil;
using namespace vutil::test;

namespace {

// The text after an in-place edit.
CString Edited(void (*edit)(CString&), const char* text) {
    CString s(text);
    edit(s);
    return s;
}

TEST(Blanks, TrimAndEmptiness) {
    EXPECT_TRUE(CStringUtils::IsEffectivelyEmpty(""));
    EXPECT_TRUE(CStringUtils::IsEffectivelyEmpty(" \t\r\n\v\f"));
    EXPECT_FALSE(CStringUtils::IsEffectivelyEmpty("\xA0"));  // no-break space is not blank
    EXPECT_EQ(Edited(CStringUtils::Trim, "\t a b \n"), "a b");
    EXPECT_EQ(Edited(CStringUtils::Trim, "\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(Edited(CStringUtils::Trim, " \t "), "");
}

TEST(Blanks, PadString) {
    struct Case {
        const char* text;
        int width;
        const char* pad;
        bool front;
        const char* expected;
    };
    for (const Case& c : {Case{"7", 3, "0", true, "007"}, Case{"x", 4, "ab", false, "xabab"},
                          Case{"x", 4, "ab", true, "ababx"}, Case{"abc", 3, "0", true, "abc"},
                          Case{"abc", -5, "0", true, "abc"}, Case{"abc", 9, "", true, "abc"},
                          Case{"", 2, "xyz", false, "xyz"}}) {
        CString s(c.text);
        CStringUtils::PadString(s, c.width, c.pad, c.front);
        EXPECT_EQ(s, c.expected) << c.text << " width " << c.width << " pad " << c.pad;
    }
}

TEST(Lists, LineUp) {
    CStringList lines = ListOf({"a = 1", "long = 2", "none", "x=y=3"});
    CStringUtils::LineUp(lines, "=", 1, true);
    EXPECT_EQ(Items(lines), (Strings{"a    = 1", "long = 2", "none", "x    =y=3"}));
    // second occurrence, without case
    lines = ListOf({"aXbXc", "xxxxxXy", "abc"});
    CStringUtils::LineUp(lines, "x", 2, false);
    EXPECT_EQ(Items(lines), (Strings{"aXbXc", "x  xxxxXy", "abc"}));
    // target column 0, empty sub, n 0 or negative: nothing moves
    for (auto [sub, n] : {std::pair{"=", 1}, std::pair{"", 1}, std::pair{"=", 0}, std::pair{"=", -1}}) {
        lines = ListOf({"=a", "=b", "c"});
        CStringUtils::LineUp(lines, sub, n, true);
        EXPECT_EQ(Items(lines), (Strings{"=a", "=b", "c"})) << sub << n;
    }
}

TEST(Lists, RemoveDuplicates) {
    CStringList list = ListOf({"A", "b", "a"});
    EXPECT_TRUE(CStringUtils::RemoveDuplicates(list, false));
    EXPECT_EQ(Items(list), (Strings{"A", "b"}));
    list = ListOf({"A", "b", "a", "b", "b", "A"});
    EXPECT_TRUE(CStringUtils::RemoveDuplicates(list, true));
    EXPECT_EQ(Items(list), (Strings{"A", "b", "a"}));
    list = ListOf({"\xC9", "\xE9"});  // no case above 0x7F
    EXPECT_FALSE(CStringUtils::RemoveDuplicates(list, false));
    EXPECT_EQ(list.GetCount(), 2);
}

TEST(Lists, SplitLine) {
    struct Case {
        const char* text;
        const char* delimiter;
        Strings expected;
    };
    for (const Case& c : {Case{"a,,b,", ",", {"a", "", "b", ""}}, Case{"abc", ",", {"abc"}}, Case{"abc", "", {"abc"}},
                          Case{"", ",", {""}}, Case{"1<>2<>", "<>", {"1", "2", ""}}, Case{"aXb", "x", {"aXb"}}}) {
        CStringArray pieces;
        pieces.Add("kept");  // appended to, not cleared
        CStringUtils::SplitLine(c.text, c.delimiter, pieces);
        Strings expected{"kept"};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(Items(pieces), expected) << c.text;
    }
}

TEST(Lists, ConvertRoundTrip) {
    CStringArray array;
    for (const char* s : {"one", "", "three"}) array.Add(s);
    CStringList list = ListOf({"old"});
    CStringUtils::ConvertArrayToList(&array, &list);
    EXPECT_EQ(Items(list), (Strings{"one", "", "three"}));
    CStringArray back;
    back.Add("old");
    CStringUtils::ConvertListToArray(&list, &back);
    EXPECT_EQ(Items(back), Items(array));
}

TEST(Lists, ConvertNullArgumentsLog) {
    CAppLogger* log = CAppLogger::CreateForTesting();
    std::size_t before = log->Lines().size();
    CStringArray array;
    array.Add("x");
    CStringList list = ListOf({"kept"});
    CStringUtils::ConvertArrayToList(nullptr, nullptr);  // from is checked first
    CStringUtils::ConvertArrayToList(&array, nullptr);
    CStringUtils::ConvertListToArray(nullptr, nullptr);  // to is checked first
    CStringUtils::ConvertListToArray(nullptr, &array);
    const auto& lines = log->Lines();
    ASSERT_EQ(lines.size(), before + 4);
    EXPECT_EQ(lines[before].site, "{8E3249C0-053D-487A-9902-90A1BAA2B262}");
    EXPECT_EQ(lines[before + 1].site, "{BD9ADFBF-D92F-4A44-A829-19D4AD1F754D}");
    EXPECT_EQ(lines[before + 2].site, "{371991FC-7718-4B36-B344-71232BCEB5AB}");
    EXPECT_EQ(lines[before + 3].site, "{A75F5F54-CCDB-424C-ADFF-B481274B7777}");
    for (std::size_t i = before; i < lines.size(); ++i) EXPECT_TRUE(lines[i].text.IsEmpty());
    EXPECT_EQ(Items(array), (Strings{"x"}));
    CAppLogger::DeleteInstance();
    CStringUtils::ConvertArrayToList(nullptr, &list);  // logging off: quietly nothing
    EXPECT_EQ(Items(list), (Strings{"kept"}));
}

TEST(Punctuation, RemoveAndTrim) {
    EXPECT_EQ(Edited(CStringUtils::RemovePunctuation, "a.b,c!!d\xB7" "e-f 'g'"), "abcd\xB7" "ef g");
    struct Case {
        const char* text;
        const char* keepLeading;
        const char* keepTrailing;
        const char* expected;
    };
    for (const Case& c : {Case{"U.S.", "", "", "U.S."}, Case{"'hello!'", "", "!", "hello!"},
                          Case{"  ((word)).  ", "", "", "word"}, Case{"{TAG}", "{}", "{}", "{TAG}"},
                          Case{"...", "", "", ""}, Case{"e.g.", "", "", "e.g."},
                          Case{"U.S", "", "", "U.S"}, Case{"a.b.c.d.!", "", "", "a.b.c.d"},
                          Case{"\"x\xBB", "", "", "x\xBB"},
                          Case{"#1", "#", "", "#1"}, Case{". x .", "", "", " x "}}) {
        CString s(c.text);
        CStringUtils::TrimPunctuation(s, c.keepLeading, c.keepTrailing);
        EXPECT_EQ(s, c.expected) << '"' << c.text << '"';
    }
}

TEST(Case, PreserveCase) {
    struct Case {
        const char* model;
        const char* target;
        const char* expected;
    };
    for (const Case& c : {Case{"Hello", "world", "World"}, Case{"ABC", "xyzw", "XYZw"}, Case{"abc", "XYZ", "xyz"},
                          Case{"1-x", "abc", "ABc"},          // non-letters in the model count as upper case
                          Case{"AAA", "\xE9" "a1", "\xE9" "A1"},  // 0xE9 has no case
                          Case{"\xC9\xC9", "ab", "ab"}, Case{"", "abc", "abc"}}) {
        CString target(c.target);
        CStringUtils::PreserveCase(c.model, target);
        EXPECT_EQ(target, c.expected) << c.model << " / " << c.target;
    }
}

TEST(Excerpt, EllipsisSurroundingWord) {
    const CString text("one two three four five");
    struct Case {
        int pos, length, words;
        const char* expected;
    };
    for (const Case& c : {Case{8, 5, 1, "...two three four..."}, Case{8, 5, 2, "one two three four five"},
                          Case{0, 3, 1, "one two..."}, Case{19, 4, 1, "...four five"},
                          Case{8, 5, 0, ""}, Case{-1, 3, 1, ""}, Case{20, 10, 1, ""}}) {
        EXPECT_EQ(CStringUtils::EllipsisSurroundingWord(text, c.pos, c.length, c.words), c.expected)
            << c.pos << "," << c.length << "," << c.words;
    }
    EXPECT_EQ(CStringUtils::EllipsisSurroundingWord("", 0, 1, 1), "");
    EXPECT_EQ(CStringUtils::EllipsisSurroundingWord("a  b  c", 3, 1, 1), "... b...");
}

struct BlockCase {
    Strings lines;
    bool blankOut;
    Strings expected;
};

class TextBlock : public ::testing::TestWithParam<BlockCase> {};

TEST_P(TextBlock, Replace) {
    CStringList lines = ListOf(GetParam().lines);
    CStringUtils::ReplaceTextBlock(lines, "<!--x-->", "<!--/x-->", "R", GetParam().blankOut);
    EXPECT_EQ(Items(lines), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextBlock,
    ::testing::Values(
        // a block across lines: text before the start, the lines between go, the replacement leads the last
        BlockCase{{"a<!--x-->b", "c", "d<!--/x-->e"}, false, {"a", "Re"}},
        BlockCase{{"a<!--x-->b", "c", "d<!--/x-->e"}, true, {"a" + std::string(9, ' '), " ", std::string(10, ' ') + "e"}},
        // a block within one line, markers in another case
        BlockCase{{"p<!--X-->q<!--/X-->r", "s"}, false, {"pRr", "s"}},
        BlockCase{{"p<!--x-->q<!--/x-->r"}, true, {"p" + std::string(18, ' ') + "r"}},
        // an end marker before a start marker on the same line closes, then nothing opens
        BlockCase{{"a<!--x-->", "b<!--/x-->c<!--x-->d", "e"}, false, {"a", "Rc<!--x-->d", "e"}},
        // only the first block of a line is handled
        BlockCase{{"<!--x-->1<!--/x--><!--x-->2<!--/x-->"}, false, {"R<!--x-->2<!--/x-->"}},
        // an unterminated block runs to the end of the list
        BlockCase{{"keep<!--x-->drop", "drop", ""}, false, {"keep"}},
        BlockCase{{"x", "<!--/x-->tail"}, false, {"x", "Rtail"}}));

TEST(TextBlock, IsInTextBlock) {
    struct Case {
        const char* text;
        bool inBlock;
        bool expected;
    };
    for (const Case& c : {Case{"", true, false}, Case{"plain", true, true}, Case{"plain", false, false},
                          Case{"a [START] b", false, true}, Case{"[start] b [end]", false, false},
                          Case{"[end] [start]", false, true}, Case{"x [END] y", true, false},
                          Case{"[start][end][start]", false, true}}) {
        EXPECT_EQ(CStringUtils::IsInTextBlock(c.text, "[Start]", "[End]", c.inBlock), c.expected) << c.text;
    }
}

// DetermineCommonChars is protected; hosts reach it by deriving, and so does the test.
struct CommonProbe : CStringUtils {
    using CStringUtils::DetermineCommonChars;
};

TEST(CommonText, DetermineCommonChars) {
    EXPECT_EQ(CommonProbe::DetermineCommonChars("abcd", "abxy", true), "ab");
    EXPECT_EQ(CommonProbe::DetermineCommonChars("ABcd", "abxy", false), "AB");  // leading part of a
    EXPECT_EQ(CommonProbe::DetermineCommonChars("ABcd", "abxy", true), "");
    EXPECT_EQ(CommonProbe::DetermineCommonChars("abc", "ABCDE", false), "abc");  // all of a: the shorter
    EXPECT_EQ(CommonProbe::DetermineCommonChars("ABCDE", "abc", false), "abc");  // all of b: b itself
    EXPECT_EQ(CommonProbe::DetermineCommonChars("Ab", "aB", false), "Ab");       // equal lengths: a
    EXPECT_EQ(CommonProbe::DetermineCommonChars("\xE9x", "\xC9x", false), "");
}

TEST(CommonText, GetCommonText) {
    EXPECT_EQ(CStringUtils::GetCommonText(ListOf({"", "C:\\dir\\a.txt", "", "C:\\dir\\b.txt", "C:\\DIR\\c"}), false),
              "C:\\dir\\");
    EXPECT_EQ(CStringUtils::GetCommonText(ListOf({"abc", "abd", "xyz", "abc"}), true), "");
    EXPECT_EQ(CStringUtils::GetCommonText(ListOf({"only"}), true), "only");
    EXPECT_EQ(CStringUtils::GetCommonText(ListOf({"", ""}), true), "");
    EXPECT_EQ(CStringUtils::GetCommonText(ListOf({}), true), "");
}

TEST(Xml, TagAndValue) {
    struct Case {
        const char* in;
        const char* out;
    };
    for (const Case& c : {Case{" .My Tag-1 ", "mytag-1"}, Case{"a.b_c", "a.b_c"}, Case{"..x.", ".x."},
                          Case{"-Lead", "-lead"}, Case{"\xC9t\xE9", "t"}, Case{"  ", ""}}) {
        EXPECT_EQ(Edited(CStringUtils::ProcessXMLTag, c.in), c.out) << c.in;
    }
    EXPECT_EQ(Edited(CStringUtils::ProcessXMLValue, "a<b & c>"), "a&lt;b &amp; c&gt;");
    EXPECT_EQ(Edited(CStringUtils::ProcessXMLValue, "&lt; \"q\" 'a'"), "&amp;lt; \"q\" 'a'");
}

}  // namespace
