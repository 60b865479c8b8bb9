// Windows-1252 to wide text (checked against iconv) and the shell's string-return struct.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "support/test_support.h"
#include "vutil/text/string_utils.h"

using namespace vutil;

namespace {

std::unique_ptr<wchar_t[]> Wide(CString text) { return std::unique_ptr<wchar_t[]>(CStringUtils::ConvertToWCHAR(text)); }

bool Undefined1252(int b) { return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D; }

TEST(ConvertToWCHAR, AgreesWithIconv) {
    if (!vutil::test::HaveProgram("iconv")) GTEST_SKIP() << "iconv not installed";
    vutil::test::TempDir dir;
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        if (!Undefined1252(b)) bytes += static_cast<char>(b);
    vutil::test::WriteFileBytes(dir.File("in"), bytes);
    ASSERT_EQ(vutil::test::RunCommand("iconv -f CP1252 -t UTF-32LE " + dir.File("in") + " > " + dir.File("out")), 0);
    std::string utf32 = vutil::test::ReadFileBytes(dir.File("out"));
    ASSERT_EQ(utf32.size(), bytes.size() * 4);

    auto wide = Wide(CString(bytes));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char32_t expected = 0;
        std::memcpy(&expected, utf32.data() + 4 * i, 4);  // little-endian host
        EXPECT_EQ(static_cast<char32_t>(wide[i]), expected) << "byte " << vutil::test::Hex(bytes.substr(i, 1));
    }
    EXPECT_EQ(wide[bytes.size()], L'\0');
}

TEST(ConvertToWCHAR, UndefinedBytesAndEnds) {
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        auto wide = Wide(CString(std::string(1, static_cast<char>(b))));
        EXPECT_EQ(static_cast<int>(wide[0]), b);
    }
    auto empty = Wide(CString());
    EXPECT_EQ(empty[0], L'\0');
    auto cut = Wide(CString(std::string("ab\0cd", 5)));  // ends at the first NUL
    EXPECT_EQ(std::wcslen(cut.get()), 2u);
}

ITEMIDLIST* FakePidl() {
    // Any non-null list will do for the kinds that do not read it.
    static unsigned char storage[16] = {};
    return reinterpret_cast<ITEMIDLIST*>(storage);
}

TEST(STRRETToCString, ThreeKinds) {
    STRRET inline_{};
    inline_.uType = vutil::STRRET_CSTR;
    std::strcpy(inline_.cStr, "My Documents");
    EXPECT_EQ(CStringUtils::STRRETToCString(inline_, FakePidl()), "My Documents");

    // An item list: cb, then the display name at byte offset 6.
    alignas(ITEMIDLIST) unsigned char list[32] = {};
    list[0] = 20;
    std::memcpy(list + 6, "Drive C", 8);
    STRRET offset{};
    offset.uType = vutil::STRRET_OFFSET;
    offset.uOffset = 6;
    EXPECT_EQ(CStringUtils::STRRETToCString(offset, reinterpret_cast<ITEMIDLIST*>(list)), "Drive C");

    wchar_t text[] = L"caf\u00e9 \u20ac \u4e2d";  // the last has no Windows-1252 byte
    STRRET wide{};
    wide.uType = vutil::STRRET_WSTR;
    wide.pOleStr = text;
    EXPECT_EQ(CStringUtils::STRRETToCString(wide, FakePidl()), "caf\xE9 \x80 ?");
    EXPECT_EQ(std::wcscmp(text, L"caf\u00e9 \u20ac \u4e2d"), 0);  // left as the caller gave it

    // No item list: empty whatever the struct holds. Unknown kind: empty.
    EXPECT_EQ(CStringUtils::STRRETToCString(inline_, nullptr), "");
    EXPECT_EQ(CStringUtils::STRRETToCString(wide, nullptr), "");
    STRRET other{};
    other.uType = 7;
    EXPECT_EQ(CStringUtils::STRRETToCString(other, FakePidl()), "");
}

TEST(STRRETToCString, WideRoundTripOfEveryByte) {
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
    auto wide = Wide(CString(bytes));
    STRRET s{};
    s.uType = vutil::STRRET_WSTR;
    s.pOleStr = wide.get();
    EXPECT_EQ(CStringUtils::STRRETToCString(s, FakePidl()).str(), bytes);
}

}  // namespace
