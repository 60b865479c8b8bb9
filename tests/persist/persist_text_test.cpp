// Decimal byte text (the registry's space-separated form among them) and stepping
// back over a marker.

#include <gtest/gtest.h>

#include <climits>

#include "archive_bytes.h"
#include "support/test_support.h"
#include "vutil/persist/persist_text.h"

namespace vutil {
namespace {

using namespace persist_text;

TEST(PersistText, EmptyPiecesOfByteTextAreZeroBytes) {
    // Every separator counts, so a doubled or trailing one still yields a byte.
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"1, , 2", {1, 0, 2}}, {"5, ", {5, 0}}, {"", {0}}, {"300, -1", {44, 255}}, {"1,2", {12}}};
    for (const auto& [text, expected] : cases) {
        CByteArray bytes;
        bytes.Add(99);  // emptied first
        DecimalTextToBytes(text, ", ", bytes);
        std::vector<int> got;
        for (int i = 0; i < bytes.GetSize(); ++i) got.push_back(bytes[i]);
        EXPECT_EQ(got, expected) << text;
    }
}

TEST(PersistText, SpaceSeparatedByteText) {
    CByteArray bytes;
    for (int b : {7, 200, 31, 0, 255}) bytes.Add(static_cast<BYTE>(b));
    const CString text = BytesToDecimalText(bytes, " ");
    EXPECT_EQ(text, CString("7 200 31 0 255"));
    CByteArray back;
    DecimalTextToBytes(text, " ", back);
    EXPECT_EQ(back, bytes);
}

TEST(RewindArchive, StepsBackOverAMarkerAcrossARefill) {
    // With a 128-byte buffer the marker at offset 127 straddles the first refill.
    std::string bytes(127, '\x01');
    bytes += test::Bytes({0x34, 0x12, 0x78, 0x56});
    std::vector<BYTE> copy(bytes.begin(), bytes.end());
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CRewindArchive ar(&file, CArchive::load, 128);
    std::vector<BYTE> skip(127);
    ar.ReadExact(skip.data(), skip.size());
    WORD first = 0, again = 0, next = 0;
    ar >> first;
    ar.DoRewindWORD();
    ar >> again >> next;
    EXPECT_EQ(first, 0x1234);
    EXPECT_EQ(again, 0x1234);
    EXPECT_EQ(next, 0x5678);
}

}  // namespace
}  // namespace vutil
