// CFileUtils::ReadFileContent, WriteFileContent and IsFileContentIdentical on both
// roads: fixed byte layouts, round trips and the logged failures.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "support/string_lists.h"
#include "support/test_support.h"
#include "vutil/core/app_logger.h"
#include "vutil/files/file_utils.h"

namespace vutil {
namespace {

using namespace test;



struct ContentCase {
    std::string bytes;
    int awareEncoding;
    std::vector<std::string> aware;
    std::vector<std::string> plain;
};

TEST(ReadFileContent, BothRoads) {
    const ContentCase cases[] = {
        {Bytes({0x41, 0x0D, 0x0A, 0x42}), 1, {"A", "B"}, {"A", "B"}},
        {Bytes({0xEF, 0xBB, 0xBF, 0x41, 0x0D, 0x0A, 0x42}), 4, {"A", "B"}, {"\xEF\xBB\xBF" "A", "B"}},
        {"", 0, {}, {}},
        {Bytes({0xFF, 0xFE, 0x41, 0x00, 0x0D, 0x00, 0x0A, 0x00}), 2, {"A"},
         {Bytes({0xFF, 0xFE, 0x41, 0x00, 0x0D, 0x00}), std::string(1, '\0')}},
        {Bytes({0xFE, 0xFF, 0x00, 0x41, 0x00, 0x0D, 0x00, 0x0A}), 3, {"A"}, {Bytes({0xFE, 0xFF, 0x00, 0x41, 0x00, 0x0D, 0x00})}},
        {Bytes({'a', 0x1A, '\n', '\n', 'b', 0x1A}), 1, {"a\x1A", "", "b\x1A"}, {"a\x1A", "", "b\x1A"}},
    };
    test::TempDir dir;
    const std::string path = dir.File("in.txt");
    for (const ContentCase& c : cases) {
        test::WriteFileBytes(path, c.bytes);
        TextArray lines = ArrayOf({"stale"});
        int encoding = -1;
        CFileUtils::ReadFileContent(CString(path), lines, true, &encoding);
        EXPECT_EQ(Items(lines), c.aware) << test::Hex(c.bytes);
        EXPECT_EQ(encoding, c.awareEncoding) << test::Hex(c.bytes);
        CFileUtils::ReadFileContent(CString(path), lines, false, &encoding);
        EXPECT_EQ(Items(lines), c.plain) << test::Hex(c.bytes);
        EXPECT_EQ(encoding, 1);
    }
}

struct WriteCase {
    std::vector<std::string> lines;
    int encoding;
    std::string bytes;
};

TEST(WriteFileContent, BytesOnDisk) {
    const WriteCase cases[] = {
        {{"x", ""}, 4, Bytes({0xEF, 0xBB, 0xBF, 0x78, 0x0D, 0x0A, 0x0D, 0x0A})},
        {{"x", ""}, 2, Bytes({0xFF, 0xFE, 0x78, 0x00, 0x0D, 0x00, 0x0A, 0x00, 0x0D, 0x00, 0x0A, 0x00})},
        {{"x", ""}, 3, Bytes({0xFE, 0xFF, 0x00, 0x78, 0x00, 0x0D, 0x00, 0x0A, 0x00, 0x0D, 0x00, 0x0A})},
        {{"x", ""}, 0, Bytes({0x78, 0x0D, 0x0A, 0x0D, 0x0A})},
        {{"x", ""}, 1, Bytes({0x78, 0x0D, 0x0A, 0x0D, 0x0A})},
        {{"\xE9"}, 4, Bytes({0xEF, 0xBB, 0xBF, 0xC3, 0xA9, 0x0D, 0x0A})},
        {{"a\nb"}, 1, Bytes({0x61, 0x0D, 0x0A, 0x62, 0x0D, 0x0A})},
        {{"a"}, 1 | 0x100, Bytes({0x61, 0x0A})},  // no expansion: a bare LF
        {{}, 4, ""},
    };
    test::TempDir dir;
    const CString path(dir.File("sub\\deeper\\out.txt"));
    for (const WriteCase& c : cases) {
        EXPECT_TRUE(CFileUtils::WriteFileContent(path, ArrayOf(c.lines), true, c.encoding));
        EXPECT_EQ(test::Hex(test::ReadFileBytes(dir.File("sub/deeper/out.txt"))), test::Hex(c.bytes)) << c.encoding;
    }
    // The plain road writes text mode: CR LF for every LF.
    EXPECT_TRUE(CFileUtils::WriteFileContent(path, ArrayOf({"x", "", "a\nb"}), false, 4));
    EXPECT_EQ(test::ReadFileBytes(dir.File("sub/deeper/out.txt")), "x\r\n\r\na\r\nb\r\n");
    EXPECT_TRUE(CFileUtils::WriteFileContent(path, ArrayOf({}), false, 0));
    EXPECT_EQ(test::ReadFileBytes(dir.File("sub/deeper/out.txt")), "");
    // Nothing is left beside the target.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "sub/deeper"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(WriteFileContent, RoundTripsAndIdentity) {
    std::string latin, all;
    for (int b = 1; b < 256; ++b) {
        if (b == '\n' || b == '\r') continue;
        all += static_cast<char>(b);
        if (b < 0x80 || b >= 0xA0) latin += static_cast<char>(b);
    }
    test::TempDir dir;
    const CString path(dir.File("round.txt"));
    // UTF-8 writes bytes as ISO 8859-1, so 0x80-0x9F come back as the default character.
    const std::pair<int, std::string> texts[] = {{0, all}, {1, all}, {2, all}, {3, all}, {4, latin}};
    for (const auto& [encoding, text] : texts) {
        TextArray lines = ArrayOf({text, "", "second line", std::string(70000, 'L')});
        ASSERT_TRUE(CFileUtils::WriteFileContent(path, lines, true, encoding));
        EXPECT_TRUE(CFileUtils::IsFileContentIdentical(path, lines, true)) << encoding;
        TextArray changed = lines;
        changed.Replace(2, "second Line");
        EXPECT_FALSE(CFileUtils::IsFileContentIdentical(path, changed, true)) << encoding;
        ASSERT_TRUE(CFileUtils::WriteFileContent(path, lines, false, encoding));
        EXPECT_TRUE(CFileUtils::IsFileContentIdentical(path, lines, false)) << encoding;
    }
    TextArray euro = ArrayOf({"\x80\x9F"});
    ASSERT_TRUE(CFileUtils::WriteFileContent(path, euro, true, 4));
    EXPECT_TRUE(CFileUtils::IsFileContentIdentical(path, ArrayOf({"??"}), true));
}

TEST(WriteFileContent, ReplacesReadOnlyFile) {
    test::TempDir dir;
    const std::string path = dir.File("ro.txt");
    test::WriteFileBytes(path, "old");
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    EXPECT_TRUE(CFileUtils::WriteFileContent(CString(path), ArrayOf({"new"}), true, 1));
    EXPECT_EQ(test::ReadFileBytes(path), "new\r\n");
#ifndef _WIN32  // Windows files have no group or other permissions to keep
    // A private file stays private when it is replaced.
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(CFileUtils::WriteFileContent(CString(path), ArrayOf({"newer"}), false, 1));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
#endif
}

#ifndef _WIN32  // a file size limit in a child process is a POSIX resource limit
// A disk that fills up halfway (a file size limit in a child process): the old file
// stays as it was and nothing is left beside it, on both roads.
TEST(WriteFileContent, FullDiskKeepsTheOldFile) {
    test::TempDir dir;
    const std::string path = dir.File("keep.txt");
    TextArray big;
    for (int i = 0; i < 2000; ++i) big.Add(CString(std::string(60, static_cast<char>('a' + i % 26))));
    for (bool aware : {true, false}) {
        test::WriteFileBytes(path, "old content\r\n");
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit limit{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
            _exit(CFileUtils::WriteFileContent(CString(path), big, aware, 2) ? 0 : 7);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 7) << aware;
        EXPECT_EQ(test::ReadFileBytes(path), "old content\r\n") << aware;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            EXPECT_NE(entry.path().extension(), ".tmp") << aware;
    }
}

#endif

TEST(FileContent, FailuresAreLogged) {
    test::TempDir dir;
    CAppLogger* log = CAppLogger::CreateForTesting();
    auto lastSite = [&] { return std::string(log->Lines().empty() ? "" : log->Lines().back().site.GetString()); };
    EXPECT_FALSE(CFileUtils::WriteFileContent("name.txt", ArrayOf({"a"}), true, 1));
    EXPECT_EQ(lastSite(), "{2BFEBD4A-DD70-4044-A094-68FA74FC3548}");
    EXPECT_FALSE(CFileUtils::WriteFileContent("  ", ArrayOf({"a"}), true, 1));
    EXPECT_EQ(lastSite(), "{F16007F7-7388-4AF0-BC97-575D88FA87F3}");
    EXPECT_FALSE(CFileUtils::WriteFileContent(CString(dir.File("x.txt")), ArrayOf({"a"}), true, 5));
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.txt")));
    // A directory path cannot be written or read as a file.
    EXPECT_FALSE(CFileUtils::WriteFileContent(CString(dir.File("d\\")), ArrayOf({"a"}), true, 1));
    EXPECT_EQ(lastSite(), "{ADB1FCA0-27AD-40AD-9931-EEF227660A95}");
    TextArray lines = ArrayOf({"stale"});
    int encoding = 0;
    CFileUtils::ReadFileContent(CString(dir.File("d\\")), lines, true, &encoding);
    EXPECT_EQ(lastSite(), "{86CDA486-681F-43D5-9211-EFACE318A623}");
    EXPECT_TRUE(lines.IsEmpty());
    EXPECT_EQ(encoding, 1);
    CFileUtils::ReadFileContent(CString(dir.File("missing.txt")), lines, true, &encoding);
    EXPECT_EQ(lastSite(), "{AB91D2F6-45CF-4D68-BFFF-829E56F7D3AD}");
    EXPECT_FALSE(CFileUtils::IsFileContentIdentical(CString(dir.File("missing.txt")), ArrayOf({""}), true));
    CAppLogger::DeleteInstance();
}

TEST(TextCli, ConvertAndInfo) {
    if (!test::HaveProgram("iconv")) GTEST_SKIP() << "iconv missing";
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in"), "caf\xE9 \x80\r\nline two\n");
    std::string out;
    ASSERT_EQ(test::RunCli("text convert " + dir.File("in") + " " + dir.File("out") + " --to utf16be"), 0);
    ASSERT_EQ(test::RunCommand("iconv -f UTF-16 -t WINDOWS-1252 " + dir.File("out"), &out), 0);
    EXPECT_EQ(out, "caf\xE9 \x80\r\nline two\r\n");
    ASSERT_EQ(test::RunCli("text info " + dir.File("out"), &out), 0);
    EXPECT_EQ(out, "encoding: UTF-16BE\nlines: 2\n");
    EXPECT_EQ(test::RunCli("text convert " + dir.File("in") + " " + dir.File("o2") + " --to latin9"), 2);
    EXPECT_EQ(test::RunCli("text info " + dir.File("nothing")), 1);
}

}  // namespace
}  // namespace vutil
