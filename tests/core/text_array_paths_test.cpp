// TextArray's path mode: ordering by directory, name and extension, path equality,
// the duplicate filters and the path filters.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "support/string_lists.h"
#include "vutil/core/text_array.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"

namespace vutil {
namespace {

using namespace test;

// The item order written straight from the rules, through the path functions.
struct DirectOrder {
    bool ascending, caseSensitive, withDirs;

    int Text(const CString& x, const CString& y) const { return caseSensitive ? x.Compare(y) : x.CompareNoCase(y); }
    static CString Dir(const CString& p) {
        CString d = CDirUtils::ParseParentDir(p);
        CDirUtils::RemoveTrailingSlash(d);
        return d;
    }
    int Dirs(const CString& a, const CString& b) const { return Text(Dir(a), Dir(b)); }
    int Files(const CString& a, const CString& b) const {
        int r = Text(CFileUtils::ParseFileNameFromPath(a, false), CFileUtils::ParseFileNameFromPath(b, false));
        return r ? r : Text(CFileUtils::GetFileExt(a), CFileUtils::GetFileExt(b));
    }
    int Compare(const CString& a, const CString& b) const {
        int r = withDirs ? Dirs(a, b) : Files(a, b);
        if (r == 0) r = withDirs ? Files(a, b) : Dirs(a, b);
        return ascending ? r : -r;
    }
};

CString RandomPath(std::mt19937& gen) {
    static const char kAlphabet[] = {'a', 'A', 'b', 'B', '.', '\\', '/', ' ', '\xE9', '#', 'z'};
    CString s;
    const std::size_t n = gen() % 14;
    for (std::size_t i = 0; i < n; ++i) s += kAlphabet[gen() % sizeof kAlphabet];
    return s;
}

TEST(TextArrayPaths, RandomOrderEqualsTheDirectComparator) {
    std::mt19937 gen(13);
    for (int round = 0; round < 400; ++round) {
        const DirectOrder order{gen() % 2 == 0, gen() % 2 == 0, gen() % 2 == 0};
        std::vector<CString> items;
        const std::size_t n = 1 + gen() % 60;
        for (std::size_t i = 0; i < n; ++i) items.push_back(RandomPath(gen));
        TextArray a;
        a.CopyFromVector(items);
        a.Sort(order.ascending, order.caseSensitive, true, order.withDirs);
        const std::vector<CString>& got = a.Items();
        ASSERT_TRUE(std::is_permutation(got.begin(), got.end(), items.begin(), items.end()));
        for (std::size_t i = 1; i < got.size(); ++i)
            ASSERT_LE(order.Compare(got[i - 1], got[i]), 0) << "round " << round << ": " << got[i - 1].str() << " | "
                                                             << got[i].str();
        // Path duplicates after the sort: exactly the neighbours the direct rules call equal.
        std::size_t distinct = got.empty() ? 0 : 1;
        for (std::size_t i = 1; i < got.size(); ++i)
            if (order.Dirs(got[i - 1], got[i]) != 0 || order.Files(got[i - 1], got[i]) != 0) ++distinct;
        a.RemoveDuplicates(order.caseSensitive, true, order.withDirs);
        ASSERT_EQ(a.GetCount(), distinct) << "round " << round;
        // Every item is found again by the ordered look-up.
        for (const CString& item : items) ASSERT_TRUE(a.Have(item, order.caseSensitive, true, order.withDirs));
    }
}

// Directory-first and name-first orders, either way, are held by the random sweep above.
TEST(TextArrayPaths, OrderingExamples) {
    // The parts, not the whole text: "a.b" sorts before "a-b" whole, after it by name.
    TextArray names = ArrayOf({"C:\\x\\a.z", "C:\\x\\a-b.z", "C:\\x\\a.b"});
    names.Sort(true, true, true, true);
    EXPECT_EQ(Items(names), (Strings{"C:\\x\\a.b", "C:\\x\\a.z", "C:\\x\\a-b.z"}));
    // Blanks around the folder do not make another folder; Find's last test stays plain text.
    TextArray dirs = ArrayOf({" C:\\d\\f.txt", "C:\\d\\f.txt"});
    EXPECT_TRUE(dirs.RemoveDuplicates(true, true, true));
    EXPECT_EQ(Items(dirs), (Strings{" C:\\d\\f.txt"}));
    bool found = true;
    EXPECT_EQ(dirs.Find("C:\\d\\f.txt", true, found, true, true, true), 1u);
    EXPECT_FALSE(found);
    EXPECT_TRUE(dirs.Have("C:\\d\\f.txt", true, true, true));
    EXPECT_TRUE(TextArray::m_bFilePaths);
}

TEST(TextArrayPaths, EqualityAndDuplicateFilters) {
    const Strings files = {"D:\\a\\f.txt", "D:\\b\\f.txt", "D:\\c\\g.txt"};
    TextArray a = ArrayOf(files);
    a.Sort(true, false, true, false);
    EXPECT_TRUE(a.RemoveNonDuplicates(false, true, false));
    EXPECT_EQ(Items(a), (Strings{"D:\\a\\f.txt", "D:\\b\\f.txt"}));
    a = ArrayOf(files);
    a.Sort(true, false, true, true);
    EXPECT_TRUE(a.RemoveNonDuplicates(false, true, true));
    EXPECT_TRUE(a.IsEmpty());
}

TEST(TextArrayPaths, PathFilters) {
    TextArray a = ArrayOf({"readme.txt", "archive.tar.gz", "noext", "NOTES.TXT", "C:\\d.txt\\x", "doc.htm"});
    a.DeleteFilesWithExt(ArrayOf({"TXT", "htm"}));
    EXPECT_EQ(Items(a), (Strings{"archive.tar.gz", "noext", "C:\\d.txt\\x"}));
    a.DeleteFilesWithExt(TextArray());
    EXPECT_EQ(a.GetCount(), 3u);

    TextArray b = ArrayOf({"C:\\a\\report_old.doc", "C:\\a\\REPORT_OLD.txt", "C:\\old\\new.doc", "C:\\a\\old"});
    b.DeleteFilesNameEndsWith("_old", true);
    EXPECT_EQ(Items(b), (Strings{"C:\\a\\REPORT_OLD.txt", "C:\\old\\new.doc", "C:\\a\\old"}));
    b.DeleteFilesNameEndsWith("OLD", false);
    EXPECT_EQ(Items(b), (Strings{"C:\\old\\new.doc"}));
}

}  // namespace
}  // namespace vutil
