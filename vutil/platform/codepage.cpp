#include "vutil/platform/codepage.h"

#include <array>

namespace vutil::platform::cp {

namespace {

constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when it is not valid.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp) noexcept {
    auto b = static_cast<unsigned char>(s[i]);
    std::size_t len;
    char32_t min;
    if (b < 0x80) {
        cp = b;
        return 1;
    } else if ((b & 0xE0) == 0xC0) {
        len = 2, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        len = 3, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        len = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

char32_t Cp1252ToUnicode(unsigned char byte) noexcept {
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

char UnicodeToCp1252(char32_t cp) noexcept {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {
bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}
}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
    if (IsAscii(text)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x80) out += c;
        else AppendUtf8(out, Cp1252ToUnicode(b));
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    if (IsAscii(text)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            out += text[i++];
            continue;
        }
        char32_t cp;
        std::size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            out += text[i++];
        } else {
            out += UnicodeToCp1252(cp);
            i += len;
        }
    }
    return out;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    std::size_t n = bytes.size() / 2;
    auto unit = [&](std::size_t k) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                     (static_cast<unsigned char>(bytes[2 * k + 1]) << 8));
    };
    for (std::size_t k = 0; k < n; ++k) {
        char32_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < n && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00);
            ++k;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            u = 0xFFFD;
        }
        AppendUtf8(out, u);
    }
    return out;
}

std::string Cp1252ToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        char32_t u = Cp1252ToUnicode(static_cast<unsigned char>(c));
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

std::string Utf16LeToCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t k = 0; k + 1 < bytes.size(); k += 2) {
        char32_t u = static_cast<unsigned char>(bytes[k]) | (static_cast<unsigned char>(bytes[k + 1]) << 8);
        out += UnicodeToCp1252(u);
    }
    return out;
}

namespace {

// Every UTF-16 unit to its Windows-1252 byte, 0 when the code page has none; built
// once from the table above and never freed.
const unsigned char* WideToByteTable() {
    static const unsigned char* const table = [] {
        auto* t = new unsigned char[0x10000]();
        for (unsigned b = 1; b < 256; ++b) t[Cp1252ToUnicode(static_cast<unsigned char>(b))] = static_cast<unsigned char>(b);
        return t;
    }();
    return table;
}

}  // namespace

std::size_t Utf16ToCp1252(const char16_t* units, std::size_t count, char* out, char defaultChar,
                          bool* usedDefault) noexcept {
    const unsigned char* table = WideToByteTable();
    char* const start = out;
    std::size_t i = 0;
    while (i < count) {
        // Sixteen units at a time without a branch per unit; a chunk with a character
        // the table lacks is done again unit by unit.
        while (i + 16 <= count) {
            unsigned missing = 0;
            for (int k = 0; k < 16; ++k) {
                char16_t u = units[i + k];
                unsigned char c = table[u];
                out[k] = static_cast<char>(c);
                missing |= static_cast<unsigned>(c == 0) & static_cast<unsigned>(u != 0);
            }
            if (missing) break;
            out += 16;
            i += 16;
        }
        std::size_t end = i + 16 < count ? i + 16 : count;
        for (; i < end; ++i) {
            char16_t u = units[i];
            unsigned char c = table[u];
            if (c != 0 || u == 0) {
                *out++ = static_cast<char>(c);
                continue;
            }
            // A surrogate pair is one character, a lone surrogate one too.
            if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) ++i;
            *out++ = defaultChar;
            if (usedDefault) *usedDefault = true;
        }
    }
    return static_cast<std::size_t>(out - start);
}

void Cp1252ToUtf16(const char* text, std::size_t count, char16_t* out) noexcept {
    static const auto table = [] {
        std::array<char16_t, 256> t{};
        for (unsigned b = 0; b < 256; ++b) t[b] = static_cast<char16_t>(Cp1252ToUnicode(static_cast<unsigned char>(b)));
        return t;
    }();
    for (std::size_t i = 0; i < count; ++i) out[i] = table[static_cast<unsigned char>(text[i])];
}

}  // namespace vutil::platform::cp
