// Record layouts: CVersionNumber, Address, CPerson and TextArray, newest and older.

#include <gtest/gtest.h>

#include "support/archive_bytes.h"
#include "support/test_support.h"
#include "vutil/core/text_array.h"
#include "vutil/framework/exceptions.h"
#include "vutil/persist/address.h"
#include "vutil/persist/crypto.h"
#include "vutil/persist/person.h"
#include "vutil/persist/version_number.h"

namespace vutil {
namespace {

using namespace test;

void Enc(CArchive& ar, const CString& s) { CCrypto::SerializeEncrypted(s, ar); }

// ---- CVersionNumber ----

struct VersionText {
    const char* text;
    int major, minor, sub;
};

class VersionParse : public testing::TestWithParam<VersionText> {};

TEST_P(VersionParse, SetVersion) {
    const VersionText& c = GetParam();
    CVersionNumber v(c.text);
    EXPECT_EQ(v.GetMajor(), c.major);
    EXPECT_EQ(v.GetMinor(), c.minor);
    EXPECT_EQ(v.GetSub(), c.sub);
}

INSTANTIATE_TEST_SUITE_P(Texts, VersionParse,
                         testing::Values(VersionText{"3,1,4", 3, 1, 4}, VersionText{"7", 7, 0, 0},
                                         VersionText{"  \t ", 0, 0, 0}, VersionText{"1.2.3.4", 1, 2, 3},
                                         VersionText{" 4 . 10 . x", 4, 10, 0}, VersionText{"1,000.2", 1000, 2, 0},
                                         VersionText{"-1.2", -1, 2, 0}));

TEST(VersionNumber, DefaultsOrderAndText) {
    EXPECT_EQ(CVersionNumber().GetString(), CString("1.0.0"));
    EXPECT_TRUE(CVersionNumber(1, 10, 0) > CVersionNumber(1, 9, 5));
    EXPECT_FALSE(CVersionNumber(1, 2, 3) < CVersionNumber(1, 2, 3));
    EXPECT_TRUE(CVersionNumber(-1, 0, 0) < CVersionNumber(0, 0, 0));
    EXPECT_TRUE(CVersionNumber("1.2.3") == CVersionNumber(1, 2, 3));
    EXPECT_EQ(CVersionNumber(1, 10, 0).GetString(), CString("1.10.0"));
}

TEST(VersionNumber, RecordBytesAndRoundTrip) {
    CVersionNumber v(2, -1, 300);
    std::string bytes = StoreRecord(v);
    EXPECT_EQ(Hex(bytes), "01 00 02 00 00 00 FF FF FF FF 2C 01 00 00");
    CVersionNumber back;
    LoadRecord(bytes, back);
    EXPECT_TRUE(back == v);
    // The version value is read and ignored.
    LoadRecord(Bytes({9, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}), back);
    EXPECT_EQ(back.GetString(), CString("1.2.3"));
}

// ---- TextArray ----

TEST(TextArrayRecord, BytesAndRoundTrip) {
    TextArray a;
    a.Add("ab");
    a.Add("");
    std::string bytes = StoreRecord(a);
    EXPECT_EQ(Hex(bytes), "01 00 02 00 00 00 02 61 62 00");
    TextArray back;
    back.Add("old");
    LoadRecord(bytes, back);
    EXPECT_TRUE(back == a);
}

// ---- Address ----

Address SampleAddress() {
    Address a;
    a.SetIsBusiness(true);
    a.SetUniqueID(77);
    for (int f = 0; f < Address::ADDRESS_FIELD_COUNT; ++f) {
        CString s;
        s.Format("field %d", f);
        a.SetData(static_cast<Address::Field>(f), s);
    }
    return a;
}

void ExpectSameAddress(const Address& a, const Address& b) {
    EXPECT_EQ(a.GetIsBusiness(), b.GetIsBusiness());
    EXPECT_EQ(a.GetUniqueID(), b.GetUniqueID());
    ASSERT_EQ(a.GetDataFieldCount(), b.GetDataFieldCount());
    for (int f = 0; f < a.GetDataFieldCount(); ++f) {
        EXPECT_EQ(a.GetData(static_cast<Address::Field>(f)), b.GetData(static_cast<Address::Field>(f))) << f;
    }
}

TEST(AddressRecord, Version2BytesAndRoundTrip) {
    Address a;
    a.SetUniqueID(5);
    a.SetData(Address::ADDRESS_NAME, "N");
    std::string bytes = StoreRecord(a);
    EXPECT_EQ(Hex(bytes.substr(0, 14)), "02 00 05 00 00 00 00 00 0F 00 00 00 01 4E");
    EXPECT_EQ(bytes.size(), 14u + 14u);  // fourteen more empty strings
    Address full = SampleAddress(), back;
    LoadRecord(StoreRecord(full), back);
    ExpectSameAddress(full, back);
}

TEST(AddressRecord, Version1FillsItsTenFields) {
    std::string bytes = StoreBytes([](CArchive& ar) {
        ar << static_cast<WORD>(1);
        for (int i = 1; i <= 10; ++i) {
            CString s;
            s.Format("v1-%d", i);
            Enc(ar, s);
        }
        ar << 4242;
    });
    Address a;
    a.SetIsBusiness(true);
    a.SetData(Address::ADDRESS_NAME, "kept");
    a.SetData(Address::ADDRESS_WEBSITE, "kept too");
    LoadRecord(bytes, a);
    EXPECT_EQ(a.GetUniqueID(), 4242);
    EXPECT_TRUE(a.GetIsBusiness());
    EXPECT_EQ(a.GetData(Address::ADDRESS_NAME), CString("kept"));
    EXPECT_EQ(a.GetData(Address::ADDRESS_WEBSITE), CString("kept too"));
    const int targets[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 14};
    for (int i = 0; i < 10; ++i) {
        CString s;
        s.Format("v1-%d", i + 1);
        EXPECT_EQ(a.GetData(static_cast<Address::Field>(targets[i])), s) << targets[i];
    }
}

TEST(AddressRecord, UnknownVersionReadsNothing) {
    Address a = SampleAddress(), before = SampleAddress();
    a.SetUniqueID(77);
    LoadRecord(Bytes({3, 0, 1, 2, 3}), a);
    ExpectSameAddress(a, before);
}

class AddressFieldCount : public testing::TestWithParam<unsigned int> {};

// The record's field list has a fixed length; any other count is refused as a
// damaged file before a field is read, and the fields keep their 15 entries.
TEST_P(AddressFieldCount, OtherThanFifteenIsAFormatError) {
    const unsigned int count = GetParam();
    std::string bytes = StoreBytes([&](CArchive& ar) {
        ar << static_cast<WORD>(2) << 9;
        ar << static_cast<WORD>(1) << count;
        for (unsigned int i = 0; i < std::min(count, 20u); ++i) ar << CString("x");
    });
    const Address before = SampleAddress();
    Address a = before;
    a.SetIsBusiness(false);
    try {
        LoadRecord(bytes, a);
        ADD_FAILURE() << "no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
    }
    Address expected = before;
    expected.SetUniqueID(9);
    ExpectSameAddress(a, expected);
}

INSTANTIATE_TEST_SUITE_P(Counts, AddressFieldCount, testing::Values(0u, 1u, 14u, 16u, 17u, 0xFFFFFFFFu));

// Copies and reloads of every record are the records_use fuzz target's.
TEST(Address, CompareAndFieldRange) {
    Address a = SampleAddress();
    EXPECT_EQ(Address(a).GetUniqueID(), 77);  // a copy keeps the ID (an assignment does not)
    Address b;
    b.SetIsBusiness(true);
    b.SetData(Address::ADDRESS_NAME, "FIELD 0");
    EXPECT_TRUE(a == b);  // only the flag and field 0 count
    b.SetIsBusiness(false);
    EXPECT_FALSE(a == b);
    EXPECT_THROW(a.GetData(static_cast<Address::Field>(15)), std::out_of_range);
}

TEST(Address, ImportDataAndHave) {
    Address a;
    EXPECT_FALSE(a.ImportData(Address::ADDRESS_CITY, ""));
    EXPECT_TRUE(a.ImportData(Address::ADDRESS_CITY, "Paris"));
    EXPECT_FALSE(a.ImportData(Address::ADDRESS_CITY, "Rome"));
    EXPECT_EQ(a.GetData(Address::ADDRESS_CITY), CString("Paris"));
    EXPECT_TRUE(a.Have("PARIS"));
    EXPECT_FALSE(a.Have("Pari"));
    EXPECT_FALSE(a.Have(""));
}

// ---- CPerson ----

// The 18 text fields in table order, as setters and getters.
using PersonSetter = void (CPerson::*)(const CString&);
const PersonSetter kSetters[18] = {
    &CPerson::SetFirstName, &CPerson::SetMI,        &CPerson::SetLastName,  &CPerson::SetStreet,   &CPerson::SetCity,
    &CPerson::SetState,     &CPerson::SetZip,       &CPerson::SetCountry,   &CPerson::SetHomePhone, &CPerson::SetWorkPhone,
    &CPerson::SetCellPhone, &CPerson::SetFax,       &CPerson::SetEMail,     &CPerson::SetWebSite,  &CPerson::SetFacebook,
    &CPerson::SetTwitter,   &CPerson::SetCompany,   &CPerson::SetNotes};

std::vector<CString> Fields(const CPerson& p) {
    return {p.GetFirstName(), p.GetMI(),        p.GetLastName(),  p.GetStreet(),   p.GetCity(),    p.GetState(),
            p.GetZip(),       p.GetCountry(),   p.GetHomePhone(), p.GetWorkPhone(), p.GetCellPhone(), p.GetFax(),
            p.GetEMail(),     p.GetWebSite(),   p.GetFacebook(),  p.GetTwitter(),  p.GetCompany(), p.GetNotes()};
}

CPerson SamplePerson() {
    const char* values[18] = {"John",     "Q",        "Smith",    "1 Main St",        "Springfield", "IL",
                              "62701",    "USA",      "555 0001", "555 0002",         "555 0003",    "555 0004",
                              "john@example.com", "example.com", "jqs", "@jqs", "Acme", "Notes here"};
    CPerson p;
    for (int f = 0; f < 18; ++f) (p.*kSetters[f])(values[f]);
    p.SetUniqueID(31);
    return p;
}

TEST(PersonRecord, Version9RoundTripAndLayout) {
    CPerson p = SamplePerson();
    std::string bytes = StoreRecord(p);
    // Version 9, then the first name as an encrypted blob of one block.
    EXPECT_EQ(Hex(bytes.substr(0, 6)), "09 00 01 00 10 00");
    EXPECT_EQ(Hex(bytes.substr(bytes.size() - 4)), "1F 00 00 00");
    CPerson back;
    LoadRecord(bytes, back);
    EXPECT_EQ(Fields(back), Fields(p));
    EXPECT_EQ(back.GetUniqueID(), 31);
    // Newer versions than 9 load as 9.
    bytes[0] = 12;
    CPerson newer;
    LoadRecord(bytes, newer);
    EXPECT_EQ(Fields(newer), Fields(p));
}

// Builds an old record: version, strings by the layout, optional ID.
struct OldLayout {
    WORD version;
    bool encrypted;
    std::vector<int> fields;  // field numbers in stored order; -1 discarded, -2 the four phone records
    bool hasId;
};

std::string OldRecord(const OldLayout& layout, const CPerson& source, const std::string& phoneRecords = {}) {
    const std::vector<CString> values = Fields(source);
    std::string bytes = StoreBytes([&](CArchive& ar) {
        ar << layout.version;
        for (int f : layout.fields) {
            if (f == -2) {
                ar.Write(phoneRecords.data(), static_cast<UINT>(phoneRecords.size()));
                continue;
            }
            CString value = f == -1 ? CString("discard me") : values[static_cast<std::size_t>(f)];
            if (layout.encrypted) Enc(ar, value);
            else ar << value;
        }
        if (layout.hasId) ar << 99;
    });
    return bytes;
}

class PersonOldVersion : public testing::TestWithParam<OldLayout> {};

TEST_P(PersonOldVersion, LoadsItsFieldsAndKeepsTheRest) {
    const OldLayout& layout = GetParam();
    const CPerson source = SamplePerson();
    std::string phones;
    if (layout.version == 5) {
        phones = StoreBytes([](CArchive& ar) {
            const int records[4][5] = {{1, 212, 55, 1234, 0}, {44, 212, 55, 1234, 7}, {1, 0, 999, 1, 0}, {1, 212, 0, 1, 0}};
            for (const auto& r : records) ar << static_cast<WORD>(1) << r[0] << r[1] << r[2] << r[3] << r[4];
        });
    }
    CPerson target;
    const CString marker = "untouched";
    for (PersonSetter setter : kSetters) (target.*setter)(marker);
    target.SetUniqueID(5);
    LoadRecord(OldRecord(layout, source, phones), target);

    const std::vector<CString> loaded = Fields(target), expected = Fields(source);
    std::vector<bool> carried(18, false);
    for (int f : layout.fields) {
        if (f >= 0) carried[static_cast<std::size_t>(f)] = true;
    }
    for (int f = 0; f < 18; ++f) {
        if (layout.version == 5 && f >= 8 && f <= 11) continue;  // checked below
        const CString& want = carried[static_cast<std::size_t>(f)] ? expected[static_cast<std::size_t>(f)] : marker;
        EXPECT_EQ(loaded[static_cast<std::size_t>(f)], want) << "version " << layout.version << " field " << f;
    }
    EXPECT_EQ(target.GetUniqueID(), layout.hasId ? 99 : 5);
    if (layout.version == 5) {
        EXPECT_EQ(target.GetHomePhone(), CString("1 (212) 055 1234"));
        EXPECT_EQ(target.GetWorkPhone(), CString("+44 212 055 1234 ext. 7"));
        EXPECT_EQ(target.GetCellPhone(), CString("999 0001"));
        EXPECT_EQ(target.GetFax(), CString(""));
    }
}

const std::vector<int> kLayout2 = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16, 17};

INSTANTIATE_TEST_SUITE_P(
    Versions, PersonOldVersion,
    testing::Values(OldLayout{1, false, {0, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 17}, false},
                    OldLayout{2, false, kLayout2, false}, OldLayout{3, true, kLayout2, false},
                    OldLayout{4, true, kLayout2, true}, OldLayout{6, true, kLayout2, true},
                    OldLayout{5, true, {0, 1, 2, 3, 4, 5, 6, 7, -2, 12, 13, 16, 17}, true},
                    OldLayout{7, true, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16, -1, 17}, true},
                    OldLayout{8, true, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, -1, 17}, true},
                    OldLayout{0, true, {}, false}));

