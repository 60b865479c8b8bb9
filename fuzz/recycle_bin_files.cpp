// Arbitrary bytes as a bin's index file, as a per-item information file and as a
// desktop .trashinfo file. The index walk must see the same blocks whether the file
// arrives in one read or in small pieces, and stay within the bytes it was given.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "vutil/system/recycle_bin_internal.h"

namespace ri = vutil::recycle_internal;

namespace {

struct Seen {
    std::string path;
    std::int32_t index;
    std::uint32_t drive;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> Walk(std::string_view bytes, std::size_t piece) {
    std::size_t at = 0;
    ri::ByteReader read = [&](char* buffer, std::size_t count) {
        const std::size_t n = std::min({count, piece, bytes.size() - at});
        std::copy_n(bytes.data() + at, n, buffer);
        at += n;
        return n;
    };
    std::vector<Seen> seen;
    const std::int32_t size = ri::IndexRecordSize(read);
    ri::ReadIndexBlocks(read, size, [&](const ri::IndexRecord& r) {
        if (r.formerPath.GetLength() > 260) std::abort();
        seen.push_back({std::string(r.formerPath.GetString(), static_cast<std::size_t>(r.formerPath.GetLength())),
                        r.index, r.drive});
    });
    // Every block but the empty end brings at least one byte.
    if (size > 0 && seen.size() > bytes.size()) std::abort();
    return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (Walk(bytes, bytes.size() + 1) != Walk(bytes, 1 + size % 7)) std::abort();

    const vutil::CString former = ri::InfoFormerPath(bytes);
    if (former.GetLength() > 976 || std::string_view(former.GetString(), former.GetLength()).find('\0') !=
                                        std::string_view::npos)
        std::abort();

    std::string path;
    if (ri::ParseTrashInfo(bytes, path) && (path.empty() || path.find('\0') != std::string::npos)) std::abort();
    return 0;
}
