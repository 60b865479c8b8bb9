#include <gtest/gtest.h>

#include "support/string_lists.h"
#include "vutil/framework/collections.h"

using namespace vutil;
using vutil::test::Items;

TEST(CStringListTest, PositionsSurviveOtherEdits) {
    CStringList l;
    POSITION b = l.AddTail("b");
    l.AddHead("a");
    POSITION d = l.AddTail("d");
    l.InsertBefore(d, "c");
    l.InsertAfter(d, "e");
    EXPECT_EQ(Items(l), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    l.RemoveAt(b);
    EXPECT_EQ(l.GetAt(d), "d");
    EXPECT_EQ(l.GetCount(), 4);
    l.SetAt(d, "D");
    EXPECT_EQ(Items(l), (std::vector<std::string>{"a", "c", "D", "e"}));
}

TEST(CStringListTest, WalksBothWays) {
    CStringList l = test::ListOf({"1", "2", "3"});
    std::string back;
    for (POSITION pos = l.GetTailPosition(); pos;) back += l.GetPrev(pos).str();
    EXPECT_EQ(back, "321");
    EXPECT_EQ(l.GetAt(l.FindIndex(1)), "2");
    EXPECT_EQ(l.FindIndex(3), nullptr);
    EXPECT_EQ(l.FindIndex(-1), nullptr);
}

TEST(CStringListTest, FindAndRemoveEnds) {
    CStringList l = test::ListOf({"x", "y", "x"});
    POSITION first = l.Find("x");
    POSITION second = l.Find("x", first);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(l.Find("x", second), nullptr);
    EXPECT_EQ(l.RemoveHead(), "x");
    EXPECT_EQ(l.RemoveTail(), "x");
    EXPECT_EQ(l.GetHead(), "y");
    EXPECT_EQ(l.GetTail(), "y");
    l.RemoveAll();
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(l.RemoveHead(), "");
}

TEST(CStringListTest, CopiesAreDeep) {
    CStringList a;
    a.AddTail("1");
    CStringList b(a);
    b.AddTail("2");
    a.AddTail(a);  // self-append doubles
    EXPECT_EQ(Items(a), (std::vector<std::string>{"1", "1"}));
    EXPECT_EQ(Items(b), (std::vector<std::string>{"1", "2"}));
    CStringList c;
    c.AddHead(b);
    EXPECT_EQ(Items(c), (std::vector<std::string>{"1", "2"}));
}

TEST(CArrayTest, SetAtGrowFillsTheGap) {
    CStringArray a;
    a.SetAtGrow(2, "c");
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a.GetAt(0), "");
    EXPECT_EQ(a[2], "c");
    a.SetAt(7, "ignored");
    EXPECT_EQ(a.GetSize(), 3);
    a.InsertAt(0, "a");
    a.RemoveAt(1);
    EXPECT_EQ(a.GetAt(0), "a");
    EXPECT_EQ(a.GetAt(2), "c");
    EXPECT_EQ(a.GetAt(-1), "");

    CUIntArray u;
    u.Add(5);
    u.SetSize(3);
    EXPECT_EQ(u.GetAt(2), 0u);
    u.RemoveAt(0, 10);
    EXPECT_TRUE(u.IsEmpty());

    CByteArray bytes;
    bytes.Add(0xFF);
    EXPECT_EQ(bytes.GetData()[0], 0xFF);
}
