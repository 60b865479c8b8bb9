// vutil url check / fetch, run as a program.

#include <gtest/gtest.h>

#include <string>

#include "support/http_test_server.h"
#include "support/test_support.h"

namespace {

std::string Cli(const std::string& args, int* status) {
    std::string out;
    *status = vutil::test::RunCommand(std::string(VUTIL_CLI_PATH) + " url " + args + " 2>&1", &out);
    return out;
}

TEST(CliUrl, BadUsageExitsTwo) {
    for (const char* args : {"", "check", "fetch", "fetch --lines x http://127.0.0.1/", "frobnicate", "check --odd a.com"}) {
        int rc = -1;
        const std::string out = Cli(args, &rc);
        EXPECT_EQ(rc, 2) << args;
        EXPECT_NE(out.find("vutil url: "), std::string::npos) << args;
    }
}

TEST(CliUrl, FetchPrintsStatusAndFirstLines) {
    vutil::test::HttpTestServer server;
    ASSERT_TRUE(server.Running());
    int rc = -1;
    EXPECT_EQ(Cli("fetch --lines 2 " + server.Url("/anchors"), &rc),
              "status 200\n<html><head><title>Anchors</title></head><body>\n<a name=\"Top\">top</a>\n");
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(Cli("fetch --lines 0 " + server.Url("/302"), &rc), "status 404\n");
    const std::string timedOut = Cli("fetch --timeout 300 " + server.Url("/hang"), &rc);
#ifdef _WIN32
    // The sentence is the system's own.
    EXPECT_EQ(timedOut.rfind("vutil url: ", 0), 0u) << timedOut;
    EXPECT_TRUE(timedOut.ends_with(" (Internet error 12002)\n")) << timedOut;
    EXPECT_GT(timedOut.size(), std::string("vutil url:  (Internet error 12002)\n").size() + 8) << timedOut;
#else
    EXPECT_EQ(timedOut, "vutil url: The request timed out (Internet error 12002)\n");
#endif
    EXPECT_EQ(rc, 1);
}

}  // namespace
