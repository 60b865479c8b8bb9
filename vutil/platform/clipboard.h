#pragma once
// The clipboard as a set of named formats that are published together and read one
// by one. Names: "CF_TEXT" (Windows-1252 text, no terminator), "CF_BITMAP" (a BMP
// file), "CF_HDROP" (the drop-file block below), "Preferred DropEffect" (4 bytes,
// little-endian), and any other registered name as raw bytes.
//
// POSIX: with VUTIL_CLIPBOARD naming a file, the clipboard is that file. Otherwise,
// with an X display, it is the display's CLIPBOARD selection, held after the call
// returns by a small owner process that serves the formats and their desktop
// equivalents (UTF-8 text, text/uri-list, x-special/gnome-copied-files, image/bmp).
// With neither, every call fails.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vutil::platform {

using ClipboardFormats = std::vector<std::pair<std::string, std::string>>;

// Replaces the whole clipboard. Sets the thread's last error on failure.
bool ClipboardPublish(const ClipboardFormats& formats) noexcept;
// The bytes of one format; nothing when the clipboard cannot be reached or lacks it
// (the last error says which: 0 when the format is just absent).
std::optional<std::string> ClipboardRead(std::string_view format) noexcept;

// The drop-file block: a 20-byte header (list offset 20, point 0, 0, non-client 0,
// wide 1, each 32-bit little-endian), then each name as 16-bit units holding its
// bytes, a zero unit after each name and one more at the end.
std::string EncodeDropFiles(const std::vector<std::string>& names);
// The names of a block, either width; names stop at the block's end.
std::vector<std::string> DecodeDropFiles(std::string_view block);

// The file form of the clipboard: "VUTILCLIP 1\n", then per format its name, a line
// feed, the decimal byte count, a line feed, the bytes and a line feed.
std::string SerializeClipboard(const ClipboardFormats& formats);
bool ParseClipboard(std::string_view bytes, ClipboardFormats& formats);

// text/uri-list lines (comments skipped) and file URIs to host paths and back.
std::vector<std::string> FileUrisToPaths(std::string_view uriList);
std::string PathToFileUri(std::string_view hostPath);

}  // namespace vutil::platform
