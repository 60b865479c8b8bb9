#pragma once
// The freedesktop.org text formats the desktop backend reads: key files (desktop
// entries, mimeapps.list, mimeinfo.cache), shared-mime-info globs and Exec lines.
// Pure text in, values out; internal to the backend (and its fuzz target).

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vutil::platform::posix {

// Groups of key=value pairs; later duplicates of a key are ignored, as the desktop
// entry format asks. Values keep their escapes; UnescapeValue removes them.
using KeyFile = std::map<std::string, std::map<std::string, std::string>>;
KeyFile ParseKeyFile(std::string_view text);
std::string UnescapeValue(std::string_view value);
// A list value split at unescaped semicolons, empty items dropped.
std::vector<std::string> SplitList(std::string_view value);

// The MIME type that globs2 (weight:type:glob) or globs (type:glob) text gives to a
// file name with the extension (lower case, with its dot), and its weight; empty
// when no pattern of the form "*.ext" matches. The heavier pattern wins, then the
// earlier one.
struct GlobMatch {
    std::string type;
    int weight = -1;
};
void MatchGlobs(std::string_view text, std::string_view extension, bool withWeights, GlobMatch& best);

// The words of an Exec line with field codes expanded: %f %F %u %U become the
// targets (when no such code occurs the targets follow the words), %c the name, %i
// "--icon" and the icon, %k the entry's file, %% a percent; other codes vanish.
std::vector<std::string> ExpandExec(std::string_view exec, const std::vector<std::string>& targets,
                                    std::string_view name, std::string_view icon, std::string_view entryFile);

}  // namespace vutil::platform::posix
