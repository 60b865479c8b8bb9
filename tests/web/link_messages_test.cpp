// Titles and explanations of link result codes; message tidying.

#include <gtest/gtest.h>

#include <string>

#include "vutil/core/app_logger.h"
#include "vutil/web/html_utils.h"

namespace vutil {
namespace {

struct Exposed : CHTMLUtils {
    using CHTMLUtils::CleanUpMsg;
};

std::string Title(std::uint32_t code) { return CHTMLUtils::GetValidationDescription(code, false).GetString(); }
std::string Text(std::uint32_t code) { return CHTMLUtils::GetValidationDescription(code, true).GetString(); }

TEST(LinkCodes, ValuesAreFixed) {
    // Hosts store these numbers with every link.
    EXPECT_EQ(CHTMLUtils::HTTP_LINK_NOTYETVALIDATED, 0u);
    EXPECT_EQ(CHTMLUtils::HTTP_LINK_VALID, 200u);
    const std::uint32_t library[] = {
        CHTMLUtils::HTTP_LINK_GENERICERROR,      CHTMLUtils::HTTP_LINK_BLANKURL,
        CHTMLUtils::HTTP_LINK_WORKOFFLINE,       CHTMLUtils::HTTP_LINK_UNABLETOOPENURL,
        CHTMLUtils::HTTP_LINK_TIMEDOUT,          CHTMLUtils::HTTP_LINK_SERVERCONNLOST,
        CHTMLUtils::HTTP_LINK_INVALIDURL,        CHTMLUtils::HTTP_LINK_INVALIDPROTOCOL,
        CHTMLUtils::HTTP_LINK_QUERYFAILED,       CHTMLUtils::HTTP_LINK_LOCAL_NOTEXIST,
        CHTMLUtils::HTTP_LINK_LOCAL_BADCASE,     CHTMLUtils::HTTP_LINK_LOCAL_BADSYNTAX,
        CHTMLUtils::HTTP_LINK_LOCAL_BADCHAR,     CHTMLUtils::HTTP_LINK_LOCAL_SELFREF,
        CHTMLUtils::HTTP_LINK_NOINTERNETCONN,    CHTMLUtils::HTTP_LINK_HARDWIRED_LOCAL,
        CHTMLUtils::HTTP_LINK_ANCHORREF_NOFILE,  CHTMLUtils::HTTP_LINK_ANCHORREF_NOANCHOR,
        CHTMLUtils::HTTP_LINK_ANCHORREF_BADCASE, CHTMLUtils::HTTP_LINK_ANCHORREF_DUPLICATE,
        CHTMLUtils::HTTP_LINK_SECURE_CHANNEL,    CHTMLUtils::HTTP_LINK_CANCELED,
        CHTMLUtils::HTTP_LINK_HEADERNOTFOUND,    CHTMLUtils::HTTP_LINK_REDIRECT_FAILED,
        CHTMLUtils::HTTP_LINK_APP_ERROR};
    for (std::uint32_t i = 0; i < std::size(library); ++i) EXPECT_EQ(library[i], 10000 + i);
}

struct Described {
    std::uint32_t code;
    const char* title;
    const char* text;  // null: only the title is checked
};

class Descriptions : public ::testing::TestWithParam<Described> {};

TEST_P(Descriptions, TitleAndText) {
    const Described& d = GetParam();
    EXPECT_EQ(Title(d.code), d.title) << d.code;
    if (d.text) {
        EXPECT_EQ(Text(d.code), d.text) << d.code;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixed, Descriptions, ::testing::Values(
    Described{0, "", "Not yet validated."},
    Described{200, "", ""},
    Described{399, "", ""},
    Described{10000, "Unknown problem", nullptr},
    Described{10001, "No URL given", "The URL address itself is empty."},
    Described{10002, "\"Global Offline\" mode", nullptr},
    Described{10004, "Timed out", "Attempting to connect to the server timed out. This may be temporary."},
    Described{10011, "Missing \"file:///\" syntax",
              "This is a hard-wired link to a local file, which exists. However, the HTML coding was missing the "
              "\"file:/// syntax. Internet Explorer is OK with that, but other browsers will give you problems."},
    Described{10013, "Self-reference",
              "The link is a link to the file itself. For example, if there is a link in \"About.htm\" such as <a "
              "href=\"About.htm\">Contacts</a>, then this error would be reported."},
    Described{10016, "File is empty", "The file specified in this link has no content."},
    Described{10024, "Application error detected", nullptr},
    Described{400, "Invalid URL syntax", "HTTP 400: Invalid syntax of URL."},
    Described{404, "URL is unavailable",
              "HTTP 404: URL has been removed, changed its name, or is temporarily unavailable. Other possible "
              "causes for this message are: bad Internet connection; remote server address is not set correctly."},
    Described{406, "No response", "HTTP 406: No response acceptable to client found."},
    Described{444, "No response",
              "HTTP 444: The server has purposely closed the connection, most like to avoid malware attacks."},
    Described{413, "Request too large", "HTTP 413: Request entity was too large."},
    Described{494, "Request too large", "HTTP 494: (same as HTTP 413) Request entity was too large."},
    Described{420, "Method Failed", nullptr},
    Described{497, "HTTP to HTTPS redirect", nullptr},
    Described{500, "Internal server error", "HTTP Server-side Error 500: Internal server error."},
    Described{511, "Network authorization required", nullptr},
    Described{598, "Network connection time-out",
              "HTTP Server-side Error 598: A network time-out occurred. Check your Internet connection."}));


TEST(Descriptions, FileDoesNotExistIsParagraphs) {
    std::string text = Text(CHTMLUtils::HTTP_LINK_LOCAL_NOTEXIST);
    EXPECT_EQ(text.rfind("The file, as specified by this link, does not exist on your computer.\n\nMost likely", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);
    EXPECT_EQ(text.substr(text.size() - 28), "just not have enough \"dots\".");
}

// Every status of the HTTP table has a title and a long text in the house form; the
// rest of 1..10024 outside 200..399 and the library codes is unknown and says so.
TEST(Descriptions, EveryCodeHasTextOrIsUnknown) {
    const int withEntry[] = {400, 401, 402, 403, 404, 405, 406, 407, 408, 409, 410, 411, 412, 413, 414, 415,
                             416, 417, 419, 420, 422, 423, 424, 425, 429, 431, 444, 449, 450, 451, 494, 495,
                             496, 497, 499, 500, 501, 502, 503, 504, 505, 507, 508, 509, 510, 511, 598, 599};
    ASSERT_EQ(std::size(withEntry), 48u);
    CAppLogger* log = CAppLogger::CreateForTesting();
    int unknown = 0;
    for (std::uint32_t code = 1; code <= 10030; ++code) {
        if (code >= 200 && code <= 399) continue;
        std::string title = Title(code), text = Text(code);
        bool listed = std::find(std::begin(withEntry), std::end(withEntry), static_cast<int>(code)) != std::end(withEntry);
        if (code >= 10000 && code <= 10024) {
            EXPECT_FALSE(title.empty()) << code;
            EXPECT_GT(text.size(), title.size()) << code;
        } else if (listed) {
            std::string head = (code < 500 ? "HTTP " : "HTTP Server-side Error ") + std::to_string(code) + ": ";
            EXPECT_EQ(text.rfind(head, 0), 0u) << code;
            EXPECT_GT(text.size(), head.size() + 10) << code;
            EXPECT_EQ(text.back(), '.') << code;
        } else {
            std::string expected = "Unknown error (" + std::to_string(code) + ")";
            EXPECT_EQ(title, expected);
            EXPECT_EQ(text, expected);
            ++unknown;
        }
    }
    // Two lines per unknown code (title and text), each the site and the text.
    const auto& lines = log->Lines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(2 * unknown));
    EXPECT_EQ(lines.back().site, "{F0C25C32-A0CF-4803-8564-261F206E5AFD}");
    EXPECT_EQ(lines.back().text, "Unknown error (10030)");
    CAppLogger::DeleteInstance();
    EXPECT_EQ(Title(418), "Unknown error (418)");
}

TEST(CleanUpMsg, Cases) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"Failed\r\n", " Failed."},
        {"Done.", " Done."},
        {"Disk full  \n", " Disk full."},
        {"two\n\n", " two."},
        {"\r\n", "."},
        {"x\n\r", " x."},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(std::string(Exposed::CleanUpMsg(in).GetString()), out) << in;
}

}  // namespace
}  // namespace vutil
