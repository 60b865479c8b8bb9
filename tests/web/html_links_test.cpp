// Link extraction, anchors, tag texts and base addresses of HTML pages.

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "support/string_lists.h"
#include "support/test_support.h"
#include "vutil/web/html_utils.h"

namespace vutil {
namespace {

// The protected steps, reachable for tests.
struct HtmlSteps : CHTMLUtils {
    using CHTMLUtils::IsOnlyBlanks;
    using CHTMLUtils::ParseFunctionLinks;
    using CHTMLUtils::ParseHTMLTags;
    using CHTMLUtils::ParseLinkValidExt;
};

using namespace test;


std::vector<std::string> LinksOf(const std::vector<std::string>& lines, const char* ext, bool unverified) {
    TextArray links;
    CHTMLUtils::ParseLinksFromLines(ArrayOf(lines), CString(ext), links, unverified);
    return Items(links);
}

struct LinkCase {
    const char* line;
    const char* ext;
    bool unverified;
    std::vector<std::string> links;
};

class ParseLinkTable : public ::testing::TestWithParam<LinkCase> {};

TEST_P(ParseLinkTable, FindsTheLinksOfOneLine) {
    const LinkCase& c = GetParam();
    EXPECT_EQ(LinksOf({c.line}, c.ext, c.unverified), c.links) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Links, ParseLinkTable,
    ::testing::Values(
        LinkCase{"<a href='page.html'>", "htm", true, {"page.html"}},
        LinkCase{"<A HREF='Page.html'>", "htm", true, {"Page.html"}},
        LinkCase{"<a href = 'page.html'>", "htm", true, {"page.html"}},
        LinkCase{"<a href=page.html>", "htm", true, {}},
        LinkCase{"<a href=page.html target=_top>", "htm", true, {"page.html"}},
        LinkCase{"<a href='page.html#top'>", "htm", false, {"page.html#top"}},
        LinkCase{"<a href=\"#\">", "htm", true, {}},
        LinkCase{"<a href=\"mailto:me@example.com\">", "htm", true, {}},
        LinkCase{"<a href='javascript:open('win.html')'>", "htm", true, {"win.html"}},
        LinkCase{"<a href='javascript:go(3)'>", "htm", true, {}},
        LinkCase{"<a href=\"index\">", "htm", true, {"index"}},
        LinkCase{"<a href=\"index\">", "htm", false, {}},
        LinkCase{"<meta http-equiv='refresh' content='5; url=next.html'>", "htm", false, {"next.html"}},
        LinkCase{"<meta http-equiv=\"PICS-Label\" content='(pics-1.1 \"http://a.org/r.html\" l r \"http://b.org/\")'>",
                 "htm", true, {"http://a.org/r.html", "http://b.org/"}},
        LinkCase{"<input type=image src=\"b.gif\" value=\"go.html\">", "htm", true, {"b.gif"}},
        LinkCase{"<input type=submit value=\"go.html\" >", "htm", true, {"go.html"}},
        LinkCase{"<object data=\"movie.swf\" >", "htm", true, {"movie.swf"}},
        LinkCase{"<form action=\"{ACTION}.cgi\" >", "htm", true, {}},
        LinkCase{"<img src=\"{IMAGE}.gif\" >", "htm", true, {"{IMAGE}.gif"}},
        LinkCase{"<a href=\"me@site.com\">", "htm", true, {}},
        LinkCase{"<a href=\"www.example.com\">", "htm", false, {"www.example.com"}},
        LinkCase{"<a href=\"a.b.c\">", "htm", false, {}},
        LinkCase{"<a href=\"../img/\">", "htm", true, {"../img/"}},
        LinkCase{"<a href=\"http://x.com/../\">", "htm", false, {}},
        LinkCase{"<a href='one.html'><img src='two.gif'></a><a href='three.htm'>", "htm", true,
                 {"one.html", "two.gif", "three.htm"}},
        LinkCase{"<a\nhref='split.html'>", "htm", true, {}},
        LinkCase{"body { background: url('img/bg.png') }", "css", true, {"img/bg.png"}},
        LinkCase{"body { background: url(img/bg.png) }", "css", true, {}},
        LinkCase{"a { x: url  (\"a.png\") } b { y: url(\"b.png\") }", "CSS", true, {"a.png", "b.png"}},
        LinkCase{"<a href='p.html'> url('only.png')", "css", true, {"only.png"}},
        LinkCase{"header('Location: done.php');", "php", true, {"done.php"}},
        LinkCase{"include(\"lib.inc\"); include (other);", "php", true, {"lib.inc"}},
        LinkCase{"<item><link>http://a.org/1</link><guid>http://a.org/g</guid></item>", "xml", true,
                 {"http://a.org/1", "http://a.org/g"}}));

TEST(ParseLinks, CommentsAcrossLinesHideTheirLinksAndKeepTheRest) {
    std::vector<std::string> page = {"<a href='a.html'> <!-- <a href='b.html'>", "<a href='c.html'>",
                                     "--> <a href='d.html'> <!-- <a href='e.html'> -->"};
    EXPECT_EQ(LinksOf(page, "htm", true), (std::vector<std::string>{"a.html", "d.html"}));
}

TEST(ParseLinks, ReadsThePageFileAndTellsKindByExtension) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("s.CSS"), "p { background: url(\"x.png\") }\r\n<a href='y.html'>\r\n");
    test::WriteFileBytes(dir.File("p.htm"), "<a href='y.html'>\r\n<base href=\"../root/\">\n</head>\n");
    TextArray links;
    CHTMLUtils::ParseLinks(CString(dir.File("s.CSS")), links, true);
    CHTMLUtils::ParseLinks(CString(dir.File("p.htm")), links, true);
    CHTMLUtils::ParseLinks(CString(dir.File("missing.htm")), links, true);
    EXPECT_EQ(Items(links), (std::vector<std::string>{"x.png", "y.html", "../root/"}));
    EXPECT_EQ(CHTMLUtils::GetHTMLBasePath(CString(dir.File("p.htm"))).str(), "../root/");
}

