// File and directory paths judged and taken apart by their text alone.

#include <gtest/gtest.h>

#include "support/string_lists.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"

namespace vutil {
namespace {

using namespace test;


struct SyntaxCase {
    const char* path;
    bool acceptNoExtension;
    bool isFile;
};

class IsFileBySyntax : public ::testing::TestWithParam<SyntaxCase> {};

TEST_P(IsFileBySyntax, FollowsTheRulesInOrder) {
    const SyntaxCase& c = GetParam();
    EXPECT_EQ(CFileUtils::IsFile(c.path, c.acceptNoExtension, true), c.isFile) << c.path;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IsFileBySyntax,
    ::testing::Values(
        // blank and short
        SyntaxCase{"", true, false}, SyntaxCase{"   ", true, false}, SyntaxCase{"a.", true, false},
        SyntaxCase{"  ab  ", true, false},
        // a leading dot without separators
        SyntaxCase{".profile", false, true}, SyntaxCase{"  .x", false, true}, SyntaxCase{"C:\\.profile", false, true},
        // separators and forbidden characters
        SyntaxCase{"C:\\dir\\", true, false}, SyntaxCase{"C:/dir/", true, false}, SyntaxCase{"a*.txt", true, false},
        SyntaxCase{"what?.txt", true, false}, SyntaxCase{"a|b.txt", true, false}, SyntaxCase{"\"q\".txt", true, false},
        // extensions
        SyntaxCase{"readme.txt", false, true}, SyntaxCase{"C:\\a\\page.htm#top", false, true},
        SyntaxCase{"x.#ab", false, true}, SyntaxCase{"file.abcdefgh", false, true},
        SyntaxCase{"file.abcdefghi", false, false}, SyntaxCase{"page.html#averylongfragment", false, true},
        // all-digit extensions
        SyntaxCase{"3.5", false, false}, SyntaxCase{"ver1.2", false, false}, SyntaxCase{"data.001", false, true},
        SyntaxCase{"data.123", false, true}, SyntaxCase{"data.000", false, true}, SyntaxCase{"data.113", false, true},
        SyntaxCase{"data.12", false, false}, SyntaxCase{"name.0", false, true}, SyntaxCase{"12.0", false, false},
        SyntaxCase{"  12.0  ", false, false}, SyntaxCase{"data.", false, false},
        // no dot at all
        SyntaxCase{"readme", true, false}, SyntaxCase{"C:\\dir\\readme", true, true},
        SyntaxCase{"C:\\dir\\readme", false, false}, SyntaxCase{"dir/readme", true, true},
        // bytes above 0x7F are never blank
        SyntaxCase{"\xA0\xA0.txt", false, true}, SyntaxCase{"caf\xE9.d\xE9", false, true}));

struct DirCase {
    const char* path;
    bool isDir;
};

class IsDirBySyntax : public ::testing::TestWithParam<DirCase> {};

TEST_P(IsDirBySyntax, ReadsFromTheEnd) { EXPECT_EQ(CDirUtils::IsDir(GetParam().path, true), GetParam().isDir); }

INSTANTIATE_TEST_SUITE_P(Rules, IsDirBySyntax,
                         ::testing::Values(DirCase{"C:\\dir\\file.txt", false}, DirCase{"C:\\dir.old\\data", true},
                                           DirCase{"\\", true}, DirCase{"/", true}, DirCase{"x", false},
                                           DirCase{"abc", false}, DirCase{"  ", false}, DirCase{"C:", true},
                                           DirCase{"C:\\a.b\\", true}, DirCase{"a/b.c", false},
                                           DirCase{"dir\\sub", true}));

TEST(PathParts, TakenApartAsWritten) {
    struct Case {
        const char* path;
        const char* ext;
        const char* name;
        const char* nameWithExt;
        const char* parent;
        const char* lastDir;
    };
    const Case cases[] = {
        {"C:\\a.b\\file", "", "file", "file", "C:\\a.b\\", "a.b"},
        {"C:\\dir\\file.TXT", "TXT", "file", "file.TXT", "C:\\dir\\", "dir"},
        {"archive.tar.gz", "gz", "archive.tar", "archive.tar.gz", "", ""},
        {"C:/x/report.final.txt", "txt", "report.final", "report.final.txt", "C:/x/", "x"},
        {"C:\\a\\b\\", "", "", "", "C:\\a\\", "b"},
        {"C:\\a\\b", "", "b", "b", "C:\\a\\", "b"},
        {"dir\\f.txt", "txt", "f", "f.txt", "dir\\", "dir"},
        {"C:\\", "", "", "", "", ""},
        {"name.txt", "txt", "name", "name.txt", "", ""},
        {"a\\\\b", "", "b", "b", "a\\\\", "b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(CFileUtils::GetFileExt(c.path), c.ext);
        EXPECT_EQ(CFileUtils::ParseFileNameFromPath(c.path, false), c.name);
        EXPECT_EQ(CFileUtils::ParseFileNameFromPath(c.path, true), c.nameWithExt);
        EXPECT_EQ(CDirUtils::ParseParentDir(c.path), c.parent);
        EXPECT_EQ(CDirUtils::ParsePathFromFile(c.path), c.parent);
        EXPECT_EQ(CDirUtils::ParseLastDir(c.path), c.lastDir);
    }
}

TEST(PathParts, TrailingSeparators) {
    struct Case {
        const char* in;
        const char* back;
        const char* forward;
        const char* removed;
    };
    const Case cases[] = {{" C:\\a ", "C:\\a\\", "C:\\a/", "C:\\a"},
                          {"C:/a/", "C:/a\\", "C:/a/", "C:/a"},
                          {"C:\\a\\", "C:\\a\\", "C:\\a/", "C:\\a"},
                          {"   ", "", "", ""},
                          {"x\\\\", "x\\\\", "x\\/", "x\\"}};
    for (const Case& c : cases) {
        CString b(c.in), f(c.in), r(c.in);
        CDirUtils::EnsureTrailingBackslash(b);
        CDirUtils::EnsureTrailingForwardSlash(f);
        CDirUtils::RemoveTrailingSlash(r);
        EXPECT_EQ(b, c.back) << c.in;
        EXPECT_EQ(f, c.forward) << c.in;
        EXPECT_EQ(r, c.removed) << c.in;
    }
}

TEST(PathParts, BreakUpAndCommonParent) {
    const std::pair<const char*, Strings> cases[] = {
        {"C:\\a\\b\\", {"C:", "a", "b"}},   {"\\\\server\\share", {"", "server", "share"}},
        {"/usr/local/", {"usr", "local"}},  {"  ", {}},
        {"\\", {}},                         {"C:\\x/y\\z", {"C:", "x/y", "z"}},
        {"a", {"a"}}};
    for (const auto& [path, parts] : cases) {
        CStringArray out;
        out.Add("stale");
        EXPECT_TRUE(CDirUtils::BreakUpDirs(path, out));
        EXPECT_EQ(Items(out), parts) << path;
    }
    EXPECT_EQ(CDirUtils::FindCommonParentDir("C:\\a\\b\\c", "c:\\A\\x"), "C:\\a\\");
    EXPECT_EQ(CDirUtils::FindCommonParentDir("C:\\a", "D:\\a"), "");
    EXPECT_EQ(CDirUtils::FindCommonParentDir("", "C:\\a"), "");
}

TEST(DirLists, RelativeAndMembership) {
    TextArray paths = ArrayOf({"C:\\Base\\a.txt", "c:\\base\\", "C:\\other\\b.txt", "C:\\Ba"});
    CDirUtils::MakePathsRelative("C:\\base\\", paths);
    EXPECT_EQ(Items(paths), (Strings{"a.txt", "", "C:\\other\\b.txt", "C:\\Ba"}));

    bool exact, parent, inside;
    int index;
    CDirUtils::IsInDirList("b", ArrayOf({"a", "b", "x"}), exact, parent, inside, index);
    EXPECT_FALSE(exact || parent || inside);
    EXPECT_EQ(index, -1);
    CDirUtils::IsInDirList("b", ArrayOf({"b", "a"}), exact, parent, inside, index);
    EXPECT_TRUE(exact);
    EXPECT_EQ(index, 0);
    CDirUtils::IsInDirList("C:\\a", ArrayOf({"D:\\", "-", "c:\\A\\b", "-"}), exact, parent, inside, index);
    EXPECT_TRUE(parent && !exact && !inside);
    EXPECT_EQ(index, 2);
    CDirUtils::IsInDirList("C:\\a\\b\\c", ArrayOf({"C:\\a\\"}), exact, parent, inside, index);
    EXPECT_TRUE(inside && !exact && !parent);
}

TEST(FileSpecs, AllAndAnyLists) {
    const TextArray none;
    const TextArray both = ArrayOf({"*.txt", "a*.*"});
    EXPECT_TRUE(CFileUtils::MatchFileSpec("abc.txt", true, both, none, false));
    EXPECT_FALSE(CFileUtils::MatchFileSpec("abc.doc", true, both, none, false));
    EXPECT_FALSE(CFileUtils::MatchFileSpec("bcd.txt", true, both, none, false));
    EXPECT_TRUE(CFileUtils::MatchFileSpec("anything", true, none, none, true));

    const TextArray any = ArrayOf({"", "*.htm", "*.html"});
    EXPECT_TRUE(CFileUtils::MatchFileSpec("C:\\site\\index.HTML", true, none, any, false));
    EXPECT_FALSE(CFileUtils::MatchFileSpec("C:\\site\\index.HTML", true, none, any, true));
    EXPECT_FALSE(CFileUtils::MatchFileSpec("C:\\site\\logo.png", true, none, any, false));
    // A spec's directory part is matched against the path's directory.
    const TextArray inImages = ArrayOf({"*\\images\\*.*"});
    EXPECT_TRUE(CFileUtils::MatchFileSpec("C:\\site\\images\\a.png", true, inImages, none, false));
    EXPECT_FALSE(CFileUtils::MatchFileSpec("C:\\site\\a.png", true, inImages, none, false));
    // A directory is matched by its last name and has no extension.
    EXPECT_TRUE(CFileUtils::MatchFileSpec("C:\\site\\cgi-bin\\", false, ArrayOf({"cgi*"}), none, false));
    EXPECT_FALSE(CFileUtils::MatchFileSpec("C:\\site\\cgi.bin\\", false, ArrayOf({"*.bin"}), none, false));

    TextArray files = ArrayOf({"a.txt", "b.doc", "c.TXT", "d.txt.bak"});
    CFileUtils::RemoveMatchingFiles(files, ArrayOf({"*.txt"}), true, false);
    EXPECT_EQ(Items(files), (Strings{"b.doc", "d.txt.bak"}));
    files = ArrayOf({"a.txt", "b.doc", "c.TXT"});
    CFileUtils::RemoveMatchingFiles(files, ArrayOf({"*.txt"}), false, true);
    EXPECT_EQ(Items(files), (Strings{"a.txt"}));
}

TEST(FileNames, BadCharactersReplacedInOrder) {
    EXPECT_EQ(CFileUtils::ReplaceBadFileChars("a:b?c", "_", false), "a_b_c");
    EXPECT_EQ(CFileUtils::ReplaceBadFileChars("my file's", "_", true), "my_file_s");
    EXPECT_EQ(CFileUtils::ReplaceBadFileChars("my file", "_", false), "my file");
    EXPECT_EQ(CFileUtils::ReplaceBadFileChars("a\\b/c", "", false), "abc");
    EXPECT_EQ(CFileUtils::ReplaceBadFileChars("a*b", "--", false), "a--b");
    // The slash's replacement holds a space, which the strict pass replaces in its turn.
    EXPECT_EQ(CFileUtils::ReplaceBadFileChars("a/b", " x", true), "a xxb");
}

}  // namespace
}  // namespace vutil
