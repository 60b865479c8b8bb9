// vutil sort: sorts standard input's lines with TextArray.

#include <iostream>

#include "command.h"
#include "vutil/core/text_array.h"

namespace {

int RunSort(const std::vector<std::string>& args) {
    bool caseSensitive = true;
    bool ascending = true;
    bool unique = false;
    for (const auto& a : args) {
        if (a == "--nocase") caseSensitive = false;
        else if (a == "--desc") ascending = false;
        else if (a == "--unique") unique = true;
        else return vutil::cli::UsageError("sort", "unknown option '" + a + "'");
    }
    vutil::TextArray lines;
    for (auto& line : vutil::cli::ReadLines(std::cin)) lines.Add(vutil::CString(std::move(line)));
    lines.Sort(ascending, caseSensitive, false, true);
    if (unique) lines.RemoveDuplicates(caseSensitive, false, true);
    for (const auto& line : lines) std::cout.write(line.GetString(), line.GetLength()) << '\n';
    return 0;
}

vutil::cli::Register reg({"sort", "[--nocase] [--desc] [--unique] < lines",
                          "sort lines of text (case-insensitive, descending, without duplicates)", RunSort});

}  // namespace