// The old layout above holds the ordinary phone forms.
TEST(Person, PhoneFormatting) {
    EXPECT_EQ(CPerson::FormatPhone(0, 0, 5551, 12345, 12), CString("5551 12345 ext. 12"));
    EXPECT_EQ(CPerson::FormatPhone(0, 7, 1, 2, -3), CString("1 (7) 001 0002"));
}

TEST(Person, NamesPhonesAndSearch) {
    CPerson p = SamplePerson();
    EXPECT_EQ(p.FormName(true), CString("Smith, John Q"));
    EXPECT_EQ(p.FormName(false), CString("John Q Smith"));
    CPerson onlyFirst;
    onlyFirst.SetFirstName("Ann");
    EXPECT_EQ(onlyFirst.FormName(true), CString("Ann"));
    EXPECT_EQ(onlyFirst.FormName(false), CString("Ann"));
    CPerson noFirst;
    noFirst.SetLastName("Lee");
    noFirst.SetMI("B");
    EXPECT_EQ(noFirst.FormName(true), CString("Lee B"));
    EXPECT_EQ(noFirst.FormName(false), CString("B Lee"));

    CPerson phones;
    phones.SetWorkPhone("111");
    phones.SetFax("222");
    EXPECT_EQ(phones.GetPhoneNumbers(), CString("111 (w), 222 (f)"));
    EXPECT_EQ(p.GetPhoneNumbers(), CString("555 0001 (h), 555 0002 (w), 555 0003 (c), 555 0004 (f)"));

    EXPECT_TRUE(p.Find("springf"));
    EXPECT_TRUE(p.Find("@jqs"));
    EXPECT_FALSE(p.Find("Springf"));  // callers pass lower case
    EXPECT_FALSE(p.Find(""));
}

TEST(Person, CompareAndUpdate) {
    CPerson p = SamplePerson();
    CPerson other;
    other.SetFirstName("JOHN");
    other.SetLastName("smith");
    EXPECT_TRUE(p == other);  // middle initial missing on one side
    other.SetMI("R");
    EXPECT_FALSE(p == other);
    other.SetMI("q");
    EXPECT_TRUE(p == other);

    CPerson partial;
    partial.SetFirstName("Jane");
    partial.SetUniqueID(4);
    partial.UpdateMissingData(p);
    EXPECT_EQ(partial.GetFirstName(), CString("Jane"));
    EXPECT_EQ(partial.GetNotes(), CString("Notes here"));
    EXPECT_EQ(partial.GetUniqueID(), 4);
}

TEST(Person, TruncatedRecordThrowsEndOfFile) {
    CPerson p = SamplePerson();
    std::string bytes = StoreRecord(p);
    for (std::size_t cut : {std::size_t{1}, std::size_t{7}, bytes.size() / 2, bytes.size() - 1}) {
        CPerson target;
        try {
            LoadRecord(bytes.substr(0, cut), target);
            ADD_FAILURE() << "cut at " << cut;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
    }
}

}  // namespace
}  // namespace vutil
