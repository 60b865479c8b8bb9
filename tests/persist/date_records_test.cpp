// DateTime and DateEntry records, and DateTime values inside SerializeData maps.

#include <gtest/gtest.h>

#include <cstdint>

#include "support/archive_bytes.h"
#include "support/test_support.h"
#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"
#include "vutil/framework/exceptions.h"
#include "vutil/persist/serialize_data.h"

namespace vutil {
namespace {

using namespace test;

DateTime DateOnly(int y, int m, int d) {
    DateTime t;
    t.SetDate(y, m, d);
    return t;
}

// ---- DateTime ----

struct DateTimeBytes {
    const char* name;
    DateTime value;
    const char* hex;
};

class DateTimeRecord : public testing::TestWithParam<DateTimeBytes> {};

TEST_P(DateTimeRecord, StoresRawFieldsAndLoadsThemBack) {
    const DateTimeBytes& c = GetParam();
    const std::string bytes = StoreRecord(c.value);
    EXPECT_EQ(Hex(bytes), c.hex);
    DateTime back(2000, 1, 1, 1, 2, 3);
    LoadRecord(bytes, back);
    EXPECT_EQ(back, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DateTimeRecord,
    testing::Values(
        DateTimeBytes{"FirstDay", DateTime(1, 1, 1, 0, 0, 0), "01 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
        DateTimeBytes{"LastDay", DateTime(9999, 12, 31, 23, 59, 59),
                      "01 00 DD B9 37 00 17 00 00 00 3B 00 00 00 3B 00 00 00"},
        // No time: hour, minute and second are each stored as -1.
        DateTimeBytes{"NoTime", DateOnly(1, 1, 2), "01 00 02 00 00 00 FF FF FF FF FF FF FF FF FF FF FF FF"},
        DateTimeBytes{"Nothing", DateTime(), "01 00 00 00 00 00 FF FF FF FF FF FF FF FF FF FF FF FF"}),
    [](const testing::TestParamInfo<DateTimeBytes>& info) { return info.param.name; });

TEST(DateTimeRecordLoad, IgnoresVersionAndKeepsOutOfRangeValues) {
    // Whatever was stored comes back raw, range or not, and any version value reads the same.
    const std::string bytes = Bytes({0x07, 0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0x63, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80});
    DateTime t;
    LoadRecord(bytes, t);
    EXPECT_EQ(t.GetDayNumber(), 0x7FFFFFFF);
    EXPECT_EQ(t.GetHour(), 99);
    EXPECT_EQ(t.GetMinute(), -2);
    EXPECT_EQ(t.GetSecond(), INT32_MIN);
    EXPECT_FALSE(t.IsValidDate());
    EXPECT_EQ(StoreRecord(t).substr(2), bytes.substr(2));
}

TEST(DateTimeRecordLoad, TruncatedRecordEndsAtEndOfFileKeepingWhatWasRead) {
    DateTime t(2000, 6, 15, 10, 20, 30);
    const DateTime before = t;
    try {
        LoadRecord(Bytes({0x01, 0x00, 0x05, 0x00, 0x00, 0x00, 0x0C, 0x00}), t);
        FAIL() << "no end-of-file";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
    EXPECT_EQ(t.GetDayNumber(), 5);
    EXPECT_EQ(t.GetMinute(), before.GetMinute());
}

// ---- DateEntry ----

// Every field, the ID among them, lands in the stored bytes.
void ExpectSameEntry(const DateEntry& a, const DateEntry& b) { EXPECT_EQ(Hex(StoreRecord(a)), Hex(StoreRecord(b))); }

DateEntry MemorialDay() {
    DateEntry e;
    e.SetBeforeAfterDayOfWeek("Memorial Day", DateEntry::OCCURRENCE_LAST, 2, 5, -3);
    e.SetWeekDay(true);
    e.SetYearType(DateEntry::YEARTYPE_FROM);
    e.SetYear(1971);
    e.SetID(42);
    return e;
}

// The body after the version: occurrence 7, year type 4, weekday flag, day 0, day of
// week 2, before/after -3, month 5, year 1971, the description.
const char* const kMemorialBody =
    "07 00 04 00 01 00 00 00 00 00 02 00 00 00 FD FF FF FF 05 00 00 00 B3 07 00 00 "
    "0C 4D 65 6D 6F 72 69 61 6C 20 44 61 79";

TEST(DateEntryRecord, StoresVersionTwoWithTheId) {
    const std::string bytes = StoreRecord(MemorialDay());
    EXPECT_EQ(Hex(bytes), std::string("02 00 ") + kMemorialBody + " 2A 00 00 00");
    DateEntry back;
    LoadRecord(bytes, back);
    ExpectSameEntry(back, MemorialDay());
}

TEST(DateEntryRecord, OlderAndNewerVersionsLoad) {
    std::string plain;
    for (const char* p = kMemorialBody; *p; ++p)
        if (*p != ' ') plain += *p;
    const std::string body = test::FromHex(plain);
    struct Case {
        WORD version;
        bool hasId;
    };
    // Versions below 2 end after the description; 2 and above carry the ID.
    for (const Case c : {Case{0, false}, Case{1, false}, Case{2, true}, Case{3, true}, Case{0xFFFF, true}}) {
        SCOPED_TRACE(c.version);
        std::string bytes = Bytes({c.version & 0xFF, c.version >> 8}) + body;
        if (c.hasId) bytes += Bytes({0x2A, 0, 0, 0});
        DateEntry e;
        e.SetID(77);
        LoadRecord(bytes, e);
        DateEntry expected = MemorialDay();
        expected.SetID(c.hasId ? 42 : 77);
        ExpectSameEntry(e, expected);
    }
}

TEST(DateEntryRecord, SixteenBitFieldsTruncateAndZeroExtend) {
    DateEntry e;
    e.SetOccurrence(static_cast<DateEntry::OCCURRENCE>(0x10003));
    e.SetYearType(static_cast<DateEntry::YEARTYPE>(-1));
    const std::string bytes = StoreRecord(e);
    EXPECT_EQ(Hex(bytes.substr(2, 4)), "03 00 FF FF");
    DateEntry back;
    LoadRecord(bytes, back);
    EXPECT_EQ(static_cast<int>(back.GetOccurrence()), 3);
    EXPECT_EQ(static_cast<int>(back.GetYearType()), 0xFFFF);
}

TEST(DateEntryRecord, WeekdayFlagIsTrueOnlyForOne) {
    std::string bytes = StoreRecord(MemorialDay());
    for (const auto& [flag, expected] : {std::pair{0, false}, std::pair{1, true}, std::pair{2, false}, std::pair{0x101, false}}) {
        bytes[6] = static_cast<char>(flag & 0xFF);
        bytes[7] = static_cast<char>(flag >> 8);
        DateEntry e;
        LoadRecord(bytes, e);
        EXPECT_EQ(e.GetWeekDay(), expected) << flag;
    }
}

TEST(DateEntryRecord, EveryTruncationEndsAtEndOfFile) {
    const std::string bytes = StoreRecord(MemorialDay());
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        DateEntry e;
        EXPECT_THROW(LoadRecord(bytes.substr(0, n), e), CArchiveException) << n;
    }
}

// ---- DateTime values in SerializeData maps ----

template <typename Map>
Map RoundTrip(Map m) {
    const std::string bytes = StoreBytes([&](CArchive& ar) { SerializeData::Serialize(ar, m); });
    Map back;
    back.emplace(typename Map::key_type{}, DateTime(1, 1, 1, 1, 1, 1));  // emptied by the load
    LoadBytes(bytes, [&](CArchive& ar) { SerializeData::Serialize(ar, back); });
    return back;
}

TEST(DateTimeMaps, RoundTripUnderEveryKeyType) {
    const DateTime a(1999, 12, 31, 23, 59, 59), b = DateOnly(1582, 10, 4), c;
    const std::map<int, DateTime> byInt{{-5, a}, {0, b}, {7, c}};
    const std::map<CString, DateTime> byCString{{"Due", a}, {"due", b}};
    EXPECT_EQ(RoundTrip(byInt), byInt);
    EXPECT_EQ(RoundTrip(byCString), byCString);
    EXPECT_TRUE(RoundTrip(std::map<int, DateTime>{}).empty());
}

TEST(DateTimeMaps, ValueIsTheDateTimeRecord) {
    std::map<int, DateTime> m{{2, DateOnly(1, 1, 3)}, {1, DateTime()}};
    const std::string bytes = StoreBytes([&](CArchive& ar) { SerializeData::Serialize(ar, m); });
    EXPECT_EQ(Hex(bytes),
              "02 00 00 00 "
              "01 00 00 00 01 00 00 00 00 00 FF FF FF FF FF FF FF FF FF FF FF FF "
              "02 00 00 00 01 00 03 00 00 00 FF FF FF FF FF FF FF FF FF FF FF FF");
}

}  // namespace
}  // namespace vutil
