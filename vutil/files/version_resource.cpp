#include "vutil/files/version_resource.h"

#include <cstdint>

#include "vutil/platform/codepage.h"

namespace vutil::version_resource {

namespace {

constexpr std::uint32_t kVersionType = 16;
constexpr std::uint32_t kEnglishUs = 0x409;

bool U16(std::string_view b, std::size_t at, std::uint32_t& v) {
    if (at > b.size() || b.size() - at < 2) return false;
    v = static_cast<unsigned char>(b[at]) | (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8);
    return true;
}
bool U32(std::string_view b, std::size_t at, std::uint32_t& v) {
    std::uint32_t lo, hi;
    if (!U16(b, at, lo) || !U16(b, at + 2, hi)) return false;
    v = lo | (hi << 16);
    return true;
}

struct Image {
    std::string_view bytes;
    std::size_t sections = 0;
    std::uint32_t count = 0;

    // The file offset of an address inside the image, with the bytes left in its section.
    bool ToOffset(std::uint32_t rva, std::size_t& offset, std::size_t& available) const {
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t s = sections + 40u * i;
            std::uint32_t vsize, va, rawSize, raw;
            if (!U32(bytes, s + 8, vsize) || !U32(bytes, s + 12, va) || !U32(bytes, s + 16, rawSize) ||
                !U32(bytes, s + 20, raw))
                return false;
            const std::uint64_t span = vsize > rawSize ? vsize : rawSize;
            if (rva < va || rva - va >= span || rva - va >= rawSize) continue;
            const std::uint64_t at = std::uint64_t{raw} + (rva - va);
            if (at >= bytes.size()) return false;
            offset = static_cast<std::size_t>(at);
            available = static_cast<std::size_t>(
                std::min<std::uint64_t>(bytes.size() - at, std::uint64_t{rawSize} - (rva - va)));
            return true;
        }
        return false;
    }
};

// One level of the resource tree: the entry with the wanted id (or the preferred one, or
// the first when any will do). Returns its offset field.
bool PickEntry(std::string_view tree, std::size_t dir, std::uint32_t want, bool exact, std::uint32_t& result) {
    std::uint32_t named, ids;
    if (!U16(tree, dir + 12, named) || !U16(tree, dir + 14, ids)) return false;
    bool found = false;
    for (std::uint32_t i = 0; i < named + ids; ++i) {
        std::uint32_t name, offset;
        if (!U32(tree, dir + 16 + 8u * i, name) || !U32(tree, dir + 20 + 8u * i, offset)) return false;
        const bool match = !(name & 0x80000000u) && name == want;
        if (match || (!exact && !found)) {
            result = offset;
            found = true;
            if (match) return true;
        }
    }
    return found;
}

// A node of the version tree: its key, its value, and where its children lie.
struct Node {
    std::size_t end = 0, children = 0;
    std::string key;
    std::size_t value = 0, valueBytes = 0;
};

std::size_t Align4(std::size_t at) { return (at + 3) & ~std::size_t{3}; }

bool ReadNode(std::string_view b, std::size_t at, std::size_t limit, Node& n) {
    std::uint32_t length, valueLength, type;
    if (!U16(b, at, length) || !U16(b, at + 2, valueLength) || !U16(b, at + 4, type)) return false;
    if (length < 6 || length > limit - at) return false;
    n.end = at + length;
    std::size_t p = at + 6;
    std::string wide;
    for (;; p += 2) {
        std::uint32_t c;
        if (p + 2 > n.end || !U16(b, p, c)) return false;
        if (c == 0) break;
    }
    n.key = platform::cp::Utf16LeToCp1252(b.substr(at + 6, p - at - 6));
    n.value = std::min(Align4(p + 2), n.end);
    // Text values count UTF-16 units, binary ones bytes.
    n.valueBytes = std::min<std::size_t>(type == 1 ? valueLength * 2u : valueLength, n.end - n.value);
    n.children = std::min(Align4(n.value + n.valueBytes), n.end);
    return true;
}

bool SameKey(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The child of parent with the key.
bool FindChild(std::string_view b, const Node& parent, std::string_view key, Node& child) {
    std::size_t at = parent.children;
    while (at + 6 <= parent.end) {
        if (!ReadNode(b, at, parent.end, child)) return false;
        if (SameKey(child.key, key)) return true;
        at = Align4(child.end);
    }
    return false;
}

}  // namespace

bool FindVersionResource(std::string_view image, std::string_view& resource) {
    std::uint32_t peOffset, sig, sectionCount, optSize, magic;
    if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z' || !U32(image, 0x3C, peOffset) ||
        !U32(image, peOffset, sig) || sig != 0x00004550 || !U16(image, peOffset + 6, sectionCount) ||
        !U16(image, peOffset + 20, optSize) || !U16(image, peOffset + 24, magic))
        return false;
    const std::size_t opt = std::size_t{peOffset} + 24;
    std::size_t dirs, countAt;
    if (magic == 0x10b) {
        dirs = opt + 96;
        countAt = opt + 92;
    } else if (magic == 0x20b) {
        dirs = opt + 112;
        countAt = opt + 108;
    } else {
        return false;
    }
    std::uint32_t dirCount, resRva;
    if (!U32(image, countAt, dirCount) || dirCount < 3 || !U32(image, dirs + 16, resRva) || resRva == 0)
        return false;
    Image img{image, opt + optSize, sectionCount};
    std::size_t root, available;
    if (!img.ToOffset(resRva, root, available)) return false;
    const std::string_view tree = image.substr(root, available);

    // Type, name, language; the tree has these three levels.
    std::uint32_t entry;
    if (!PickEntry(tree, 0, kVersionType, true, entry) || !(entry & 0x80000000u)) return false;
    if (!PickEntry(tree, entry & 0x7FFFFFFFu, 0, false, entry) || !(entry & 0x80000000u)) return false;
    if (!PickEntry(tree, entry & 0x7FFFFFFFu, kEnglishUs, false, entry) || (entry & 0x80000000u)) return false;
    std::uint32_t dataRva, dataSize;
    if (!U32(tree, entry, dataRva) || !U32(tree, entry + 4, dataSize)) return false;
    std::size_t data;
    if (!img.ToOffset(dataRva, data, available) || dataSize > available) return false;
    resource = image.substr(data, dataSize);
    return true;
}

bool QueryVersionString(std::string_view resource, std::string_view table, std::string_view key,
                        std::string& value) {
    value.clear();
    Node root, files, strings, item;
    if (!ReadNode(resource, 0, resource.size(), root) || !SameKey(root.key, "VS_VERSION_INFO")) return false;
    if (!FindChild(resource, root, "StringFileInfo", files) || !FindChild(resource, files, table, strings) ||
        !FindChild(resource, strings, key, item))
        return false;
    std::string_view text = resource.substr(item.value, item.valueBytes);
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        if (text[i] == 0 && text[i + 1] == 0) {
            text = text.substr(0, i);
            break;
        }
    }
    value = platform::cp::Utf16LeToCp1252(text.substr(0, text.size() & ~std::size_t{1}));
    return true;
}

}  // namespace vutil::version_resource
