#pragma once
// Windows-1252 <-> Unicode, for the backend's text files and the C library's
// locale texts, and for every layer above that converts text. Plain code, no OS calls.

#include <cstdint>
#include <string>
#include <string_view>

namespace vutil::platform::cp {

// The code point of a Windows-1252 byte. The five bytes the code page leaves
// undefined map to the C1 controls of the same number, so every byte round-trips.
char32_t Cp1252ToUnicode(unsigned char byte) noexcept;
// The Windows-1252 byte of a code point, or '?' when the code page has none.
char UnicodeToCp1252(char32_t cp) noexcept;

void AppendUtf8(std::string& out, char32_t cp);
// Windows-1252 bytes as UTF-8.
std::string Cp1252ToUtf8(std::string_view text);
// UTF-8 as Windows-1252. A byte that does not start a valid UTF-8 sequence is taken
// as a Windows-1252 byte of its own, so hand-edited files still read.
std::string Utf8ToCp1252(std::string_view text);
// UTF-16LE bytes (an odd last byte is dropped) as UTF-8; lone surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);
// Windows-1252 bytes as UTF-16LE bytes, one unit per byte, and back.
std::string Cp1252ToUtf16Le(std::string_view text);
std::string Utf16LeToCp1252(std::string_view bytes);

// Block conversions for the text files, no allocation. UTF-16 units to Windows-1252:
// one byte per character, a surrogate pair counting as one character; a character the
// code page lacks (a lone surrogate too) becomes defaultChar and sets *usedDefault when
// given. Returns the bytes written (at most count).
std::size_t Utf16ToCp1252(const char16_t* units, std::size_t count, char* out, char defaultChar,
                          bool* usedDefault) noexcept;
// Windows-1252 bytes to UTF-16 units, one unit per byte.
void Cp1252ToUtf16(const char* text, std::size_t count, char16_t* out) noexcept;

}  // namespace vutil::platform::cp
