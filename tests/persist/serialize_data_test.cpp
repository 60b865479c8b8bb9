// Container layouts of SerializeData: fixed bytes, round trips, hostile counts.

#include <gtest/gtest.h>

#include <limits>

#include "support/archive_bytes.h"
#include "support/test_support.h"
#include "vutil/framework/exceptions.h"
#include "vutil/persist/serialize_data.h"

namespace vutil {
namespace {

using namespace test;

template <typename T>
std::string Stored(T value) {
    return StoreBytes([&](CArchive& ar) { SerializeData::Serialize(ar, value); });
}

template <typename T>
T Loaded(const std::string& bytes) {
    T value{};
    LoadBytes(bytes, [&](CArchive& ar) { SerializeData::Serialize(ar, value); });
    return value;
}

template <typename T>
void ExpectRoundTrip(const T& value) {
    std::string bytes = Stored(value);
    EXPECT_EQ(Loaded<T>(bytes), value);
}

TEST(SerializeDataBytes, FixedEncodings) {
    EXPECT_EQ(Hex(Stored(std::vector<int>{})), "00 00 00 00");
    EXPECT_EQ(Hex(Stored(std::vector<int>{1, -2})), "02 00 00 00 01 00 00 00 FE FF FF FF");
    EXPECT_EQ(Hex(Stored(true)), "01 00");
    EXPECT_EQ(Hex(Stored(false)), "00 00");
    EXPECT_EQ(Hex(Stored(std::string("abc"))), "03 61 62 63");
    EXPECT_EQ(Hex(Stored(std::map<int, CString>{{2, "b"}, {1, "a"}})),
              "02 00 00 00 01 00 00 00 01 61 02 00 00 00 01 62");
    EXPECT_EQ(Hex(Stored(std::vector<bool>{true, false})), "02 00 00 00 01 00 00 00");
    EXPECT_EQ(Hex(Stored(std::vector<double>{1.0})), "01 00 00 00 00 00 00 00 00 00 F0 3F");
    EXPECT_EQ(Hex(Stored(std::map<unsigned int, CRect>{{7, CRect(1, -1, 2, 3)}})),
              "01 00 00 00 07 00 00 00 01 00 00 00 FF FF FF FF 02 00 00 00 03 00 00 00");
    EXPECT_EQ(Hex(Stored(std::map<CString, unsigned int>{{"k", 0xFFFFFFFFu}})), "01 00 00 00 01 6B FF FF FF FF");
    // A NoCase map stores in case-insensitive order.
    EXPECT_EQ(Hex(Stored(std::map<CString, CString, NoCase>{{"b", "2"}, {"A", "1"}, {"C", "3"}})),
              "03 00 00 00 01 41 01 31 01 62 01 32 01 43 01 33");
}

TEST(SerializeDataBytes, BoolLoadsTrueOnlyForOne) {
    EXPECT_TRUE(Loaded<bool>(Bytes({1, 0})));
    EXPECT_FALSE(Loaded<bool>(Bytes({2, 0})));
    EXPECT_FALSE(Loaded<bool>(Bytes({0, 1})));
    EXPECT_EQ(Loaded<std::vector<bool>>(Bytes({3, 0, 0, 0, 1, 0, 2, 0, 0, 0})), (std::vector<bool>{true, false, false}));
}

TEST(SerializeDataBytes, StdStringStopsAtNul) {
    std::string withNul("ab\0cd", 5);
    EXPECT_EQ(Hex(Stored(withNul)), "02 61 62");
    EXPECT_EQ(Hex(Stored(std::vector<std::string>{withNul})), "01 00 00 00 02 61 62");
    // A loaded CString holding a NUL gives its text before it.
    EXPECT_EQ(Loaded<std::string>(Bytes({3, 'x', 0, 'y'})), "x");
}

TEST(SerializeDataBytes, RepeatedKeyKeepsFirstValue) {
    auto m = Loaded<std::map<int, CString>>(Bytes({2, 0, 0, 0, 5, 0, 0, 0, 1, 'a', 5, 0, 0, 0, 1, 'b'}));
    EXPECT_EQ(m, (std::map<int, CString>{{5, "a"}}));
    auto s = Loaded<std::set<int>>(Bytes({3, 0, 0, 0, 9, 0, 0, 0, 1, 0, 0, 0, 9, 0, 0, 0}));
    EXPECT_EQ(s, (std::set<int>{1, 9}));
    // Keys equal without regard to case are one key in a NoCase map.
    auto nc = Loaded<std::map<CString, CString, NoCase>>(Bytes({2, 0, 0, 0, 1, 'K', 1, '1', 1, 'k', 1, '2'}));
    ASSERT_EQ(nc.size(), 1u);
    EXPECT_EQ(nc.begin()->second, CString("1"));
}

TEST(SerializeDataBytes, LoadingEmptiesTheContainerFirst) {
    std::vector<int> v{7, 8, 9};
    std::map<int, int> m{{1, 1}};
    LoadBytes(Bytes({1, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0}), [&](CArchive& ar) {
        SerializeData::Serialize(ar, v);
        SerializeData::Serialize(ar, m);
    });
    EXPECT_EQ(v, std::vector<int>{4});
    EXPECT_TRUE(m.empty());
}

TEST(SerializeDataRoundTrip, EveryContainerKind) {
    ExpectRoundTrip(true);
    ExpectRoundTrip(std::string("plain"));
    ExpectRoundTrip(std::vector<bool>{true, true, false});
    ExpectRoundTrip(std::vector<int>{0, -1, std::numeric_limits<int>::min(), 42});
    ExpectRoundTrip(std::vector<double>{0.5, -1e300, 3.25});
    ExpectRoundTrip(std::vector<CString>{"", "a", CString('z', 400)});
    ExpectRoundTrip(std::list<double>{2.5, -0.0});
    ExpectRoundTrip(std::list<std::string>{"q", "", "r"});
    ExpectRoundTrip(std::set<int>{5, -5});
    ExpectRoundTrip(std::set<CString>{"m", "n"});
    ExpectRoundTrip(std::map<int, bool>{{1, true}, {2, false}});
    ExpectRoundTrip(std::map<double, std::string>{{0.5, "h"}, {-2.0, ""}});
    ExpectRoundTrip(std::map<std::string, double>{{"a", 1.0}});
    ExpectRoundTrip(std::map<CString, unsigned int>{{"a", 4000000000u}});
    ExpectRoundTrip(std::map<CString, CString, NoCase>{{"a", "z"}, {"B", "y"}});
    ExpectRoundTrip(std::map<unsigned int, CRect>{{1, CRect(0, 0, 10, 20)}, {99, CRect(-5, -6, 7, 8)}});
}

TEST(SerializeDataRoundTrip, IntAndUnsignedMapsShareLayout) {
    std::string bytes = Stored(std::map<CString, int>{{"x", -1}});
    auto loaded = Loaded<std::map<CString, unsigned int>>(bytes);
    EXPECT_EQ(loaded, (std::map<CString, unsigned int>{{"x", 0xFFFFFFFFu}}));
}

TEST(SerializeDataHostile, TruncatedContainerKeepsWhatWasRead) {
    std::vector<int> v;
    EXPECT_THROW(LoadBytes(Bytes({3, 0, 0, 0, 1, 0, 0, 0, 2, 0}), [&](CArchive& ar) { SerializeData::Serialize(ar, v); }),
                 CArchiveException);
    EXPECT_EQ(v, std::vector<int>{1});
}

}  // namespace
}  // namespace vutil
