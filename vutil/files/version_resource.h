#pragma once
// Version strings of a Windows executable, read from its bytes: the version resource
// found through the PE resource tree, then the string table of one language and code
// page. Plain data on any host; every offset is checked against the bytes present.

#include <string>
#include <string_view>

namespace vutil::version_resource {

// The raw version resource (VS_VERSIONINFO) of a PE image; false when there is none.
// United States English is preferred when the resource exists in several languages.
bool FindVersionResource(std::string_view image, std::string_view& resource);

// The string stored under "\StringFileInfo\<table>\<key>" (e.g. table "040904b0",
// key "CompanyName"), converted to Windows-1252; keys compare without regard to case.
bool QueryVersionString(std::string_view resource, std::string_view table, std::string_view key,
                        std::string& value);

}  // namespace vutil::version_resource
