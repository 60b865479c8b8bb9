// Container layouts of SerializeData: fixed bytes, round trips, hostile counts.

#include <gtest/gtest.h>

#include <limits>

#include "archive_bytes.h"
#include "support/test_support.h"
#include "vutil/framework/exceptions.h"
#include "vutil/persist/serialize_data.h"

namespace vutil {
namespace {

using test::Bytes;
using test::Hex;
using test::LoadBytes;
using test::StoreBytes;

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
}

TEST(SerializeDataBytes, StringLengthPrefixes) {
    struct Case {
        int length;
        std::string prefix;
    };
    const Case cases[] = {{0, Bytes({0x00})},
                          {254, Bytes({0xFE})},
                          {255, Bytes({0xFF, 0xFF, 0x00})},
                          {300, Bytes({0xFF, 0x2C, 0x01})},
                          {65533, Bytes({0xFF, 0xFD, 0xFF})},
                          {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
                          {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})}};
    for (const Case& c : cases) {
        std::vector<CString> v{CString('x', c.length)};
        std::string bytes = Stored(v);
        ASSERT_EQ(bytes.size(), 4 + c.prefix.size() + static_cast<std::size_t>(c.length)) << c.length;
        EXPECT_EQ(Hex(bytes.substr(4, c.prefix.size())), Hex(c.prefix)) << c.length;
        EXPECT_EQ(Loaded<std::vector<CString>>(bytes), v) << c.length;
    }
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

TEST(SerializeDataBytes, WideStringsLoad) {
    // 0xFF 0xFFFE marks UTF-16; "hé" then a character the code page lacks.
    std::string bytes = Bytes({1, 0, 0, 0, 0xFF, 0xFE, 0xFF, 3, 'h', 0, 0xE9, 0, 0x00, 0x04});
    EXPECT_EQ(Loaded<std::vector<CString>>(bytes), std::vector<CString>{CString("h\xE9?")});
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

TEST(SerializeDataBytes, NoCaseMapStoresInCaseInsensitiveOrder) {
    std::map<CString, CString, NoCase> m{{"b", "2"}, {"A", "1"}, {"C", "3"}};
    EXPECT_EQ(Hex(Stored(m)), "03 00 00 00 01 41 01 31 01 62 01 32 01 43 01 33");
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

TEST(SerializeDataRoundTrip, EveryContainer) {
    ExpectRoundTrip(true);
    ExpectRoundTrip(std::string("plain"));
    ExpectRoundTrip(std::vector<bool>{true, true, false});
    ExpectRoundTrip(std::vector<int>{0, -1, std::numeric_limits<int>::min(), 42});
    ExpectRoundTrip(std::vector<double>{0.5, -1e300, 3.25});
    ExpectRoundTrip(std::vector<CString>{"", "a", CString('z', 400)});
    ExpectRoundTrip(std::vector<std::string>{"x", "", "yz"});
    ExpectRoundTrip(std::list<int>{3, 1, 2});
    ExpectRoundTrip(std::list<double>{2.5, -0.0});
    ExpectRoundTrip(std::list<CString>{"b", "a"});
    ExpectRoundTrip(std::list<std::string>{"q", "r"});
    ExpectRoundTrip(std::set<int>{5, -5});
    ExpectRoundTrip(std::set<double>{1.5, 0.25});
    ExpectRoundTrip(std::set<CString>{"m", "n"});
    ExpectRoundTrip(std::set<std::string>{"s", "t"});
    ExpectRoundTrip(std::map<int, bool>{{1, true}, {2, false}});
    ExpectRoundTrip(std::map<int, int>{{-3, 9}});
    ExpectRoundTrip(std::map<int, double>{{4, 0.125}});
    ExpectRoundTrip(std::map<int, std::string>{{1, "one"}});
    ExpectRoundTrip(std::map<int, CString>{{1, "one"}, {2, ""}});
    ExpectRoundTrip(std::map<double, bool>{{0.5, true}});
    ExpectRoundTrip(std::map<double, int>{{0.5, 7}});
    ExpectRoundTrip(std::map<double, double>{{0.5, 1.5}});
    ExpectRoundTrip(std::map<double, std::string>{{0.5, "h"}});
    ExpectRoundTrip(std::map<double, CString>{{0.5, "h"}});
    ExpectRoundTrip(std::map<std::string, bool>{{"a", true}});
    ExpectRoundTrip(std::map<std::string, int>{{"a", 1}});
    ExpectRoundTrip(std::map<std::string, double>{{"a", 1.0}});
    ExpectRoundTrip(std::map<std::string, std::string>{{"a", "b"}});
    ExpectRoundTrip(std::map<std::string, CString>{{"a", "b"}});
    ExpectRoundTrip(std::map<CString, bool>{{"a", false}});
    ExpectRoundTrip(std::map<CString, int>{{"a", -1}});
    ExpectRoundTrip(std::map<CString, unsigned int>{{"a", 4000000000u}});
    ExpectRoundTrip(std::map<CString, double>{{"a", 2.0}});
    ExpectRoundTrip(std::map<CString, std::string>{{"a", "z"}});
    ExpectRoundTrip(std::map<CString, CString>{{"a", "z"}, {"B", "y"}});
    ExpectRoundTrip(std::map<CString, CString, NoCase>{{"a", "z"}, {"B", "y"}});
    ExpectRoundTrip(std::map<unsigned int, CRect>{{1, CRect(0, 0, 10, 20)}, {99, CRect(-5, -6, 7, 8)}});
}

TEST(SerializeDataRoundTrip, IntAndUnsignedMapsShareLayout) {
    std::string bytes = Stored(std::map<CString, int>{{"x", -1}});
    auto loaded = Loaded<std::map<CString, unsigned int>>(bytes);
    EXPECT_EQ(loaded, (std::map<CString, unsigned int>{{"x", 0xFFFFFFFFu}}));
}

// The protected halves of the std::string overload.
struct StringHalves : SerializeData {
    using SerializeData::Deserialize;
    using SerializeData::Serializestring;
};

TEST(SerializeDataRoundTrip, ProtectedStringHalves) {
    std::string bytes = StoreBytes([](CArchive& ar) { StringHalves::Serializestring(ar, std::string("hi\0there", 8)); });
    EXPECT_EQ(Hex(bytes), "02 68 69");
    std::string back = "old";
    LoadBytes(bytes, [&](CArchive& ar) { StringHalves::Deserialize(ar, back); });
    EXPECT_EQ(back, "hi");
}

TEST(SerializeDataHostile, HugeCountEndsAtEndOfFileQuickly) {
    const std::string hostile = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});
    auto expectEof = [&](auto container) {
        try {
            LoadBytes(hostile, [&](CArchive& ar) { SerializeData::Serialize(ar, container); });
            ADD_FAILURE() << "no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
    };
    expectEof(std::vector<int>{});
    expectEof(std::vector<bool>{});
    expectEof(std::vector<double>{});
    expectEof(std::vector<CString>{});
    expectEof(std::list<std::string>{});
    expectEof(std::set<int>{});
    expectEof(std::map<int, CString>{});
    expectEof(std::map<CString, CString, NoCase>{});
    expectEof(std::map<unsigned int, CRect>{});
}

TEST(SerializeDataHostile, TruncatedContainerKeepsWhatWasRead) {
    std::vector<int> v;
    EXPECT_THROW(LoadBytes(Bytes({3, 0, 0, 0, 1, 0, 0, 0, 2, 0}), [&](CArchive& ar) { SerializeData::Serialize(ar, v); }),
                 CArchiveException);
    EXPECT_EQ(v, std::vector<int>{1});
    // A string prefix announcing more bytes than there are.
    std::vector<CString> s;
    EXPECT_THROW(LoadBytes(Bytes({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}),
                           [&](CArchive& ar) { SerializeData::Serialize(ar, s); }),
                 CArchiveException);
}

}  // namespace
}  // namespace vutil
