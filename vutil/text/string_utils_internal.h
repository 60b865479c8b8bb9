#pragma once
// Helpers shared by the CStringUtils sources; not part of the public interface.
//
// Every byte goes to the character tests as a signed value, so 0x80-0xFF fall outside
// the tables: never blank, letter, digit or punctuation, and without case.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "vutil/text/string_utils.h"

namespace vutil::text_detail {

inline int Signed(char c) noexcept { return static_cast<signed char>(c); }

inline bool Blank(char c) noexcept { return CStringUtils::IsSpace(Signed(c)); }
inline bool Letter(char c) noexcept { return CStringUtils::IsAlpha(Signed(c)); }
inline bool Digit(char c) noexcept { return CStringUtils::IsDigit(Signed(c)); }

// The "C" locale's ispunct as a constant table: the library's text functions want the
// same answer whatever locale the host has switched to since, and a table read is far
// cheaper than a call per byte.
inline constexpr std::array<bool, 256> kPunct = [] {
    std::array<bool, 256> t{};
    for (int c = 0x21; c <= 0x7E; ++c) {
        bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        t[static_cast<std::size_t>(c)] = !alnum;
    }
    return t;
}();
inline bool Punct(char c) noexcept { return kPunct[static_cast<unsigned char>(c)]; }

// The bytes that end a word, Windows-1252 values included; the hyphen is listed twice,
// as in the set callers have always seen.
inline constexpr std::string_view kWordSeparators =
    " ?.,\xB7\"\x93\x94:;/()&*-+\xB1\xF7\xD7=|\\[]-\xAD\x96\x97\t\r\n\x85";
static_assert(kWordSeparators.size() == 33);

// A character set given as a string, for per-byte membership tests.
inline bool InSet(std::string_view set, char c) noexcept { return set.find(c) != std::string_view::npos; }

// Lower-cased copy through the library's tables; bytes 0x80-0xFF stay as they are
// whatever locale filled the tables.
inline std::string Lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (Signed(c) >= 0) c = static_cast<char>(CStringUtils::m_tableLowercase[static_cast<unsigned char>(c)]);
    return out;
}

inline bool AllBlank(std::string_view s) noexcept {
    for (char c : s)
        if (!Blank(c)) return false;
    return true;
}

inline int ToInt(std::size_t v) noexcept { return static_cast<int>(v); }
inline int FoundAt(std::size_t pos) noexcept { return pos == std::string_view::npos ? -1 : static_cast<int>(pos); }

// [first, last) of the text left by CStringUtils::TrimPunctuation, without copying.
std::pair<std::size_t, std::size_t> TrimPunctuationBounds(std::string_view text, std::string_view keepLeading,
                                                          std::string_view keepTrailing) noexcept;

}  // namespace vutil::text_detail
