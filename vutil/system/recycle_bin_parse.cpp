// The bins' own file formats, parsed from bytes.

#include <algorithm>
#include <array>
#include <cstring>

#include "vutil/system/recycle_bin_internal.h"

namespace vutil::recycle_internal {

namespace {

constexpr std::size_t kPathBytes = 260;
// A record's fields end 4 + 268 bytes into its block; later bytes are never looked at.
constexpr std::size_t kBlockPrefix = 4 + kPathBytes + 8;

std::uint32_t Le32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

// Fills buffer with up to count bytes, as one read of a file would.
std::size_t ReadFully(ByteReader& read, char* buffer, std::size_t count) {
    std::size_t got = 0;
    while (got < count) {
        const std::size_t n = read(buffer + got, count - got);
        if (n == 0) break;
        got += n;
    }
    return got;
}

bool IsUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t len;
        char32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            len = 2, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::int32_t IndexRecordSize(ByteReader& read) {
    std::array<char, 16> head{};
    ReadFully(read, head.data(), head.size());
    return static_cast<std::int32_t>(Le32(head.data() + 12));
}

void ReadIndexBlocks(ByteReader& read, std::int32_t recordSize, const std::function<void(const IndexRecord&)>& visit) {
    if (recordSize <= 0) return;
    const std::size_t size = static_cast<std::size_t>(recordSize);
    std::array<char, kBlockPrefix> buffer{};
    std::array<char, 4096> skip{};
    for (;;) {
        // Only the head of a block is kept; the rest is read past, so a huge record
        // size costs no memory and a short block leaves the older bytes in place.
        std::size_t got = ReadFully(read, buffer.data(), std::min(size, buffer.size()));
        if (got == buffer.size()) {
            for (std::size_t rest = size - got; rest > 0;) {
                const std::size_t n = ReadFully(read, skip.data(), std::min(rest, skip.size()));
                if (n == 0) break;
                rest -= n;
                got += n;
            }
        }
        if (got == 0) return;
        const char* path = buffer.data() + 4;
        const std::size_t len = std::find(path, path + kPathBytes, '\0') - path;
        IndexRecord record{CString(path, static_cast<int>(len)),
                           static_cast<std::int32_t>(Le32(path + kPathBytes)), Le32(path + kPathBytes + 4)};
        visit(record);
    }
}

CString InfoFormerPath(std::string_view head) {
    head = head.substr(0, std::min<std::size_t>(head.size(), 1000));
    std::string out;
    for (std::size_t i = 24; i < head.size(); ++i) {
        if (head[i] != '\0') {
            out += head[i];
            continue;
        }
        if (!out.empty() && i + 1 < head.size() && head[i + 1] == '\0') break;
    }
    return CString(std::move(out));
}

bool ParseTrashInfo(std::string_view text, std::string& path) {
    path.clear();
    if (!IsUtf8(text)) return false;
    bool inGroup = false, found = false;
    std::string_view value;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        const std::string_view line = TrimBlanks(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inGroup = line == "[Trash Info]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inGroup || eq == std::string_view::npos || TrimBlanks(line.substr(0, eq)) != "Path" || found) continue;
        value = TrimBlanks(line.substr(eq + 1));
        found = true;
    }
    if (!found || value.empty()) return false;
    std::string decoded;
    decoded.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            decoded += value[i];
            continue;
        }
        if (i + 2 >= value.size()) return false;
        const int hi = HexDigit(value[i + 1]), lo = HexDigit(value[i + 2]);
        if (hi < 0 || lo < 0) return false;
        decoded += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    if (decoded.find('\0') != std::string::npos) return false;
    path = std::move(decoded);
    return true;
}

}  // namespace vutil::recycle_internal
