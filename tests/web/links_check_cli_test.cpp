// vutil links check over a small site on disk, with remote links answered by the
// local test server: every code the checker gives, its output formats and exit status.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>

#include "support/http_test_server.h"
#include "support/test_support.h"

namespace vutil {
namespace {

struct Result {
    int status;
    std::string out;
};

Result Links(const std::string& args) {
    Result r;
    r.status = test::RunCli("links " + args, &r.out);
    return r;
}

// "page|line|link" -> code, from the CSV output (no field of this site needs quoting).
std::map<std::string, int> Codes(const std::string& csv) {
    std::map<std::string, int> codes;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "page,line,link,code,title");
    while (std::getline(in, line)) {
        std::string f[5];
        std::istringstream fields(line);
        for (auto& x : f) std::getline(fields, x, ',');
        codes[f[0] + "|" + f[1] + "|" + f[2]] = std::stoi(f[3]);
    }
    return codes;
}

// Hard-wired links to b.html: a file URL and a drive path, as a page author on this
// system would write them (on Windows the host path already names its drive).
std::string HardwiredDrive(std::string hostPath) {
#ifdef _WIN32
    std::replace(hostPath.begin(), hostPath.end(), '\\', '/');
    return hostPath;
#else
    return "C:" + hostPath;
#endif
}
std::string HardwiredUrl(const std::string& hostPath) {
#ifdef _WIN32
    return "file:///" + HardwiredDrive(hostPath);
#else
    return "file://" + hostPath;
#endif
}

// On Windows the file system finds B.html as b.html, so that link is good there.
#ifdef _WIN32
constexpr int kCaseMismatch = 200;
#else
constexpr int kCaseMismatch = 10010;
#endif

class LinksCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.Running());
        const std::string remote = m_server.Url("");
        const std::string hardwired = m_dir.File("site/b.html");
        Write("site/a.html",
              "<html><body><a name=\"top\">Top</a>\n"
              "<a href=\"b.html\">b</a> <a href=\"B.html\">case</a>\n"
              "<a href=\"missing.html\">gone</a>\n"
              "<a href=\"a.html\">self</a> <a href=\"#top\">up</a>\n"
              "<a href=\"b.html#sec\">sec</a> <a href=\"b.html#Sec\">Sec</a>\n"
              "<a href=\"b.html#nope\">nope</a> <a href=\"b.html#dup\">dup</a> <a href=\"b.html#twice\">2</a>\n"
              "<a href=\"empty.html#x\">empty</a> <a href=\"notes#1.txt\">hash</a>\n"
              "<a href=\"" + HardwiredUrl(hardwired) + "\">file</a> <a href=\"" + HardwiredDrive(hardwired) + "\">drive</a>\n"
              "<!-- <a href=\"commented.html\">not a link</a> -->\n"
              "<a href=\"sub/\">folder</a> <a href=\"/b.html\">root</a>\n"
              "<a href=\"" + remote + "/ok\">ok</a> <a href=\"" + remote + "/301\">moved</a>\n"
              "<a href=\"" + remote + "/302\">moved to 404</a> <a href=\"" + remote + "/status/500\">500</a>\n"
              "<a href=\"" + remote + "/site/b.html#twice\">remote twice</a>\n"
              "</body></html>\n");
        Write("site/b.html",
              "<a name=\"sec\">one</a>\n<a name='dup'>1</a> <a id=\"dup\">2</a>\n<a href=\"a.html\">back</a>\n"
              "<a name=\"twice\">1</a>\n<a name=\"twice\">2</a>\n");
        Write("site/empty.html", "");
        Write("site/notes#1.txt", "notes\n");
        Write("site/sub/index.html", "<p>index</p>\n");
        Write("site/sub/c.html", "<a href=\"../a.html#top\">a</a>\n");
    }
    void Write(const std::string& name, const std::string& text) { test::WriteText(m_dir.File(name), text); }
    std::string Site() const { return m_dir.File("site"); }

    test::TempDir m_dir;
    test::HttpTestServer m_server{m_dir.File("site")};
};

