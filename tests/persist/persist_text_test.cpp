// Decimal byte text, the registry's space-separated form among them.

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vutil
