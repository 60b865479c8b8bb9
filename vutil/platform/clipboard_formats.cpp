// The byte formats of the clipboard, shared by every backend.

#include <cstdint>

#include "vutil/platform/clipboard.h"

namespace vutil::platform {

namespace {

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t GetU32(std::string_view in, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
    return v;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string EncodeDropFiles(const std::vector<std::string>& names) {
    std::string block;
    PutU32(block, 20);
    PutU32(block, 0);
    PutU32(block, 0);
    PutU32(block, 0);
    PutU32(block, 1);
    for (const auto& name : names) {
        for (char c : name) {
            block += c;  // the byte itself is the unit: no code-page conversion
            block += '\0';
        }
        block.append(2, '\0');
    }
    block.append(2, '\0');
    return block;
}

std::vector<std::string> DecodeDropFiles(std::string_view block) {
    std::vector<std::string> names;
    if (block.size() < 20) return names;
    std::uint32_t offset = GetU32(block, 0);
    bool wide = GetU32(block, 16) != 0;
    if (offset > block.size()) return names;
    std::string name;
    const std::size_t unit = wide ? 2 : 1;
    for (std::size_t at = offset; at + unit <= block.size(); at += unit) {
        unsigned value = static_cast<unsigned char>(block[at]);
        if (wide) value |= static_cast<unsigned>(static_cast<unsigned char>(block[at + 1])) << 8;
        if (value == 0) {
            if (name.empty()) break;  // the empty name closes the list
            names.push_back(std::move(name));
            name.clear();
            continue;
        }
        name += value < 0x100 ? static_cast<char>(value) : '?';
    }
    return names;
}

std::string SerializeClipboard(const ClipboardFormats& formats) {
    std::string out = "VUTILCLIP 1\n";
    for (const auto& [name, bytes] : formats) {
        out += name;
        out += '\n';
        out += std::to_string(bytes.size());
        out += '\n';
        out += bytes;
        out += '\n';
    }
    return out;
}

bool ParseClipboard(std::string_view bytes, ClipboardFormats& formats) {
    formats.clear();
    constexpr std::string_view kMagic = "VUTILCLIP 1\n";
    if (bytes.substr(0, kMagic.size()) != kMagic) return false;
    bytes.remove_prefix(kMagic.size());
    while (!bytes.empty()) {
        std::size_t nl = bytes.find('\n');
        if (nl == std::string_view::npos) return false;
        std::string name(bytes.substr(0, nl));
        bytes.remove_prefix(nl + 1);
        nl = bytes.find('\n');
        if (nl == std::string_view::npos || nl == 0 || nl > 18) return false;
        std::uint64_t size = 0;
        for (char c : bytes.substr(0, nl)) {
            if (c < '0' || c > '9') return false;
            size = size * 10 + static_cast<std::uint64_t>(c - '0');
        }
        bytes.remove_prefix(nl + 1);
        if (size >= bytes.size() || bytes[size] != '\n') return false;
        formats.emplace_back(std::move(name), std::string(bytes.substr(0, size)));
        bytes.remove_prefix(size + 1);
    }
    return true;
}

std::vector<std::string> FileUrisToPaths(std::string_view uriList) {
    std::vector<std::string> paths;
    while (!uriList.empty()) {
        std::size_t nl = uriList.find('\n');
        std::string_view line = uriList.substr(0, nl);
        uriList.remove_prefix(nl == std::string_view::npos ? uriList.size() : nl + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
        if (line.substr(0, 7) != "file://") continue;  // comments and other schemes
        line.remove_prefix(7);
        std::size_t slash = line.find('/');
        if (slash == std::string_view::npos) continue;
        std::string_view host = line.substr(0, slash);
        if (!host.empty() && host != "localhost") continue;  // another machine's file
        line.remove_prefix(slash);
        std::string path;
        for (std::size_t i = 0; i < line.size(); ++i) {
            int hi = 0, lo = 0;
            if (line[i] == '%' && i + 2 < line.size() && (hi = HexValue(line[i + 1])) >= 0 &&
                (lo = HexValue(line[i + 2])) >= 0) {
                path += static_cast<char>(hi * 16 + lo);
                i += 2;
            } else {
                path += line[i];
            }
        }
        if (path.find('\0') == std::string::npos) paths.push_back(std::move(path));
    }
    return paths;
}

std::string PathToFileUri(std::string_view hostPath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : hostPath) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

}  // namespace vutil::platform
