#pragma once
// Shell shortcut files as bytes: the binary shell link (.lnk) and the Internet shortcut
// (.url). Kept apart from the file system so the layouts can be tested and fuzzed alone.

#include <cstdint>
#include <string>
#include <string_view>

namespace vutil::shell_link {

// What a new .lnk says about its target. Texts are Windows-1252.
struct LinkSpec {
    std::string target;       // "C:\dir\file.txt"
    std::string description;  // the name string
    std::uint32_t attributes = 0;
    std::uint64_t creationTime = 0, accessTime = 0, writeTime = 0;  // file times
    std::uint64_t size = 0;
    int showCommand = 1;
};

// Header, link info with the local base path (ANSI and UTF-16), the name string in
// UTF-16, and the terminal block.
std::string BuildLink(const LinkSpec& spec);

// The target as a raw path: the environment-variable block when the link has one, else
// the local base path (or network name) joined with the common path suffix, else the
// relative path. False when the bytes are not a shell link or name no target.
bool ReadLinkTarget(std::string_view bytes, std::string& target, std::string* relativePath = nullptr);

// "[InternetShortcut]" with "URL=", CRLF lines; an address without a scheme gets one
// guessed ("ftp." names ftp, everything else http).
std::string BuildUrlShortcut(std::string_view url);

}  // namespace vutil::shell_link