TEST(HtmlSteps, TagsBlanksFunctionsAndExtensions) {
    TextArray tags;
    HtmlSteps::ParseHTMLTags(CString("<b>x</b><i a='1'>< <"), tags);
    EXPECT_EQ(Items(tags), (std::vector<std::string>{"<b>", "<i a='1'>"}));
    EXPECT_TRUE(HtmlSteps::IsOnlyBlanks(CString("ab  c"), 1, 3));
    EXPECT_TRUE(HtmlSteps::IsOnlyBlanks(CString("abc"), 1, 1));
    EXPECT_FALSE(HtmlSteps::IsOnlyBlanks(CString("ab xc"), 1, 3));
    EXPECT_FALSE(HtmlSteps::IsOnlyBlanks(CString("abc"), 2, 1));
    TextArray links;
    HtmlSteps::ParseFunctionLinks(CString("url('a') url (\"b\") url('c"), links, CString("url"), CString());
    EXPECT_EQ(Items(links), (std::vector<std::string>{"a", "b"}));
    for (const char* yes : {"gif", "html", "info", "jpeg", "386", "htm#x", "aspx/", "shtml"})
        EXPECT_TRUE(HtmlSteps::ParseLinkValidExt(CString(yes))) << yes;
    for (const char* no : {"2004", "exe1", "", "  ", "12!", "xhtmlx", "JPEG"})
        EXPECT_FALSE(HtmlSteps::ParseLinkValidExt(CString(no))) << no;
    TextArray pages, all;
    CHTMLUtils::GetSupportedHTMLFiles(pages, true);
    CHTMLUtils::GetSupportedHTMLFiles(all, false);
    EXPECT_EQ(pages.GetCount(), 14u);
    EXPECT_EQ(all.GetCount(), 16u);
}

TEST(Anchors, IndexOfTheAnchorPart) {
    const std::pair<const char*, int> cases[] = {{"page.html#sec", 9}, {"page.asp#x", 8}, {"#top", 0},
                                                 {"  #top", 2},        {"file.zip#x", -1}, {"a.b/p.HTM#x", 9},
                                                 {"nothing", -1}};
    for (const auto& [link, index] : cases) EXPECT_EQ(CHTMLUtils::GetAnchorIndex(CString(link)), index) << link;
}

