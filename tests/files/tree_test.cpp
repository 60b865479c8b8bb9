// File lists, directory lists, the analysis and directory changes on real trees.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/string_lists.h"
#include "support/test_support.h"
#include "vutil/dates/date_time.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/platform/dir_attrib.h"
#include "vutil/platform/path.h"

namespace vutil {
namespace {

namespace fs = std::filesystem;
using namespace test;

class Tree : public ::testing::Test {
protected:
    // The library's name for a host path inside the temporary directory.
    CString Lib(const std::string& rel = "") const {
        std::string p = platform::FromHostPath(tmp.path().string());
        if (p.back() != '\\') p += '\\';
        for (char c : rel) p += c == '/' ? '\\' : c;
        return CString(p);
    }
    void File(const std::string& rel, std::size_t size = 0) const {
        test::WriteText(tmp.path() / rel, std::string(size, 'x'));
    }
    void Dir(const std::string& rel) const { fs::create_directories(tmp.path() / rel); }
    bool Exists(const std::string& rel) const { return fs::exists(fs::symlink_status(tmp.path() / rel)); }
    // Sets the Samba attribute with Python, an independent writer; false where the file
    // system keeps no user attributes.
    bool SetDosAttrib(const std::string& rel, const std::string& hex) const {
        const std::string cmd = "python3 -c \"import os,sys; os.setxattr(sys.argv[1], 'user.DOSATTRIB', b'" + hex +
                                "\\\\0')\" '" + (tmp.path() / rel).string() + "'";
        return test::RunCommand(cmd) == 0;
    }
    Strings Relative(const TextArray& paths) const {
        TextArray copy = paths;
        CDirUtils::MakePathsRelative(Lib(), copy);
        return Items(copy);
    }

