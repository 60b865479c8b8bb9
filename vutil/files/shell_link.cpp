#include "vutil/files/shell_link.h"

#include <cstring>

#include "vutil/platform/codepage.h"

namespace vutil::shell_link {

namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
// {00021401-0000-0000-C000-000000000046} in its stored byte order.
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

enum : std::uint32_t {
    kHasIdList = 0x1,
    kHasLinkInfo = 0x2,
    kHasName = 0x4,
    kHasRelativePath = 0x8,
    kHasWorkingDir = 0x10,
    kHasArguments = 0x20,
    kHasIconLocation = 0x40,
    kIsUnicode = 0x80,
    kHasExpString = 0x200,
};
enum : std::uint32_t { kVolumeIdAndLocalBasePath = 0x1, kCommonNetworkRelativeLink = 0x2 };
constexpr std::uint32_t kEnvironmentBlock = 0xA0000001;

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void Put64(std::string& out, std::uint64_t v) {
    Put32(out, static_cast<std::uint32_t>(v));
    Put32(out, static_cast<std::uint32_t>(v >> 32));
}
void Set32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Bounds-checked little-endian reads over the file's bytes.
class Reader {
public:
    explicit Reader(std::string_view b) : m_b(b) {}
    bool U16(std::size_t at, std::uint32_t& v) const {
        if (at > m_b.size() || m_b.size() - at < 2) return false;
        v = Byte(at) | (Byte(at + 1) << 8);
        return true;
    }
    bool U32(std::size_t at, std::uint32_t& v) const {
        std::uint32_t lo, hi;
        if (!U16(at, lo) || !U16(at + 2, hi)) return false;
        v = lo | (hi << 16);
        return true;
    }
    // A NUL-terminated byte string starting at at, within [at, limit).
    bool Ansi(std::size_t at, std::size_t limit, std::string& out) const {
        limit = std::min(limit, m_b.size());
        if (at >= limit) return false;
        const void* nul = std::memchr(m_b.data() + at, 0, limit - at);
        if (!nul) return false;
        out.assign(m_b.data() + at, static_cast<const char*>(nul));
        return true;
    }
    // A NUL-terminated UTF-16LE string, converted to Windows-1252.
    bool Wide(std::size_t at, std::size_t limit, std::string& out) const {
        limit = std::min(limit, m_b.size());
        for (std::size_t i = at; i + 1 < limit; i += 2) {
            if (m_b[i] == 0 && m_b[i + 1] == 0) {
                out = platform::cp::Utf16LeToCp1252(m_b.substr(at, i - at));
                return true;
            }
        }
        return false;
    }
    std::size_t size() const { return m_b.size(); }
    std::string_view bytes() const { return m_b; }

private:
    std::uint32_t Byte(std::size_t at) const { return static_cast<unsigned char>(m_b[at]); }
    std::string_view m_b;
};

// The local base path or network name, joined with the common path suffix.
bool LinkInfoTarget(const Reader& r, std::size_t at, std::string& target) {
    std::uint32_t size, headerSize, flags, localOffset, netOffset, suffixOffset;
    if (!r.U32(at, size) || size < 0x1C || size > r.size() - at || !r.U32(at + 4, headerSize) ||
        !r.U32(at + 8, flags) || !r.U32(at + 16, localOffset) || !r.U32(at + 20, netOffset) ||
        !r.U32(at + 24, suffixOffset))
        return false;
    const std::size_t end = at + size;
    std::string base, suffix;
    bool haveBase = false;
    if (flags & kVolumeIdAndLocalBasePath) {
        std::uint32_t unicodeOffset = 0;
        if (headerSize >= 0x24 && r.U32(at + 28, unicodeOffset) && unicodeOffset)
            haveBase = r.Wide(at + unicodeOffset, end, base);
        if (!haveBase) haveBase = r.Ansi(at + localOffset, end, base);
    } else if (flags & kCommonNetworkRelativeLink) {
        const std::size_t net = at + netOffset;
        std::uint32_t netSize, netNameOffset;
        if (net < end && r.U32(net, netSize) && r.U32(net + 8, netNameOffset) && netSize >= 0x14 &&
            netSize <= end - net) {
            std::uint32_t wideOffset = 0;
            if (netNameOffset > 0x14 && r.U32(net + 20, wideOffset) && wideOffset)
                haveBase = r.Wide(net + wideOffset, net + netSize, base);
            if (!haveBase) haveBase = r.Ansi(net + netNameOffset, net + netSize, base);
            if (haveBase && !base.empty() && base.back() != '\\') base += '\\';
        }
    }
    if (!haveBase) return false;
    std::uint32_t wideSuffix = 0;
    bool haveSuffix = false;
    if (headerSize >= 0x24 && r.U32(at + 32, wideSuffix) && wideSuffix)
        haveSuffix = r.Wide(at + wideSuffix, end, suffix);
    if (!haveSuffix && suffixOffset) r.Ansi(at + suffixOffset, end, suffix);
    target = base + suffix;
    return !target.empty();
}

}  // namespace

