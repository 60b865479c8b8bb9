#pragma once
// The recycle bins' own files as plain data: the older index file, the newer per-item
// information file and the desktop trash's .trashinfo. Kept apart from the file system
// so that hostile bytes can be fed to them directly.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "vutil/framework/cstring.h"

namespace vutil::recycle_internal {

// One block of an index file as it sits in the reading buffer.
struct IndexRecord {
    CString formerPath;   // up to 260 bytes, cut at the first zero
    std::int32_t index;   // the stored file's number
    std::uint32_t drive;  // 0 = A
};

// Reads up to count bytes; 0 at the end (or on failure).
using ByteReader = std::function<std::size_t(char* buffer, std::size_t count)>;

// The record size of an index file's 16-byte head, as a signed number (0 or less is
// no layout at all).
std::int32_t IndexRecordSize(ByteReader& read);
// Walks the blocks after the head: each read of recordSize bytes refills one buffer in
// place, so a short last block still shows the tail of the block before it. Stops at
// the first read that brings no bytes. Linear in the bytes read whatever the size says.
void ReadIndexBlocks(ByteReader& read, std::int32_t recordSize, const std::function<void(const IndexRecord&)>& visit);

// The former path of an information file from its first (up to 1000) bytes: every
// non-zero byte from offset 24 is one character; two zero bytes end the path once a
// character was taken.
CString InfoFormerPath(std::string_view head);

// The recorded path of a .trashinfo file, percent escapes decoded; false when the file
// is not UTF-8, has no [Trash Info] group with a Path, or the path is empty, holds a
// zero byte or a bad escape.
bool ParseTrashInfo(std::string_view text, std::string& path);

}  // namespace vutil::recycle_internal