    test::TempDir tmp;
};


TEST_F(Tree, FileListWalkOrderExtensionsAndAttributes) {
    File("b.txt");
    File("A.TXT");
    File("a.txt.bak");
    File("sub/z.txt");
    File("sub/deeper/y.htm");
    File("c.htm");
    File(".hidden.txt");
    File(".cfg/inside.txt");  // a hidden folder is still walked
    TextArray files;
    CFileUtils::GetFileList(Lib(), ArrayOf({"*"}), true, files, false, false, true);
    EXPECT_EQ(Relative(files), (Strings{".cfg\\inside.txt", "A.TXT", "a.txt.bak", "b.txt", "c.htm", "sub\\deeper\\y.htm",
                                        "sub\\z.txt"}));
    files.DeleteAll();
    CFileUtils::GetFileList(Lib(), ArrayOf({"txt"}), false, files, true, false, true);
    EXPECT_EQ(Relative(files), (Strings{".hidden.txt", "A.TXT", "b.txt"}));
    files = ArrayOf({"kept"});
    CFileUtils::GetFileList(Lib(), ArrayOf({"htm", "bak"}), true, files, false, false, false);
    EXPECT_EQ(Relative(files), (Strings{"kept", "a.txt.bak", "c.htm", "sub\\deeper\\y.htm"}));

    EXPECT_TRUE(CFileUtils::HasFile(Lib(), ArrayOf({"htm"}), false, false, false, true));
    EXPECT_FALSE(CFileUtils::HasFile(Lib(), ArrayOf({"doc"}), true, true, true, true));
    EXPECT_TRUE(CFileUtils::HasFile(Lib("sub/"), ArrayOf({"HTM"}), true, false, false, true));
    EXPECT_FALSE(CFileUtils::HasFile("", ArrayOf({}), true, true, true, false));

    TextArray exts = ArrayOf({"zip"});
    CFileUtils::GetFileExtensions(Lib(), exts, true, true, false, true);
    EXPECT_EQ(Items(exts), (Strings{"bak", "htm", "txt", "zip"}));

    if (SetDosAttrib("b.txt", "0x4") && SetDosAttrib("c.htm", "0x22")) {
        files.DeleteAll();
        CFileUtils::GetFileList(Lib(), ArrayOf({}), false, files, false, false, true);
        EXPECT_EQ(Relative(files), (Strings{"A.TXT", "a.txt.bak"}));
        files.DeleteAll();
        CFileUtils::GetFileList(Lib(), ArrayOf({}), false, files, false, true, true);
        EXPECT_EQ(Relative(files), (Strings{"A.TXT", "a.txt.bak", "b.txt"}));
        // The extension is judged before the attributes; either one leaves a file out.
        files.DeleteAll();
        CFileUtils::GetFileList(Lib(), ArrayOf({"htm", "txt"}), false, files, false, false, true);
        EXPECT_EQ(Relative(files), (Strings{"A.TXT"}));
        EXPECT_FALSE(CFileUtils::HasFile(Lib(), ArrayOf({"htm"}), false, false, true, true));
        EXPECT_TRUE(CFileUtils::HasFile(Lib(), ArrayOf({"htm"}), false, true, false, true));
    }
}

TEST_F(Tree, WalksEndOnLinkLoopsAndOddNames) {
#ifdef _WIN32
    GTEST_SKIP() << "std::filesystem of mingw-w64 makes no symbolic links";
#endif
    File("a/x.txt");
    File("caf\xC3\xA9/\xFF\x80.txt");  // bytes above 0x7F pass through unchanged
    fs::create_directory_symlink("..", tmp.path() / "a" / "up");
    fs::create_directory_symlink(tmp.path() / "a", tmp.path() / "a" / "self");
    TextArray files;
    CFileUtils::GetFileList(Lib(), ArrayOf({}), true, files, true, true, true);
    EXPECT_EQ(Relative(files), (Strings{"a\\x.txt", "caf\xC3\xA9\\\xFF\x80.txt"}));
    TextArray dirs;
    CDirUtils::GetDirectoryList(Lib(), dirs, CDirUtils::GDL_RECURSIVE);
    EXPECT_EQ(Relative(dirs), (Strings{"a\\", "a\\self\\", "a\\up\\", "caf\xC3\xA9\\"}));
    // A name longer than the host allows is simply not there.
    const CString longName = Lib() + CString('n', 300) + ".txt";
    EXPECT_TRUE(CFileUtils::IsFile(longName, false, true));
    EXPECT_FALSE(CFileUtils::IsFile(longName, false, false));
    EXPECT_EQ(CFileUtils::GetUniqueFileName(Lib(), CString('n', 300) + ".txt"), longName);
    files.DeleteAll();
    CFileUtils::GetFileList(Lib() + CString('n', 300) + "\\", ArrayOf({}), true, files, true, true, false);
    EXPECT_TRUE(files.IsEmpty());
    // A drive the table does not map gives nothing, and nothing breaks.
    files.DeleteAll();
    CFileUtils::GetFileList("Q:\\nowhere\\", ArrayOf({}), true, files, true, true, false);
    EXPECT_TRUE(files.IsEmpty());
    EXPECT_FALSE(CDirUtils::IsDir("Q:\\nowhere\\", false));
    EXPECT_FALSE(CFileUtils::IsFile("Q:\\nowhere\\a.txt", false, false));
}

TEST_F(Tree, DirectoryListFlagsAndTests) {
    Dir("one/two");
    Dir(".dot/inner");
    Dir("sys");
    File("file.txt");
    TextArray dirs;
    CDirUtils::GetDirectoryList(Lib(), dirs, CDirUtils::GDL_CHECKVALID);
    EXPECT_EQ(Relative(dirs), (Strings{"one\\", "sys\\"}));
    dirs.DeleteAll();
    CDirUtils::GetDirectoryList(Lib(), dirs, CDirUtils::GDL_RECURSIVE | CDirUtils::GDL_HIDDEN);
    EXPECT_EQ(Relative(dirs), (Strings{".dot\\", ".dot\\inner\\", "one\\", "one\\two\\", "sys\\"}));
    dirs.DeleteAll();
    CDirUtils::GetDirectoryList(Lib("missing/"), dirs, CDirUtils::GDL_CHECKVALID);
    EXPECT_TRUE(dirs.IsEmpty());

    EXPECT_TRUE(CDirUtils::IsDir(Lib("one"), false));
    EXPECT_FALSE(CDirUtils::IsDir(Lib("file.txt"), false));
    EXPECT_FALSE(CDirUtils::IsDir(Lib("missing"), false));
    EXPECT_TRUE(CFileUtils::IsFile(Lib("file.txt"), false, false));
    EXPECT_FALSE(CFileUtils::IsFile(Lib("missing.txt"), false, false));
    EXPECT_TRUE(CDirUtils::IsDirHidden(Lib(".dot")));
    EXPECT_TRUE(CDirUtils::IsDirEmpty(Lib("one/two/")));
    EXPECT_FALSE(CDirUtils::IsDirEmpty(Lib("one/")));
    EXPECT_TRUE(CDirUtils::HasSubdirectory(Lib(), false, false));
    EXPECT_FALSE(CDirUtils::HasSubdirectory(Lib(".dot/inner/"), true, true));
    EXPECT_FALSE(CDirUtils::HasSubdirectory(Lib("one"), true, true));  // no final backslash
    EXPECT_FALSE(CDirUtils::IsDirShared(Lib("one")));
    if (SetDosAttrib("sys", "0x4")) {
        EXPECT_TRUE(CDirUtils::IsDirSystem(Lib("sys")));
        dirs.DeleteAll();
        CDirUtils::GetDirectoryList(Lib(), dirs, 0);
        EXPECT_EQ(Relative(dirs), (Strings{"one\\"}));
        EXPECT_TRUE(CDirUtils::HasSubdirectory(Lib(), false, false));
    }
    fs::permissions(tmp.path() / "one", fs::perms::owner_write, fs::perm_options::remove);
#ifdef _WIN32
    if ((fs::status(tmp.path() / "one").permissions() & fs::perms::owner_write) != fs::perms::none)
        GTEST_SKIP() << "the system kept no read-only bit on the folder (Wine ignores it on folders)";
#endif
    EXPECT_FALSE(CDirUtils::IsDirWritable(Lib("one")));
    EXPECT_TRUE(CDirUtils::EnsureDirIsWritable(Lib("one")));
    EXPECT_TRUE(CDirUtils::IsDirWritable(Lib("one")));
    EXPECT_FALSE(CDirUtils::EnsureDirIsWritable(Lib("missing")));
}

TEST_F(Tree, AnalysisFigures) {
    File("small.txt", 3);
    File("big.bin", 5000);
    File("sub/mid.txt", 40);
    // Times written by touch, read back in local time.
    ASSERT_EQ(test::RunCommand("touch -d '2019-03-04 05:06:07' '" + tmp.File("small.txt") + "'"), 0);
    ASSERT_EQ(test::RunCommand("touch -d '2021-11-12 13:14:15' '" + tmp.File("big.bin") + "'"), 0);
    ASSERT_EQ(test::RunCommand("touch -d '2020-01-01 00:00:00' '" + tmp.File("sub/mid.txt") + "'"), 0);
    DateTime oldest, newest;
    std::uint64_t smallest = 1, largest = 1, total = 1;
    CStringArray none;
    ASSERT_TRUE(CDirUtils::DoDirAnalysis(Lib(), none, true, &oldest, &newest, &smallest, &largest, &total));
    EXPECT_EQ(oldest, DateTime(2019, 3, 4, 5, 6, 7));
    EXPECT_EQ(newest, DateTime(2021, 11, 12, 13, 14, 15));
    EXPECT_EQ(smallest, 3u);
    EXPECT_EQ(largest, 5000u);
    EXPECT_EQ(total, 5043u);

    CStringArray txt;
    txt.Add("txt");
    ASSERT_TRUE(CDirUtils::DoDirAnalysis(Lib(), txt, false, &oldest, nullptr, nullptr, &largest, &total));
    EXPECT_EQ(oldest, DateTime(2019, 3, 4, 5, 6, 7));
    EXPECT_EQ(total, 3u);
    ASSERT_TRUE(CDirUtils::DoDirAnalysis(Lib(), txt, true, nullptr, &newest, nullptr, nullptr, &total));
    EXPECT_EQ(newest, DateTime(2020, 1, 1, 0, 0, 0));
    EXPECT_EQ(total, 43u);
    CStringArray doc;
    doc.Add("doc");
    EXPECT_FALSE(CDirUtils::DoDirAnalysis(Lib(), doc, false, nullptr, nullptr, nullptr, nullptr, &total));
    EXPECT_FALSE(CDirUtils::DoDirAnalysis(Lib(), none, true, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(CDirUtils::DoDirAnalysis(Lib("missing\\"), none, true, &oldest, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(Tree, CreateRenameAndUniqueNames) {
    EXPECT_TRUE(CDirUtils::CreateDirectoryA(Lib("a\\b\\c")));
    EXPECT_TRUE(fs::is_directory(tmp.path() / "a" / "b" / "c"));
    EXPECT_TRUE(CDirUtils::CreateDirectoryA("plain/name"));  // no backslash: nothing is created
    EXPECT_FALSE(fs::exists("plain"));
    EXPECT_FALSE(CDirUtils::CreateDirectoryA(Lib("a\\file.txt")));
    EXPECT_FALSE(CDirUtils::CreateDirectoryA("Q:\\unmapped\\dir"));

    CString errors;
    EXPECT_TRUE(CDirUtils::RenameDirectory(Lib("a\\b"), Lib("x\\y\\renamed"), errors));
    EXPECT_TRUE(fs::is_directory(tmp.path() / "x" / "y" / "renamed" / "c"));
    EXPECT_EQ(errors, "");
    EXPECT_FALSE(CDirUtils::RenameDirectory(Lib("gone"), Lib("new"), errors));
    EXPECT_FALSE(CDirUtils::RenameDirectory(Lib("a"), Lib("x"), errors));
    EXPECT_FALSE(CDirUtils::RenameDirectory(Lib("a.txt"), Lib("z"), errors));
    EXPECT_EQ(errors, "Source directory does not exist. Target directory already exists. Not a valid source directory.");

    File("report.pdf");
    File("report_copy.pdf");
    EXPECT_EQ(CFileUtils::GetUniqueFileName(Lib(), "report.pdf"), Lib("report_copy1.pdf"));
    EXPECT_EQ(CFileUtils::GetUniqueFileName(Lib(), "fresh.pdf"), Lib("fresh.pdf"));
    File("name");
    EXPECT_EQ(CFileUtils::GetUniqueFileName(Lib(), "name"), Lib("name_copy."));

    unsigned int unique = 99;
    const CString temp = CFileUtils::GetTempFile(Lib(), "vutil", unique);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", unique);  // the name holds the number handed back
    EXPECT_EQ(temp, Lib("vut") + CString(hex) + ".tmp");
    EXPECT_EQ(fs::file_size(platform::ToHostPath(temp.view()).value()), 0u);
    EXPECT_EQ(CFileUtils::GetTempFile(Lib("missing\\"), "x", unique), "");
    EXPECT_EQ(unique, 0u);

    File("Docs/Report.TXT");
    EXPECT_EQ(CFileUtils::GetCaseSensitiveFilePath(Lib("docs\\report.txt"), 16), Lib("Docs\\Report.TXT"));
    EXPECT_EQ(CFileUtils::GetCaseSensitiveFilePath(Lib("docs\\none.txt"), 14), Lib("docs\\none.txt"));
}

TEST_F(Tree, ClearDirectoryStaysInsideTheTree) {
#ifdef _WIN32
    GTEST_SKIP() << "std::filesystem of mingw-w64 makes no symbolic links";
#endif
    File("top.txt");
    File("sub/inner.txt");
    File(".hidden");
    File("outside/keep.txt");
    fs::permissions(tmp.path() / "top.txt", fs::perms::owner_write, fs::perm_options::remove);
    Dir("tree/deep/er");
    File("tree/a.txt");
    File("tree/deep/b.txt");
    fs::create_directory_symlink(tmp.path() / "outside", tmp.path() / "tree" / "link");
    fs::create_symlink(tmp.path() / "outside" / "keep.txt", tmp.path() / "tree" / "filelink");

    CString errors;
    // Without removeDir only the top-level files go.
    ASSERT_TRUE(CDirUtils::ClearDirectory(Lib(), errors, false, false, true));
    EXPECT_FALSE(Exists("top.txt"));
    EXPECT_FALSE(Exists(".hidden"));
    EXPECT_TRUE(Exists("sub/inner.txt"));

    ASSERT_TRUE(CDirUtils::ClearDirectory(Lib("tree"), errors, true, false, true)) << errors.str();
    EXPECT_FALSE(Exists("tree"));
    EXPECT_TRUE(Exists("outside/keep.txt"));
    EXPECT_EQ(errors, "");

    CString longDir = Lib() + CString('d', 258);
    EXPECT_FALSE(CDirUtils::ClearDirectory(longDir, errors, true, false, false));
    EXPECT_EQ(errors, "Directory path is too long.");
    EXPECT_FALSE(CDirUtils::ClearDirectory(Lib("missing"), errors, true, false, true));
}

TEST(DosAttrib, ParsesTheLeadingHexText) {
    const std::pair<std::string, DWORD> cases[] = {
        {std::string("0x20\0", 5), 0x20}, {"0x6", 0x6}, {"0X22", 0x22}, {std::string("0x2\0\3\0\0\0", 8), 0x2},
        {"", 0},  {"20", 0},  {"0x", 0}, {"0xzz", 0}, {"0x123456789", 0x12345678}};
    for (const auto& [blob, bits] : cases) EXPECT_EQ(platform::ParseDosAttrib(blob), bits) << blob;
}

}  // namespace
}  // namespace vutil
