// HTML character entities, paths as links, template tags and marked regions.

#include <gtest/gtest.h>

#include <string>

#include "support/string_lists.h"
#include "support/test_support.h"
#include "vutil/dates/date_time.h"
#include "vutil/web/html_utils.h"
#include "vutil/web/tag_conv_utils.h"

namespace vutil {
namespace {

using namespace test;

std::string Decoded(const std::string& text, bool remove = false, bool blank = false) {
    CString t(text);
    CHTMLUtils::ReplaceHTMLReservedChars(t, remove, blank);
    return t.str();
}

// Restarts and the stop at an overlong candidate are held by the literal rule on random text.
TEST(Entities, DecodeByTheTable) {
    const std::pair<const char*, const char*> cases[] = {
        {"a &lt; b", "a < b"},
        {"&LT;", "&LT;"},
        {"&nbsp;&apos;&laquo;&raquo;&trade;&plusmin;&plusmn;", " `\x93\x94\x99\xB1&plusmn;"},
        {"&#09;&#9;&#65;&#x41;&#065;&#127;&#160;&#191;&#192;&#215;", "\t&#9;A&#x41;&#065;&#127;\xA0\xBF&#192;\xD7"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(Decoded(in), out) << in;
    EXPECT_EQ(Decoded("a&lt;b", false, true), "a    b");
    EXPECT_EQ(Decoded("a&lt;b &copy;", true, false), "ab ");
}

TEST(Entities, NumericReferencesAgreeWithPythonWhereTheTableKnowsThem) {
    if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 missing";
    std::string text;
    for (int v = 32; v <= 191; ++v)
        // A decoded "&" would pair with a later ";" and end the decoding: left out.
        if ((v <= 126 || v >= 160) && v != 38) text += "&#" + std::to_string(v) + ";|";
    std::string expected;
    ASSERT_EQ(test::RunCommand("python3 -c \"import html,sys; sys.stdout.buffer.write(html.unescape(sys.argv[1])"
                               ".encode('cp1252'))\" '" + text + "'",
                               &expected),
              0);
    EXPECT_EQ(test::Hex(Decoded(text)), test::Hex(expected));
}

TEST(PathsAsLinks, RelativeAndAbsoluteForms) {
    const CString page("E:\\site\\pages\\p.htm");
    EXPECT_EQ(CHTMLUtils::ConvertAbsToRelPathAsLink(CString("E:\\site\\img\\a.gif"), page).str(), "../img/a.gif");
    EXPECT_EQ(CHTMLUtils::ConvertAbsToRelPathAsLink(CString("E:\\site\\pages\\q.htm"), page).str(), "./q.htm");
    EXPECT_EQ(CHTMLUtils::ConvertAbsToRelPathAsLink(CString("D:\\x.htm"), page).str(), "D:\\x.htm");
    EXPECT_EQ(CHTMLUtils::ConvertAbsToRelPathAsLink(page, page).str(), "");
    EXPECT_EQ(CHTMLUtils::ConvertAbsToRelPathAsLink(CString("e:\\SITE\\a\\b\\c.gif"), CString("E:\\site\\x\\y\\p.htm")).str(),
              "../../a/b/c.gif");
    // The two directions undo each other.
    for (const char* target : {"E:\\site\\img\\a.gif", "E:\\site\\pages\\q.htm", "E:\\other\\deep\\d.htm"}) {
        CString link = CHTMLUtils::ConvertAbsToRelPathAsLink(CString(target), page);
        EXPECT_EQ(CHTMLUtils::ConvertRelPathAsLinkToAbs(link, page).str(), target) << link.str();
    }
    EXPECT_EQ(CHTMLUtils::ConvertRelPathAsLinkToAbs(CString(""), page).str(), "");
    EXPECT_EQ(CHTMLUtils::GetServerPath(CString("E:\\site\\img\\a.gif"), CString("E:\\site\\"),
                                        CString("http://example.com/web/")).str(),
              "http://example.com/web/img/a.gif");
    EXPECT_EQ(CHTMLUtils::GetServerPath(CString("E:\\site\\a.htm"), CString("E:\\site\\pages\\"),
                                        CString("http://example.com/web/pages/")).str(),
              "http://example.com/web/a.htm");
    EXPECT_EQ(CHTMLUtils::GetServerPath(CString("D:\\a.htm"), CString("E:\\site\\"), CString("http://s/")).str(),
              "http://s/");
}

TEST(TagConv, ConstantsAndTagPresence) {
    EXPECT_EQ(CTagConvUtils::TAG_BACKLINK.str(), "{BACKLINK_TO}");
    EXPECT_EQ(CTagConvUtils::TAG_FORWARDLINK.str(), "{FORWARDLINK_TO}");
    EXPECT_EQ(CTagConvUtils::TAG_IMAGE_FILENAME.str(), "{IMAGE_FILENAME}");
    EXPECT_EQ(CTagConvUtils::TAG_IMAGE_FILE.str(), "{IMAGE_FILE}");
    EXPECT_EQ(CTagConvUtils::TAG_IMAGE_WIDTH.str(), "{IMAGE_WIDTH}");
    EXPECT_EQ(CTagConvUtils::TAG_IMAGE_HEIGHT.str(), "{IMAGE_HEIGHT}");
    for (const char* yes : {"x {NAME} y", "{1}", "{_}"}) EXPECT_TRUE(CTagConvUtils::HaveAnyTag(CString(yes))) << yes;
    for (const char* no : {"{name}", "{ NAME}", "}{NAME", "plain", "{\xC9}", "{"})
        EXPECT_FALSE(CTagConvUtils::HaveAnyTag(CString(no))) << no;
}

TEST(TagConv, ValueTags) {
    CString t("{A} and {A}");
    CTagConvUtils::ReplaceTagYesNo(t, CString("{A}"), true);
    EXPECT_EQ(t.str(), "Y and Y");
    t = "[{N}] [{Z}] [{F}] [{E}]";
    CTagConvUtils::ReplaceTag(t, CString("{N}"), 1234567, true);
    CTagConvUtils::ReplaceTagEmptyIfZero(t, CString("{Z}"), 0, false);
    CTagConvUtils::ReplaceTagIfEmpty(t, CString("{E}"), CString(), CString("none"));
    CTagConvUtils::ReplaceTag(t, CString("{F}"), 2.5, 2, false, false);
    EXPECT_EQ(t.str(), "[1,234,567] [] [2.50] [none]");
    DateTime late;
    late.Set(2024, 3, 5, 24, 0, 0);
    t = "<{D}>";
    CTagConvUtils::ReplaceTag(t, CString("{D}"), late, true);
    EXPECT_EQ(t.str(), "<>");
}

TEST(TagConv, RemovalBlocksAndRegions) {
    CString t("{A} x {B} {C}");
    CTagConvUtils::RemoveAllTags(t, true, ListOf({"{B}", "{A}", "{C}"}));
    EXPECT_EQ(t.str(), "&nbsp; x &nbsp; &nbsp;");

    CStringList lines = ListOf({"<!--I--><img src='{IMAGE_FILE}' width='{IMAGE_WIDTH}' height={IMAGE_HEIGHT}><!--/I-->"});
    EXPECT_TRUE(CTagConvUtils::ReplaceImageBlock(lines, CString("<!--I-->"), CString("<!--/I-->"), CString("a.gif"), 0, 20));
    EXPECT_EQ(Items(lines), test::Strings({"<img src='a.gif' width='' height=20>"}));
    lines = ListOf({"a<!--I-->{IMAGE_FILE}", "b", "c<!--/I-->d"});
    EXPECT_FALSE(CTagConvUtils::ReplaceImageBlock(lines, CString("<!--I-->"), CString("<!--/I-->"), CString(), 1, 1));
    EXPECT_EQ(Items(lines), test::Strings({"a", "d"}));

    lines = ListOf({"[<a href='{U}'>x</a>]"});
    CTagConvUtils::ReplaceURLBlock(lines, CString("["), CString("]"), CString("{U}"), CString("http://h/"));
    EXPECT_EQ(Items(lines), test::Strings({"<a href='http://h/'>x</a>"}));

    lines = ListOf({"a{S}b", "c", "d{E}e", "f"});
    CStringList cut;
    int index = 5;
    CTagConvUtils::ParseHTMLBetweenTags(lines, CString("{S}"), CString("{E}"), cut, index);
    EXPECT_EQ(Items(lines), test::Strings({"a", "e", "f"}));
    EXPECT_EQ(Items(cut), test::Strings({"b", "c", "d"}));
    EXPECT_EQ(index, 0);

    int start = 0, end = 0;
    const CString html("x <div class=\"k\"> inner </div> y");
    CTagConvUtils::FindHTMLSelectorSurroundingTag(html, CString("class=\"k\""), start, end);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 29);
    CString removed(html);
    CTagConvUtils::RemoveHTMLSurroundTag(removed, CString("class=\"k\""));
    EXPECT_EQ(removed.str(), "x inner </div> y");
    CTagConvUtils::FindHTMLSelectorSurroundingTag(CString("no tag k/>"), CString("k"), start, end);
    EXPECT_EQ(start, -1);
}

TEST(HtmlCli, LinksAnchorsAndEntities) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("p.htm"), "<a href='a.html' name=\"A\" >\n<img src=\"b.gif\">\n<a href=\"index\">\n");
    std::string out;
    EXPECT_EQ(test::RunCli("html links " + dir.File("p.htm"), &out), 0);
    EXPECT_EQ(out, "1\ta\thref\ta.html\n2\timg\tsrc\tb.gif\n");
    EXPECT_EQ(test::RunCli("html links --unverified " + dir.File("p.htm") + " | wc -l", &out), 0);
    EXPECT_EQ(out, "3\n");
    EXPECT_EQ(test::RunCli("html anchors " + dir.File("p.htm"), &out), 0);
    EXPECT_EQ(out, "A\n");
    // Piped, not redirected from a file: under Wine the shell on the Linux side reads the redirection.
    EXPECT_EQ(test::RunCommand("printf 'a &lt; b &copy;' | '" + std::string(VUTIL_CLI_PATH) + "' html encode", &out),
              0);
    EXPECT_EQ(out, "a < b \xC2\xA9");
    EXPECT_EQ(test::RunCli("html links"), 2);
    EXPECT_EQ(test::RunCli("html links " + dir.File("none.htm")), 1);
}

}  // namespace
}  // namespace vutil
