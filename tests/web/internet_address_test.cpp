// Address validation and repair, addresses in text, file URLs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/string_lists.h"
#include "vutil/text/string_utils.h"
#include "vutil/web/internet_utils.h"
#include "vutil/web/top_level_domains_internal.h"

namespace vutil {
namespace {

struct WebCase {
    const char* input;
    bool valid;
    const char* output;
};

class WebSiteAddress : public ::testing::TestWithParam<WebCase> {};

TEST_P(WebSiteAddress, ValidatesAndRepairs) {
    const WebCase& c = GetParam();
    CString address(c.input);
    EXPECT_EQ(CInternetUtils::IsValidWebSiteAddress(address), c.valid) << c.input;
    EXPECT_STREQ(address.GetString(), c.output) << c.input;
}

INSTANTIATE_TEST_SUITE_P(Cases, WebSiteAddress, ::testing::Values(
    WebCase{"example.com", true, "http://example.com/"},
    WebCase{"  example.com  ", true, "http://example.com/"},
    WebCase{"www.example.org/page.htm", true, "http://www.example.org/page.htm"},
    WebCase{"https://news.example.uk", true, "https://news.example.uk/"},
    WebCase{"ww.example.com", true, "http://www.example.com/"},
    WebCase{"wwwexample.com", true, "http://www.example.com/"},
    WebCase{"wwexample.com", true, "http://www.example.com/"},
    WebCase{"wwwwwexample.com", true, "http://www.example.com/"},
    WebCase{"wexample.com", true, "http://wexample.com/"},
    WebCase{"www.examplecom", true, "http://www.example.com/"},
    WebCase{"wwwx.example.net", true, "http://www.example.net/"},
    WebCase{"HTTPS://WWW.Example.COM", true, "https://www.Example.COM/"},
    WebCase{"ftp://files.example.de/pub", true, "http://files.example.de/pub"},
    WebCase{"example.zzz", false, "example.zzz"},
    WebCase{"example.COM", false, "example.COM"},
    WebCase{"a.b.c.d.com", false, "a.b.c.d.com"},
    WebCase{"a.b.c.com", true, "http://a.b.c.com/"},
    WebCase{"example..com", false, ""},
    WebCase{"   ", false, ""},
    WebCase{"localhost", false, "localhost"},
    WebCase{"192.168.1.20/index.html", true, "192.168.1.20/index.html"},
    WebCase{"www.example.com\\word", true, "http://www.example.com/word/"},
    WebCase{"www.example.com\\word.htm", false, "www.example.com\\word.htm"},
    WebCase{"www.example.com/", true, "http://www.example.com/"}));

TEST(EmailAddress, Validity) {
    const std::vector<std::pair<const char*, bool>> cases = {
        {"jo@example.com", true},      {"  jo@example.com ", true}, {"jo @example.com", false},
        {"jo.smith@example", false},   {"jo.example.com", false},   {"", false},
        {"  ", false},                 {"@.", true}};
    for (const auto& [text, valid] : cases) EXPECT_EQ(CInternetUtils::IsValidEmailAddress(text), valid) << text;
}

using test::Items;

TEST(EmailAddress, FoundInText) {
    TextArray found;
    CInternetUtils::ParseEmailAddresses("Write to <ann@example.com>, or \"bob@example.org\".", found);
    EXPECT_EQ(Items(found), (std::vector<std::string>{"ann@example.com", "bob@example.org"}));
}

// The one-pass walk must number the pairs exactly as FindOccurrencePair does.
TEST(EmailAddress, PairsMatchFindOccurrencePair) {
    const char* texts[] = {"a@b@c.d e@f.g", "x@y.z@w.v", "@@..@.", "no pair @ here", "q=r@s.t 'u@v.w'"};
    for (const char* t : texts) {
        TextArray found;
        CInternetUtils::ParseEmailAddresses(t, found);
        int n = 0;
        for (;; ++n) {
            int p = -1, q = -1;
            CStringUtils::FindOccurrencePair(t, "@", ".", n + 1, p, q);
            if (p < 0) break;
        }
        EXPECT_EQ(found.GetCount(), static_cast<unsigned>(n)) << t;
    }
}

TEST(WebAddressesInText, RunsAndOrder) {
    struct Case {
        const char* text;
        std::vector<std::string> found;
    };
    const std::vector<Case> cases = {
        {"See http://example.com/a/, and href=\"http://x.org\".", {"http://example.com/a/", "http://x.org"}},
        {"Visit www.example.com today", {"www.example.com"}},
        // A www. address before an http: address is passed over.
        {"www.first.com then http://second.com", {"http://second.com"}},
        {"HTTP://UPPER.COM.", {"HTTP://UPPER.COM"}},
        {"nothing here", {}}};
    for (const auto& c : cases) {
        TextArray found;
        CInternetUtils::ParseWebSiteAddresses(c.text, found);
        EXPECT_EQ(Items(found), c.found) << c.text;
    }
}

TEST(InternetFile, Prefixes) {
    const std::vector<std::pair<const char*, bool>> cases = {
        {"ftp:", true}, {"www", false}, {"WWW.x", true}, {"Https://a", true}, {"feed:http://a", true},
        {"gopher:x", true}, {"file:///c:/a", false}, {"mailto:a@b.c", false}};
    for (const auto& [name, internet] : cases) EXPECT_EQ(CInternetUtils::IsInternetFile(name), internet) << name;
}

TEST(FileUrl, RoundTripAndFixedForms) {
    EXPECT_STREQ(CInternetUtils::ConvertFromLocalPathToURL("E:\\a\\b.htm"), "file:///E:/a/b.htm");
    EXPECT_STREQ(CInternetUtils::ConvertFromURLToLocalPath("index.htm"), "index.htm");
    EXPECT_STREQ(CInternetUtils::ConvertFromLocalPathToURL("FILE:///x/y"), "FILE:///x/y");
    EXPECT_STREQ(CInternetUtils::ConvertFromURLToLocalPath("sub/page.htm"), "sub\\page.htm");
    EXPECT_STREQ(CInternetUtils::ConvertFromLocalPathToURL(" "), "");
    EXPECT_STREQ(CInternetUtils::ConvertFromURLToLocalPath(""), "");
    for (const char* path : {"C:\\dir\\file name.txt", "D:\\x", "\\\\server\\share\\f"})
        EXPECT_STREQ(CInternetUtils::ConvertFromURLToLocalPath(CInternetUtils::ConvertFromLocalPathToURL(path)), path);
}

TEST(TopLevelDomains, CountsByLength) {
    int byLength[7] = {};
    for (auto d : web_internal::TopLevelDomains()) ++byLength[d.size()];
    EXPECT_EQ(byLength[2], 247);
    EXPECT_EQ(byLength[3], 10);
    EXPECT_EQ(byLength[4], 7);
    EXPECT_EQ(byLength[6], 2);
}

}  // namespace
}  // namespace vutil
