#include <gtest/gtest.h>

#include <random>

#include "support/string_lists.h"
#include "vutil/core/text_array.h"

using namespace vutil;
using namespace vutil::test;
using V = vutil::test::Strings;

namespace {

// The removal walk written out step by step; the library's version must agree.
bool LiteralRemoveNonDuplicates(std::vector<CString>& items, bool caseSensitive) {
    auto eq = [&](const CString& a, const CString& b) {
        return caseSensitive ? a.Compare(b) == 0 : a.CompareNoCase(b) == 0;
    };
    if (items.empty()) return false;
    std::size_t before = items.size();
    std::size_t pos = 0;
    while (true) {
        std::size_t i = pos;
        while (i + 1 < items.size() && !eq(items[i], items[i + 1])) ++i;
        if (i + 1 >= items.size()) {
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(pos), items.end());
            break;
        }
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(pos), items.begin() + static_cast<std::ptrdiff_t>(i));
        std::size_t n = 0;
        for (std::size_t j = pos; j < items.size(); ++j) n += eq(items[j], items[pos]);
        pos += n;
        if (pos >= items.size()) break;
    }
    return items.size() != before;
}

}  // namespace

TEST(TextArrayTest, OutOfRangeIndicesAreHarmless) {
    TextArray a = ArrayOf({"a", "b", "c"});
    EXPECT_EQ(a.GetAt(5), "");
    EXPECT_EQ(TextArray().GetFirst(), "");
    EXPECT_EQ(TextArray().GetLast(), "");
    a.Insert(10, "d");
    EXPECT_EQ(a.GetAt(3), "d");
    a.Replace(10, "x");
    a.Delete(10);
    a.Swap(0, 10);
    EXPECT_EQ(Items(a), (V{"a", "b", "c", "d"}));
    a.Trim(10);
    EXPECT_EQ(a.GetCount(), 4u);
    a.Trim(0);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_FALSE(a.IsLast(0));
    EXPECT_TRUE(TextArray().IsLast(0xFFFFFFFFu));  // wraps to zero
}

TEST(TextArrayTest, AddNoDuplicatesIsExact) {
    TextArray a = ArrayOf({"a"});
    a.AddNoDuplicates("A");
    a.AddNoDuplicates("a");
    EXPECT_EQ(Items(a), (V{"a", "A"}));
}

TEST(TextArrayTest, MoveToFirstAndLast) {
    TextArray a = ArrayOf({"a", "b", "c", "b"});
    EXPECT_TRUE(a.MoveToFirst("b"));
    EXPECT_EQ(Items(a), (V{"b", "a", "c", "b"}));
    EXPECT_TRUE(a.MoveToLast("a"));
    EXPECT_EQ(Items(a), (V{"b", "c", "b", "a"}));
    EXPECT_FALSE(a.MoveToLast("zzz"));
    EXPECT_EQ(Items(a), (V{"b", "c", "b", "a"}));
}

TEST(TextArrayTest, RemoveMatchesTakesOnePerItem) {
    TextArray a = ArrayOf({"x", "y", "x"});
    EXPECT_TRUE(a.RemoveMatches(ArrayOf({"x", "x"}), true));
    EXPECT_EQ(Items(a), (V{"y"}));
    TextArray b = ArrayOf({"x", "y", "x"});
    EXPECT_TRUE(b.RemoveMatches(ArrayOf({"X"}), false));
    EXPECT_EQ(Items(b), (V{"y", "x"}));
    EXPECT_FALSE(b.RemoveMatches(ArrayOf({"X"}), true));
    TextArray empty;
    EXPECT_FALSE(empty.RemoveMatches(ArrayOf({"x"}), true));
}

TEST(TextArrayTest, FindUnsortedAndWithin) {
    TextArray a = ArrayOf({"Hello", "world"});
    bool found = false;
    EXPECT_EQ(a.Find("WORLD", false, found), 1u);
    EXPECT_TRUE(found);
    EXPECT_EQ(a.Find("WORLD", true, found), 2u);
    EXPECT_FALSE(found);
    EXPECT_EQ(a.FindWithin("ell", found), 0u);
    EXPECT_TRUE(found);
    EXPECT_EQ(a.FindWithin("xyz", found), 2u);
    EXPECT_FALSE(found);
}

