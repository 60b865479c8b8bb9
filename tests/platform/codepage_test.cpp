// Windows-1252 conversions of the POSIX backend against iconv.

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "vutil/platform/codepage.h"

namespace vutil {
namespace {

namespace cp = platform::cp;

TEST(Codepage, MatchesIconvForEveryDefinedByte) {
    if (!test::HaveProgram("iconv")) GTEST_SKIP() << "iconv missing";
    test::TempDir dir;
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) all += static_cast<char>(b);
    test::WriteFileBytes(dir.File("in"), all);
    std::string utf8, utf16;
    ASSERT_EQ(test::RunCommand("iconv -f WINDOWS-1252 -t UTF-8 " + dir.File("in"), &utf8), 0);
    ASSERT_EQ(test::RunCommand("iconv -f WINDOWS-1252 -t UTF-16LE " + dir.File("in"), &utf16), 0);
    EXPECT_EQ(cp::Cp1252ToUtf8(all), utf8);
    EXPECT_EQ(cp::Cp1252ToUtf16Le(all), utf16);
    EXPECT_EQ(cp::Utf8ToCp1252(utf8), all);
    EXPECT_EQ(cp::Utf16LeToCp1252(utf16), all);
    EXPECT_EQ(cp::Utf16LeToUtf8(utf16), utf8);
}

TEST(Codepage, UndefinedBytesAndStrayUtf8StillRoundTrip) {
    std::string odd = test::Bytes({0x81, 0x8D, 0x8F, 0x90, 0x9D});
    EXPECT_EQ(cp::Utf8ToCp1252(cp::Cp1252ToUtf8(odd)), odd);
    // A lone lead byte, a truncated sequence and an overlong form are taken as bytes.
    std::string stray = test::Bytes({'a', 0xC3, 'b', 0xE2, 0x82, 0xC0, 0xAF});
    EXPECT_EQ(cp::Utf8ToCp1252(stray), stray);
    EXPECT_EQ(cp::Utf8ToCp1252("\xE4\xB8\xAD"), "?");  // no Windows-1252 form
    EXPECT_EQ(cp::Utf16LeToUtf8(test::Bytes({0x00, 0xD8, 'A', 0})), "\xEF\xBF\xBD" "A");  // lone surrogate
}

}  // namespace
}  // namespace vutil
