// Anchor look-up in a page's lines, and remote links validated against the local test
// server: statuses, redirects, time-outs, resets and anchors in the fetched body.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/http_test_server.h"
#include "support/test_support.h"
#include "vutil/framework/internet_session.h"
#include "vutil/web/html_utils.h"
#include "vutil/web/internet_utils.h"

namespace vutil {
namespace {

struct AnchorCase {
    const char* anchor;
    std::vector<const char*> lines;
    std::uint32_t code;
    const char* found;
};

class Anchor : public ::testing::TestWithParam<AnchorCase> {};

TEST_P(Anchor, FoundOnceExactlyOrSaysWhy) {
    const AnchorCase& c = GetParam();
    TextArray lines;
    for (const char* l : c.lines) lines.Add(l);
    CString found("stale");
    EXPECT_EQ(CHTMLUtils::ValidateAnchor(c.anchor, lines, found), c.code);
    EXPECT_EQ(std::string(found.GetString()), c.found);
}

INSTANTIATE_TEST_SUITE_P(Cases, Anchor, ::testing::Values(
    AnchorCase{"top", {}, CHTMLUtils::HTTP_LINK_ANCHORREF_NOANCHOR, ""},
    AnchorCase{"Top", {"<a name='Top'>x</a>"}, CHTMLUtils::HTTP_LINK_VALID, "Top"},
    AnchorCase{"top", {"<p>", "<A NAME=\"Top\">x</A>"}, CHTMLUtils::HTTP_LINK_ANCHORREF_BADCASE, "Top"},
    AnchorCase{"dup", {"<a id=\"dup\">1</a> <a name=\"Dup\">2</a>"}, CHTMLUtils::HTTP_LINK_ANCHORREF_DUPLICATE, "Dup"},
    AnchorCase{"two", {"<a name=\"two\">1</a>", "<a id=\"two\">2</a>"}, CHTMLUtils::HTTP_LINK_ANCHORREF_DUPLICATE, "two"},
    AnchorCase{"top", {"<p>top of the page</p>", "<a name=\"bottom\">"}, CHTMLUtils::HTTP_LINK_ANCHORREF_NOANCHOR, ""},
    AnchorCase{"top", {"<a name=top>"}, CHTMLUtils::HTTP_LINK_ANCHORREF_NOANCHOR, ""},  // unquoted at the tag's end
    AnchorCase{"x", {"<abbr id=\"x\">"}, CHTMLUtils::HTTP_LINK_VALID, "x"},  // only "<a" is looked for
    AnchorCase{"sec", {"<div id=\"sec\">"}, CHTMLUtils::HTTP_LINK_ANCHORREF_NOANCHOR, ""},
    AnchorCase{"sec", {"<a href=\"#sec\" name=\"sec2\">"}, CHTMLUtils::HTTP_LINK_ANCHORREF_NOANCHOR, ""}));

TEST(ValidateLinkExternal, AnswersWithoutTheNetwork) {
    std::unique_ptr<CInternetSession> session(CInternetUtils::CreateInternetSession());
    ASSERT_TRUE(session);
    EXPECT_EQ(CHTMLUtils::ValidateLinkExternal(session.get(), ""), CHTMLUtils::HTTP_LINK_BLANKURL);
    EXPECT_EQ(CHTMLUtils::ValidateLinkExternal(nullptr, ""), CHTMLUtils::HTTP_LINK_BLANKURL);
    EXPECT_EQ(CHTMLUtils::ValidateLinkExternal(nullptr, "http://127.0.0.1/"), CHTMLUtils::HTTP_LINK_NOINTERNETCONN);
    for (const char* url : {"mailto:x", "javascript:go()", "www.example.com", "news:x", "http"})  // "http" lacks the colon
        EXPECT_EQ(CHTMLUtils::ValidateLinkExternal(session.get(), url), CHTMLUtils::HTTP_LINK_INVALIDPROTOCOL) << url;
    for (const char* url : {"HTTP:", "http:/", "HTTP://", "http://www", "http://WWW."})
        EXPECT_EQ(CHTMLUtils::ValidateLinkExternal(session.get(), url), CHTMLUtils::HTTP_LINK_INVALIDURL) << url;
    session->Close();
}

class Remote : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.Running());
        test::WriteFileBytes(m_dir.File("anchors.html"),
                             "<html><body>\n<a name=\"Top\">top</a>\n"
                             "<p><a id=\"dup\">one</a> and <a name=\"dup\">two</a></p>\n"
                             "<a name=\"twice\">1</a>\n<a name=\"twice\">2</a>\n</body></html>\n");
        m_session.reset(CInternetUtils::CreateInternetSession());
        ASSERT_TRUE(m_session);
    }
    void TearDown() override {
        if (m_session) m_session->Close();
    }
    std::uint32_t Validate(const std::string& path) {
        return CHTMLUtils::ValidateLinkExternal(m_session.get(), m_server.Url(path).c_str());
    }

    test::TempDir m_dir;
    test::HttpTestServer m_server{m_dir.path().string()};
    std::unique_ptr<CInternetSession> m_session;
};