TEST(TextArrayTest, SortedLookUpsStoreTheOptions) {
    TextArray a = ArrayOf({"b", "A", "c"});
    a.Sort(true, false, false, true);
    bool found = false;
    EXPECT_EQ(a.Find("B", false, found, true), 1u);
    EXPECT_TRUE(found);
    EXPECT_FALSE(TextArray::m_bCaseSensitive);
    EXPECT_TRUE(a.Have("C", false));
    EXPECT_FALSE(a.Have("d", false));
    EXPECT_FALSE(a.Have("aa", false));
    // Descending order from the last sort still applies to a later look-up.
    a.Sort(false, true, false, true);
    EXPECT_EQ(Items(a), (V{"c", "b", "A"}));
    EXPECT_TRUE(a.Have("A", true));
    EXPECT_EQ(a.Find("b", true, found, true), 1u);
    EXPECT_TRUE(found);
}

TEST(TextArrayTest, RemoveDuplicatesOnlyNeighbours) {
    TextArray a = ArrayOf({"x", "y", "x"});
    EXPECT_FALSE(a.RemoveDuplicates(true, false, true));
    a.Sort(true, true, false, true);
    EXPECT_TRUE(a.RemoveDuplicates(true, false, true));
    EXPECT_EQ(Items(a), (V{"x", "y"}));
}

TEST(TextArrayTest, RemoveNonDuplicatesAgreesWithTheStepByStepWalk) {
    std::mt19937 gen(7);
    const char* pool[] = {"a", "A", "b", "B", "c"};
    for (int round = 0; round < 3000; ++round) {
        std::vector<CString> items;
        std::size_t n = gen() % 12;
        for (std::size_t i = 0; i < n; ++i) items.emplace_back(pool[gen() % 5]);
        bool caseSensitive = gen() % 2;
        TextArray a;
        a.CopyFromVector(items);
        bool changed = a.RemoveNonDuplicates(caseSensitive, false, true);
        bool expectedChanged = LiteralRemoveNonDuplicates(items, caseSensitive);
        std::vector<CString> got;
        a.CopyToVector(got);
        ASSERT_EQ(got, items) << "round " << round;
        ASSERT_EQ(changed, expectedChanged);
    }
}

TEST(TextArrayTest, ReplaceInAllAndMakeLower) {
    TextArray a = ArrayOf({"banana", "Cab"});
    a.ReplaceInAll("a", "bb");
    EXPECT_EQ(Items(a), (V{"bbbnbbnbb", "Cbbb"}));
    a.MakeLower();
    EXPECT_EQ(a.GetAt(1), "cbbb");
}

TEST(TextArrayTest, EqualityIsExact) {
    EXPECT_FALSE(ArrayOf({"a"}) == ArrayOf({"A"}));
    EXPECT_TRUE(ArrayOf({"a", "b"}) == ArrayOf({"a", "b"}));
    EXPECT_FALSE(ArrayOf({"a"}) == ArrayOf({"a", "a"}));
}

TEST(TextArrayTest, CopiesAppendWithoutClearing) {
    TextArray a = ArrayOf({"old"});
    CStringList l;
    l.AddTail("1");
    l.AddTail("2");
    a.CopyFromList(l);
    EXPECT_EQ(Items(a), (V{"old", "1", "2"}));
    CStringArray arr;
    arr.Add("pre");
    a.CopyToStringArray(arr);
    EXPECT_EQ(arr.GetSize(), 4);
    EXPECT_EQ(arr[3], "2");
    TextArray b = ArrayOf({"x"});
    b.CopyFromStringArray(arr);
    EXPECT_EQ(b.GetCount(), 5u);
    CStringList out;
    out.AddTail("head");
    b.CopyToList(out);
    EXPECT_EQ(out.GetCount(), 6);
    std::vector<CString> v{"v"};
    b.CopyToVector(v);
    EXPECT_EQ(v.size(), 6u);
    b.Add(b);
    EXPECT_EQ(b.GetCount(), 10u);
    TextArray c(b);
    c = c;  // self-assignment keeps the items
    EXPECT_TRUE(c == b);
}