TEST(Anchors, NamesAndIdsSortedWithDuplicatesMerged) {
    TextArray anchors;
    bool dup = true;
    CHTMLUtils::GetAnchors(ArrayOf({"<a name='Top'>", "<A ID=\"top\">", "<a name=top>", "<abbr id=\"x\">",
                                  "<p id=\"no\"> <a class=k name = \"b c\">", "   "}),
                           anchors, dup);
    EXPECT_EQ(Items(anchors), (std::vector<std::string>{"b c", "Top", "x"}));
    EXPECT_TRUE(dup);
    anchors.DeleteAll();
    CHTMLUtils::GetAnchors(ArrayOf({"<a name=\"one\"><a name=\"two\">"}), anchors, dup);
    EXPECT_FALSE(dup);
    EXPECT_EQ(anchors.GetCount(), 2u);
}

TEST(TagTexts, TextBetweenTagsAlsoAcrossLines) {
    TextArray texts;
    CHTMLUtils::ParseTextBetweenHTMLTags(
        ArrayOf({"<TITLE>Home</title> <title lang=en>Two</title>", "<title>Start", "middle", "end</TITLE> x"}),
        CString("<title"), CString("</title>"), texts);
    EXPECT_EQ(Items(texts), (std::vector<std::string>{"Home", "Two", "Start", "middle", "end"}));
}

TEST(BasePath, FoundOnlyInTheHeadAndAsWritten) {
    EXPECT_EQ(CHTMLUtils::GetHTMLBasePathFromLines(ArrayOf({"<head>", "<base  href = '../root/'>"})).str(), "../root/");
    EXPECT_EQ(CHTMLUtils::GetHTMLBasePathFromLines(ArrayOf({"</head><base href='x/'>"})).str(), "");
    EXPECT_EQ(CHTMLUtils::GetHTMLBasePathFromLines(ArrayOf({"<BASE HREF='x/'>"})).str(), "");
}

// Hostile pages: the time for twice the input stays near twice the time. The two sizes
// are timed in turns and the best of each kept.
TextArray PageLines(const std::string& page) {
    TextArray lines;
    std::size_t at = 0;
    while (at <= page.size()) {
        std::size_t nl = page.find('\n', at);
        if (nl == std::string::npos) nl = page.size();
        lines.Add(CString(page.substr(at, nl - at)));
        at = nl + 1;
    }
    return lines;
}

double Seconds(const TextArray& lines) {
    TextArray links;
    // Processor time: a descheduled test on a shared machine does not count against it.
    const std::clock_t t0 = std::clock();
    CHTMLUtils::ParseLinksFromLines(lines, CString("php"), links, true);
    return static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
}

TEST(ParseLinks, HostileInputTakesLinearTime) {
#ifdef _WIN32
    GTEST_SKIP() << "std::clock() is wall time on Windows and the system's CPU clocks tick too coarsely for these "
                    "millisecond runs; the platform-neutral code is measured on the other build";
#endif
    const std::vector<std::pair<std::string, std::string>> units = {
        {"unterminated tags", "<a href='x.html' "},
        {"unterminated quotes", "<a href='x.html >"},
        {"open comments", "<!-- <a href='x.html'> "},
        {"long attribute", "<img src=\"" + std::string(4096, 'v') + ".gif\" alt=\"" + std::string(4096, 'w') + "\">"},
        {"tag over lines", "<a href=\n"},
        {"NUL and high bytes", std::string("<a href='\0\x80\xff.html'>\xe9<\x01 url('\xfe') ", 24)},
        {"calls without close", "include(\"a\" header( url("},
        {"many names", "<a name=x href=y name=z "},
    };
    for (const auto& [name, unit] : units) {
        std::string page;
        while (page.size() < (256u << 10)) page += unit;
        const TextArray once = PageLines(page), twice = PageLines(page + page);
        double one = 1e9, two = 1e9;
        for (int i = 0; i < 7; ++i) {
            one = std::min(one, Seconds(once));
            two = std::min(two, Seconds(twice));
        }
        EXPECT_LT(two, 3.0 * one + 0.001) << name << ": " << one << " s then " << two << " s";
    }
}

TEST(ParseLinks, TenMegabyteAttributeValue) {
    std::string value(10u << 20, 'a');
    TextArray links;
    CHTMLUtils::ParseLinksFromLines(ArrayOf({"<a href=\"" + value + ".html\">"}), CString("htm"), links, true);
    ASSERT_EQ(links.GetCount(), 1u);
    EXPECT_EQ(links.GetAt(0).GetLength(), static_cast<int>(value.size()) + 5);
}

}  // namespace
}  // namespace vutil