TEST_F(Remote, StatusesAndRedirects) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"/ok", 200}, {"/301", 200}, {"/302", 404}, {"/status/503", 503}, {"/site/anchors.html", 200},
        {"/reset", CHTMLUtils::HTTP_LINK_SERVERCONNLOST},
    };
    for (const auto& [path, code] : cases) EXPECT_EQ(Validate(path), code) << path;
}

TEST_F(Remote, AnchorsInTheBody) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"/site/anchors.html#Top", CHTMLUtils::HTTP_LINK_VALID},
        {"/site/anchors.html#top", CHTMLUtils::HTTP_LINK_ANCHORREF_BADCASE},
        {"/site/anchors.html#dup", CHTMLUtils::HTTP_LINK_ANCHORREF_DUPLICATE},   // twice on one line
        {"/site/anchors.html#twice", CHTMLUtils::HTTP_LINK_VALID},              // once on each of two lines
        {"/site/anchors.html#none", CHTMLUtils::HTTP_LINK_ANCHORREF_NOANCHOR},
        {"/site/missing.html#Top", 404},                                         // no body is read for an error
    };
    for (const auto& [path, code] : cases) EXPECT_EQ(Validate(path), code) << path;
}

TEST_F(Remote, SlowerThanTheTimeOut) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        ASSERT_TRUE(m_session->SetOption(option, 1000));
    EXPECT_EQ(Validate("/slow?seconds=4"), CHTMLUtils::HTTP_LINK_TIMEDOUT);
    EXPECT_EQ(Validate("/ok"), CHTMLUtils::HTTP_LINK_VALID);  // the session still works
}

TEST_F(Remote, NothingListening) {
    // A port that was free a moment ago: connecting is refused.
    int port;
    {
        test::HttpTestServer gone(m_dir.path().string());
        port = gone.Port();
    }
    std::string url = "http://127.0.0.1:" + std::to_string(port) + "/ok";
    EXPECT_EQ(CHTMLUtils::ValidateLinkExternal(m_session.get(), url.c_str()), CHTMLUtils::HTTP_LINK_SERVERCONNLOST);
}

TEST_F(Remote, FormPost) {
    CString error("untouched");
    EXPECT_TRUE(CHTMLUtils::DoHTTPPost(m_server.Url("/echo").c_str(), "a=1&b=2", error));
    EXPECT_FALSE(CHTMLUtils::DoHTTPPost(m_server.Url("/status/500").c_str(), "a=1", error));
    EXPECT_FALSE(CHTMLUtils::DoHTTPPost(m_server.Url("/echo").c_str(), "", error));
    EXPECT_FALSE(CHTMLUtils::DoHTTPPost("", "a=1", error));
    EXPECT_STREQ(error.GetString(), "untouched");
    EXPECT_FALSE(CHTMLUtils::DoHTTPPost("127.0.0.1/echo", "a=1", error));  // no "://": no server name
}

}  // namespace
}  // namespace vutil
