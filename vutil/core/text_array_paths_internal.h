#pragma once
// The three path parts the path ordering compares, taken apart without copying:
// directory (parent, blanks trimmed, one final separator dropped), base name (after the
// last separator, before its last dot) and extension (after the last dot of the whole
// path, empty when a backslash follows it).

#include <string_view>

namespace vutil::text_array_paths {

struct PathParts {
    std::string_view dir, base, ext;
};

PathParts Split(std::string_view item) noexcept;

}  // namespace vutil::text_array_paths
