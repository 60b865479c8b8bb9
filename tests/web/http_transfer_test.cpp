// The HTTP seam against the local test server, for what the session above it does not
// show: the address after redirects, the raw header block, HEAD, the redirect limit,
// and the loopback going direct whatever proxy the environment names.

#include <gtest/gtest.h>

#include <string>

#include "support/http_test_server.h"
#include "support/test_support.h"
#include "vutil/platform/http.h"

namespace vutil::platform {
namespace {

struct TransferCase {
    const char* path;
    const char* method;
    bool follow;
    int maxRedirects;
    std::uint32_t error;  // 0: opens
    int status;
    const char* effectivePath;
    const char* headerLine;
    std::int64_t bodyBytes;
};

class Transfer : public ::testing::TestWithParam<TransferCase> {
protected:
    static void SetUpTestSuite() { s_server = new test::HttpTestServer(); }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }
    static test::HttpTestServer* s_server;
};
test::HttpTestServer* Transfer::s_server = nullptr;

TEST_P(Transfer, StatusAddressHeadersAndBody) {
    const TransferCase& c = GetParam();
    ASSERT_TRUE(s_server->Running());
    HttpRequest request;
    request.url = s_server->Url(c.path);
    request.method = c.method;
    request.followRedirects = c.follow;
    request.maxRedirects = c.maxRedirects;
    HttpError error;
    HttpTransferPtr t = HttpOpen(request, error);
    if (c.error != 0) {
        ASSERT_FALSE(t);
        EXPECT_EQ(error.code, c.error);
        EXPECT_FALSE(error.message.empty());
        return;
    }
    ASSERT_TRUE(t) << error.code << " " << error.message;
    EXPECT_TRUE(HttpIsHttpScheme(*t));
    EXPECT_EQ(HttpStatusCode(*t), c.status);
    EXPECT_EQ(HttpEffectiveUrl(*t), s_server->Url(c.effectivePath));
    const std::string headers = HttpResponseHeaders(*t);
    EXPECT_EQ(headers.rfind("HTTP/1.", 0), 0u) << headers;
    EXPECT_NE(headers.find(std::string("\r\n") + c.headerLine + "\r\n"), std::string::npos) << headers;
    std::int64_t total = 0;
    char piece[5];
    for (std::int64_t got; (got = HttpRead(*t, piece, sizeof piece, error)) != 0; total += got) ASSERT_GT(got, 0);
    EXPECT_EQ(total, c.bodyBytes);
}

INSTANTIATE_TEST_SUITE_P(Routes, Transfer, ::testing::Values(
    TransferCase{"/301", "GET", true, 20, 0, 200, "/ok", "Content-Length: 36", 36},
    TransferCase{"/301", "GET", false, 20, 0, 301, "/301", "Location: /ok", 6},
    TransferCase{"/302", "GET", true, 1, 0, 404, "/status/404", "Content-Length: 11", 11},  // at the limit
    TransferCase{"/302", "GET", true, 0, kInetRedirectFailed, 0, "", "", 0},
    TransferCase{"/loop", "GET", true, 1, kInetRedirectFailed, 0, "", "", 0},
    TransferCase{"/ok", "HEAD", true, 20, 0, 200, "/ok", "Content-Length: 36", 0}));  // announced, not sent

TEST_F(Transfer, LoopbackIgnoresTheEnvironmentsProxy) {
    ASSERT_TRUE(s_server->Running());
    const test::ScopedEnv proxy("http_proxy", "http://127.0.0.1:1");
    const test::ScopedEnv upper("HTTP_PROXY", "http://127.0.0.1:1");
    HttpRequest request;
    request.url = s_server->Url("/ok");
    HttpError error;
    HttpTransferPtr t = HttpOpen(request, error);
    ASSERT_TRUE(t) << error.code << " " << error.message;
    EXPECT_EQ(HttpStatusCode(*t), 200);
}

}  // namespace
}  // namespace vutil::platform