std::string BuildLink(const LinkSpec& spec) {
    std::string out;
    Put32(out, kHeaderSize);
    out.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
    Put32(out, kHasLinkInfo | kHasName | kIsUnicode);
    Put32(out, spec.attributes);
    Put64(out, spec.creationTime);
    Put64(out, spec.accessTime);
    Put64(out, spec.writeTime);
    Put32(out, static_cast<std::uint32_t>(spec.size));  // the low 32 bits, as the layout keeps them
    Put32(out, 0);                                       // icon index
    Put32(out, static_cast<std::uint32_t>(spec.showCommand));
    Put16(out, 0);  // hot key
    Put16(out, 0);
    Put32(out, 0);
    Put32(out, 0);

    // Link info: header with the Unicode offsets, volume id of a fixed drive, the paths.
    const std::size_t info = out.size();
    const std::string wideTarget = platform::cp::Cp1252ToUtf16Le(spec.target);
    constexpr std::uint32_t kInfoHeader = 0x24;
    constexpr std::uint32_t kVolumeSize = 0x11;  // fields plus an empty label
    const std::uint32_t localOffset = kInfoHeader + kVolumeSize;
    const std::uint32_t suffixOffset = localOffset + static_cast<std::uint32_t>(spec.target.size()) + 1;
    const std::uint32_t wideLocalOffset = suffixOffset + 1;
    const std::uint32_t wideSuffixOffset = wideLocalOffset + static_cast<std::uint32_t>(wideTarget.size()) + 2;
    Put32(out, 0);  // size, set below
    Put32(out, kInfoHeader);
    Put32(out, kVolumeIdAndLocalBasePath);
    Put32(out, kInfoHeader);  // volume id offset
    Put32(out, localOffset);
    Put32(out, 0);  // no network link
    Put32(out, suffixOffset);
    Put32(out, wideLocalOffset);
    Put32(out, wideSuffixOffset);
    Put32(out, kVolumeSize);
    Put32(out, 3);     // a fixed drive
    Put32(out, 0);     // serial number unknown
    Put32(out, 0x10);  // label offset
    out += '\0';
    out += spec.target;
    out += '\0';
    out += '\0';  // empty common path suffix
    out += wideTarget;
    Put16(out, 0);
    Put16(out, 0);  // empty Unicode suffix
    Set32(out, info, static_cast<std::uint32_t>(out.size() - info));

    const std::string wideName = platform::cp::Cp1252ToUtf16Le(spec.description);
    Put16(out, static_cast<std::uint32_t>(wideName.size() / 2));
    out += wideName;
    Put32(out, 0);  // terminal block
    return out;
}

bool ReadLinkTarget(std::string_view bytes, std::string& target, std::string* relativePath) {
    target.clear();
    const Reader r(bytes);
    std::uint32_t headerSize, flags;
    if (!r.U32(0, headerSize) || headerSize != kHeaderSize || bytes.size() < kHeaderSize ||
        std::memcmp(bytes.data() + 4, kLinkClsid, sizeof kLinkClsid) != 0 || !r.U32(20, flags))
        return false;
    std::size_t at = kHeaderSize;
    if (flags & kHasIdList) {
        std::uint32_t idSize;
        if (!r.U16(at, idSize)) return false;
        at += 2 + idSize;
    }
    std::string fromInfo;
    if (flags & kHasLinkInfo) {
        std::uint32_t infoSize;
        if (!r.U32(at, infoSize) || infoSize < 4 || infoSize > bytes.size() - at) return false;
        LinkInfoTarget(r, at, fromInfo);
        at += infoSize;
    }
    // String data: name, relative path, working directory, arguments, icon location.
    std::string relative;
    const bool unicode = flags & kIsUnicode;
    const std::uint32_t kStringFlags[] = {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments,
                                          kHasIconLocation};
    for (std::uint32_t f : kStringFlags) {
        if (!(flags & f)) continue;
        std::uint32_t count;
        if (!r.U16(at, count)) return false;
        const std::size_t length = unicode ? count * 2u : count;
        if (length > bytes.size() - at - 2) return false;
        if (f == kHasRelativePath) {
            const std::string_view raw = bytes.substr(at + 2, length);
            relative = unicode ? platform::cp::Utf16LeToCp1252(raw) : std::string(raw);
        }
        at += 2 + length;
    }
    // Extra data blocks; the environment block holds the unexpanded target.
    std::string fromEnvironment;
    if (flags & kHasExpString) {
        for (int guard = 0; guard < 4096; ++guard) {
            std::uint32_t blockSize, signature;
            if (!r.U32(at, blockSize) || blockSize < 8 || blockSize > bytes.size() - at) break;
            if (r.U32(at + 4, signature) && signature == kEnvironmentBlock && blockSize >= 0x314) {
                std::string wide;
                if (r.Wide(at + 268, at + 268 + 520, wide) && !wide.empty()) fromEnvironment = wide;
                else r.Ansi(at + 8, at + 268, fromEnvironment);
                break;
            }
            at += blockSize;
        }
    }
    if (relativePath) *relativePath = relative;
    if (!fromEnvironment.empty()) target = fromEnvironment;
    else if (!fromInfo.empty()) target = fromInfo;
    return !target.empty() || !relative.empty();
}

std::string BuildUrlShortcut(std::string_view url) {
    std::string address(url);
    const std::size_t colon = address.find(':');
    bool hasScheme = colon != std::string::npos && colon > 1;
    for (std::size_t i = 0; hasScheme && i < colon; ++i) {
        const char c = address[i];
        hasScheme = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (i > 0 && ((c >= '0' && c <= '9') ||
                                                                                   c == '+' || c == '-' || c == '.'));
    }
    if (!hasScheme) {
        const bool ftp = address.size() > 4 && (address.compare(0, 4, "ftp.") == 0 || address.compare(0, 4, "FTP.") == 0);
        address = (ftp ? "ftp://" : "http://") + address;
    }
    return "[InternetShortcut]\r\nURL=" + address + "\r\n";
}

}  // namespace vutil::shell_link
