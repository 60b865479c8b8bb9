// The Internet session against the local test server: statuses through redirects,
// the Windows Internet error numbers, time-outs, streamed bodies, form posts.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <memory>
#include <string>
#include <vector>

#include "support/http_test_server.h"
#include "support/test_support.h"
#include "vutil/framework/internet_session.h"
#include "vutil/system/registry_utils.h"
#include "vutil/web/internet_utils.h"
#include "support/registry_sandbox.h"

namespace vutil {
namespace {

class SessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_server = new test::HttpTestServer(); }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_server->Running()) << "python3 test server did not start"; }

    static std::string Url(const std::string& path) { return s_server->Url(path); }

    // The error number OpenURL throws, or 0 when it opens.
    static DWORD OpenError(CInternetSession& session, const std::string& url, DWORD flags = INTERNET_FLAG_RELOAD) {
        try {
            std::unique_ptr<CStdioFile> file(session.OpenURL(url.c_str(), 1, flags));
            return 0;
        } catch (const CInternetException& e) {
            EXPECT_FALSE(e.GetErrorMessage().IsEmpty());
            return e.m_dwError;
        }
    }

    static test::HttpTestServer* s_server;
};
test::HttpTestServer* SessionTest::s_server = nullptr;

struct StatusCase {
    const char* path;
    DWORD flags;
    DWORD status;
};

class StatusTest : public SessionTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusTest, FinalStatusAfterRedirects) {
    const StatusCase& c = GetParam();
    CInternetSession session("vutil-test");
    std::unique_ptr<CStdioFile> file(session.OpenURL(Url(c.path).c_str(), 1, c.flags));
    ASSERT_NE(file, nullptr);
    DWORD status = 0;
    ASSERT_TRUE(static_cast<CHttpFile*>(file.get())->QueryInfoStatusCode(status));
    EXPECT_EQ(status, c.status) << c.path;
}

INSTANTIATE_TEST_SUITE_P(Routes, StatusTest, ::testing::Values(
    StatusCase{"/ok", INTERNET_FLAG_TRANSFER_ASCII, 200},
    StatusCase{"/301", 0x84000001u, 200},
    StatusCase{"/302", 0x84000001u, 404},
    StatusCase{"/status/404", 0, 404},
    StatusCase{"/redirect/307?to=/status/410", 0, 410},
    StatusCase{"/301", INTERNET_FLAG_NO_AUTO_REDIRECT, 301}));

TEST_F(SessionTest, ErrorNumbers) {
    CInternetSession session("vutil-test");
    session.SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, 700);
    session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, 700);
    EXPECT_EQ(OpenError(session, Url("/loop")), 12156u);
    EXPECT_EQ(OpenError(session, Url("/hang")), 12002u);
#ifdef _WIN32
    // WinINet calls it a reset or an abort depending on when the reset lands.
    EXPECT_THAT(OpenError(session, Url("/reset")), ::testing::AnyOf(12030u, 12031u));
#else
    EXPECT_EQ(OpenError(session, Url("/reset")), 12031u);
#endif
    EXPECT_EQ(OpenError(session, "mailto:someone@example.com"), 12006u);
    EXPECT_EQ(OpenError(session, "http://"), 12005u);
    EXPECT_EQ(OpenError(session, "www.example.com/page.htm"), 12006u);
    int closedPort = 0;
    {
        test::HttpTestServer gone;
        closedPort = gone.Port();
    }
    EXPECT_EQ(OpenError(session, "http://127.0.0.1:" + std::to_string(closedPort) + "/ok"), 12029u);
}

// TLS failures: a certificate nobody vouches for, and TLS spoken to a plain server.
TEST_F(SessionTest, SecureChannelErrors) {
    if (!test::HaveProgram("openssl")) GTEST_SKIP() << "openssl not installed";
    test::TempDir dir;
    const std::string pem = dir.File("server.pem");
    ASSERT_EQ(test::RunCommand("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -keyout '" + pem +
                               "' -out '" + pem + ".crt' 2>/dev/null && cat '" + pem + ".crt' >> '" + pem + "'"),
              0);
    test::HttpTestServer tls({}, pem);
    ASSERT_TRUE(tls.Running());
    CInternetSession session;
    EXPECT_EQ(OpenError(session, tls.Url("/ok")), 12045u);
    std::string plain = Url("/ok");
    plain.insert(4, "s");
    EXPECT_EQ(OpenError(session, plain), 12157u);
}

// Through a named proxy the host name is never looked up here: the test server answers
// the absolute request itself.
TEST_F(SessionTest, NamedProxyCarriesTheRequest) {
    const std::string proxy = "127.0.0.1:" + std::to_string(s_server->Port());
    CInternetSession session("vutil-test", 1, INTERNET_OPEN_TYPE_PROXY, proxy.c_str());
    std::unique_ptr<CStdioFile> file(session.OpenURL("http://proxied.invalid/302"));
    DWORD status = 0;
    ASSERT_TRUE(static_cast<CHttpFile*>(file.get())->QueryInfoStatusCode(status));
    EXPECT_EQ(status, 404u);
}

TEST_F(SessionTest, BodyTimeOutWhileReading) {
    CInternetSession session;
    session.SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, 700);
    std::unique_ptr<CStdioFile> file(session.OpenURL(Url("/slowbody?seconds=30").c_str()));
    CString line;
    try {
        file->ReadString(line);
        ADD_FAILURE() << "no time-out";
    } catch (const CInternetException& e) {
        EXPECT_EQ(e.m_dwError, 12002u);
    }
}

