// vutil archive dump on files written by the library.

#include <gtest/gtest.h>

#include "support/archive_bytes.h"
#include "support/test_support.h"
#include "vutil/core/text_array.h"
#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"
#include "vutil/persist/address.h"
#include "vutil/persist/crypto.h"
#include "vutil/persist/person.h"
#include "vutil/persist/version_number.h"

namespace vutil {
namespace {

std::string Dump(const test::TempDir& dir, const std::string& bytes, const std::string& options, int* status = nullptr) {
    const std::string path = dir.File("doc.bin");
    test::WriteFileBytes(path, bytes);
    std::string out;
    int rc = test::RunCli("archive dump " + path + " " + options, &out, "");
    if (status) *status = rc;
    return out;
}

TEST(ArchiveDump, PrimitivesOfARecordRun) {
    test::TempDir dir;
    std::string bytes = test::StoreBytes([](CArchive& ar) {
        ar << static_cast<WORD>(2) << 5;
        ar << CString("plain text");
        CCrypto::SerializeEncrypted("hidden", ar);
        ar << -1;
    });
    EXPECT_EQ(Dump(dir, bytes, ""),
              "00000000  u16       2\n"
              "00000002  i32       5\n"
              "00000006  string    \"plain text\"\n"
              "00000011  encrypted \"hidden\" (16 bytes)\n"
              "00000025  i32       -1\n");
}

TEST(ArchiveDump, Records) {
    test::TempDir dir;
    CPerson p;
    p.SetFirstName("Ada");
    p.SetNotes("line\x01");
    p.SetUniqueID(12);
    CVersionNumber v1(1, 2, 3), v2(4, 5, 6);
    TextArray a;
    a.Add("one");
    Address addr;
    addr.SetData(Address::ADDRESS_CITY, "Oslo");

    EXPECT_EQ(Dump(dir, test::StoreRecord(p), "--as person"),
              "CPerson id 12\n  first name: \"Ada\"\n  notes: \"line\\x01\"\n");
    EXPECT_EQ(Dump(dir, test::StoreBytes([&](CArchive& ar) {
                       v1.Serialize(ar);
                       v2.Serialize(ar);
                   }),
                   "--as version"),
              "CVersionNumber 1.2.3\nCVersionNumber 4.5.6\n");
    EXPECT_EQ(Dump(dir, test::StoreRecord(a), "--as textarray"),
              "TextArray, 1 items\n  [0] \"one\"\n");
    EXPECT_EQ(Dump(dir, test::StoreRecord(addr), "--as address"),
              "Address id 0\n  [3] \"Oslo\"\n");
    int status = 0;
    std::string out = Dump(dir, test::StoreRecord(v1).substr(0, 9), "--as version", &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, "truncated record at offset 0\n");
    // A damaged address names the problem.
    const std::string damaged =
        test::StoreBytes([](CArchive& ar) { ar << static_cast<WORD>(2) << 1 << static_cast<WORD>(0) << 17u; });
    EXPECT_EQ(Dump(dir, damaged, "--as address", &status), "damaged record at offset 0 (invalid file format)\n");
    EXPECT_EQ(status, 1);
}

TEST(ArchiveDump, DateRecords) {
    test::TempDir dir;
    DateTime full(9999, 12, 31, 23, 5, 9), dateOnly, nothing;
    dateOnly.SetDate(1582, 10, 4);
    const std::string times = test::StoreBytes([&](CArchive& ar) {
        full.Serialize(ar);
        dateOnly.Serialize(ar);
        nothing.Serialize(ar);
        ar << static_cast<WORD>(1) << -4 << 24 << 0 << 0;  // out of range both ways
    });
    EXPECT_EQ(Dump(dir, times, "--as datetime"),
              "DateTime day 3652061 (9999-12-31), 23:05:09\n"
              "DateTime day 577737 (1582-10-04), no time\n"
              "DateTime day 0 (no date), no time\n"
              "DateTime day -4 (out of range), time 24:0:0 (out of range)\n");

    DateEntry rule;
    rule.SetDayOfWeek("Thanksgiving", DateEntry::OCCURRENCE_FOURTH, 5, 11);
    rule.SetID(3);
    EXPECT_EQ(Dump(dir, test::StoreRecord(rule), "--as dateentry"),
              "DateEntry id 3 \"Thanksgiving\"\n"
              "  occurrence 4, year type 0, weekday no\n"
              "  day 0, day of week 5, before/after 0, month 11, year 0\n");
    int status = 0;
    Dump(dir, times.substr(0, 20), "--as datetime", &status);
    EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace vutil
