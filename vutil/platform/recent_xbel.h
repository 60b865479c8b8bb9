#pragma once
// The desktop bookmark file of recent documents (recently-used.xbel) as text, apart
// from any file system so it can be tested and fuzzed on its own.

#include <string>
#include <string_view>

namespace vutil::platform {

struct RecentEntry {
    std::string href;      // "file:///..." already percent-encoded
    std::string stamp;     // UTC, "YYYY-MM-DDThh:mm:ss.uuuuuuZ"
    std::string mimeType;  // "text/plain"
    std::string program;   // the application that opened it
};

// The document with the entry added at the end; an older bookmark of the same address is
// replaced. Text that is not a bookmark document is replaced by a fresh one.
std::string AddRecentBookmark(std::string_view xbel, const RecentEntry& entry);

// "%XX" for every byte but the unreserved ones and "/".
std::string PercentEncodePath(std::string_view path);
// A MIME type from the extension; "application/octet-stream" when unknown.
std::string GuessMimeType(std::string_view path);

}  // namespace vutil::platform