TEST_F(SessionTest, ReadStringGivesThePageLines) {
    CInternetSession session;
    std::unique_ptr<CStdioFile> file(session.OpenURL(Url("/anchors").c_str()));
    static_cast<CInternetFile*>(file.get())->SetReadBufferSize(7);  // lines span many blocks
    std::vector<std::string> lines;
    CString line;
    while (file->ReadString(line)) lines.emplace_back(line.GetString());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], "<a name=\"Top\">top</a>");
    EXPECT_EQ(lines[5], "</body></html>");
    EXPECT_FALSE(file->ReadString(line));
    EXPECT_TRUE(line.IsEmpty());
}

// AddressSanitizer keeps freed blocks in quarantine (256 MB by default), which shows
// in the resident size; the body itself is 2 GB either way.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kStreamSlackKb = 512 * 1024;
#else
constexpr long kStreamSlackKb = 64 * 1024;
#endif

#ifdef _WIN32
long MaxResidentKb();  // the peak working set; defined at the end, after the system headers
#else
long MaxResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
#endif

// 2 GiB arrives in pieces; the process never holds more than a small window of it.
TEST_F(SessionTest, TwoGigabyteBodyIsStreamed) {
    CInternetSession session;
    std::unique_ptr<CStdioFile> file(session.OpenURL(Url("/big").c_str()));
    const long before = MaxResidentKb();
    CString line;
    ASSERT_TRUE(file->ReadString(line));
    EXPECT_EQ(line.GetLength(), 63);
    std::uint64_t total = 64;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const UINT got = file->Read(buffer.data(), static_cast<UINT>(buffer.size()));
        if (got == 0) break;
        total += got;
    }
    EXPECT_EQ(total, std::uint64_t{2} << 30);
    EXPECT_LT(MaxResidentKb() - before, kStreamSlackKb);
}

TEST_F(SessionTest, ClosingMidBodyStopsTheTransfer) {
    CInternetSession session;
#ifdef _WIN32
    // Wine's WinINet reads the rest of the body before it lets the connection go.
    const char* path = "/big?bytes=67108864";
#else
    const char* path = "/big";
#endif
    std::unique_ptr<CStdioFile> file(session.OpenURL(Url(path).c_str()));
    CString line;
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(file->ReadString(line));
    file->Close();
    EXPECT_FALSE(file->ReadString(line));
}

TEST_F(SessionTest, FormPostThroughAConnection) {
    CInternetSession session;
    const std::string server = "127.0.0.1:" + std::to_string(s_server->Port());
    std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection(server.c_str()));
    std::unique_ptr<CHttpFile> request(connection->OpenRequest(HTTP_VERB_POST, "echo"));
    ASSERT_NE(request, nullptr);
    DWORD status = 0;
    EXPECT_FALSE(request->QueryInfoStatusCode(status));  // nothing sent yet
    const CString header = "Content-Type: application/x-www-form-urlencoded";
    const std::string body = "name=J%C3%B6rg&x=1";
    ASSERT_TRUE(request->SendRequest(header, body.data(), static_cast<DWORD>(body.size())));
    ASSERT_TRUE(request->QueryInfoStatusCode(status));
    EXPECT_EQ(status, 200u);
    CString raw;
    ASSERT_TRUE(request->QueryRawHeaders(raw));
    EXPECT_GE(raw.Find("X-Content-Type: application/x-www-form-urlencoded"), 0);
    CString echoed;
    ASSERT_TRUE(request->ReadString(echoed));
    EXPECT_EQ(echoed.str(), body);
}

TEST_F(SessionTest, UserAgentFromTheSettingsStore) {
    test::TempDir dir;               // private registry file (POSIX)
    test::RegistrySandbox registry;  // an empty user hive (Windows)
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    for (const char* agent : {"", "Agent/1.0 (test)"}) {
        if (*agent) {
            ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, key, "User Agent", agent));
        }
        const CString expected = *agent ? CString(agent) : CString("Mozilla/4.0 (compatible; MSIE 6.1; Windows 32");
        EXPECT_EQ(CInternetUtils::GetUserAgent(), expected);
        std::unique_ptr<CInternetSession> session(CInternetUtils::CreateInternetSession());
        ASSERT_NE(session, nullptr);
        std::unique_ptr<CStdioFile> file(session->OpenURL(Url("/headers").c_str()));
        CString line;
        bool seen = false;
        while (file->ReadString(line)) seen = seen || line == "User-Agent: " + expected;
        EXPECT_TRUE(seen) << expected.GetString();
    }
}

TEST(InternetException, MessageIsCutToTheBuffer) {
    const CInternetException e(12002, "The request timed out");
    char buffer[8];
    ASSERT_TRUE(e.GetErrorMessage(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "The req");
    EXPECT_FALSE(e.GetErrorMessage(buffer, 0));
}

TEST(InternetConnection, FlagsFollowTheResult) {
    bool modem = true, lan = true, proxy = true;
    const bool connected = CInternetUtils::HaveInternetConnection(modem, lan, proxy);
    EXPECT_FALSE(modem);
    if (connected) {
        EXPECT_TRUE(lan);
    } else {
        EXPECT_FALSE(lan || proxy);
    }
}

}  // namespace
}  // namespace vutil

#ifdef _WIN32
// Last, so the system's root-key macros do not shadow the library's names above.
#include <windows.h>
#include <psapi.h>

namespace vutil {
namespace {
long MaxResidentKb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
}
}  // namespace
}  // namespace vutil
#endif