TEST_F(LinksCheck, EveryCodeOfALocalAndRemoteSite) {
    Result r = Links("check " + Site() + " --recursive --external --jobs 3 --format csv");
    EXPECT_EQ(r.status, 1) << r.out;
    const std::string remote = m_server.Url("");
    const std::string hardwired = m_dir.File("site/b.html");
    const std::map<std::string, int> expected = {
        {"a.html|2|b.html", 200},
        {"a.html|2|B.html", kCaseMismatch},
        {"a.html|3|missing.html", 10009},
        {"a.html|4|a.html", 10013},
        {"a.html|4|#top", 200},
        {"a.html|5|b.html#sec", 200},
        {"a.html|5|b.html#Sec", 10018},
        {"a.html|6|b.html#nope", 10017},
        {"a.html|6|b.html#dup", 10019},
        {"a.html|7|empty.html#x", 10016},
        {"a.html|7|notes#1.txt", 10012},
        {"a.html|8|" + HardwiredUrl(hardwired), 10015},
        {"a.html|8|" + HardwiredDrive(hardwired), 10011},
        {"a.html|10|sub/", 200},
        {"a.html|10|/b.html", 200},
        {"a.html|11|" + remote + "/ok", 200},
        {"a.html|11|" + remote + "/301", 200},
        {"a.html|12|" + remote + "/302", 404},
        {"a.html|12|" + remote + "/status/500", 500},
        {"a.html|6|b.html#twice", 10019},
        {"a.html|13|" + remote + "/site/b.html#twice", 200},  // a fetched body's lines are checked one by one
        {"b.html|3|a.html", 200},
        {"sub/c.html|1|../a.html#top", 200},
    };
    EXPECT_EQ(Codes(r.out), expected);
}

TEST_F(LinksCheck, RemoteLinksWaitForExternal) {
    Result r = Links("check " + m_dir.File("site/a.html") + " --format csv");
    std::map<std::string, int> codes = Codes(r.out);
    EXPECT_EQ(codes.at("a.html|11|" + m_server.Url("") + "/ok"), 0);
    EXPECT_EQ(codes.count("b.html|3|a.html"), 0u);  // one page only
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Links("check " + m_dir.File("site/b.html")).status, 0);  // its own repeated anchors are no broken link
    EXPECT_EQ(Links("check " + m_dir.File("site/sub")).status, 0);
}

TEST_F(LinksCheck, TextJsonAndExplanations) {
    Result text = Links("check " + m_dir.File("site/a.html") + " --explain");
    EXPECT_NE(text.out.find("a.html:3: 10009 File does not exist  missing.html\n"
                            "    The file, as specified by this link, does not exist on your computer.\n    \n"),
              std::string::npos)
        << text.out;
    const bool caseSeen = kCaseMismatch != 200;
    const std::string summary = caseSeen ? "\n1 pages, 21 links: 5 good, 11 broken, 5 not checked\n"
                                         : "\n1 pages, 21 links: 6 good, 10 broken, 5 not checked\n";
    EXPECT_NE(text.out.find(summary), std::string::npos) << text.out;
    // The JSON output is read back by Python's parser and agrees with the summary.
    test::WriteFileBytes(m_dir.File("out.json"), Links("check " + Site() + " -r --format json --explain").out);
    std::string out;
    EXPECT_EQ(test::RunCommand("python3 -c \"import json,sys; d=json.load(open(sys.argv[1])); "
                               "print(d['summary']['broken'], sum(l['broken'] for l in d['links']), "
                               "d['links'][2]['code'], d['links'][2]['title'], len(d['links'][2]['explanation']) > 100)\" " +
                               m_dir.File("out.json"),
                               &out),
              0);
    EXPECT_EQ(out, caseSeen ? "11 11 10009 File does not exist True\n" : "10 10 10009 File does not exist True\n");
}

TEST(LinksCheckUsage, BadUsageExitsTwo) {
    for (const char* args : {"", "check", "verify x", "check x --jobs 0", "check x --jobs many", "check x --format xml",
                             "check x --bogus", "check x y", "check x --map nothing"})
        EXPECT_EQ(Links(args).status, 2) << args;
    EXPECT_EQ(Links("check /no/such/folder").status, 1);
}

}  // namespace
}  // namespace vutil
