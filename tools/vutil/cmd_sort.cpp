// vutil sort: sorts standard input's lines with TextArray.

#include <iostream>

#include "command.h"
#include "vutil/core/text_array.h"

namespace {

int RunSort(const std::vector<std::string>& args) {
    bool caseSensitive = true;
    bool ascending = true;
    bool unique = false;
    bool paths = false, withDirs = true;
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << "usage: vutil sort [--nocase] [--desc] [--unique] [--paths [--by-name]] < lines\n"
                         "--paths orders lines as file paths: by folder, then name, then extension;\n"
                         "--by-name orders by name and extension, the folder only breaking ties.\n";
            return 0;
        }
        if (a == "--nocase") caseSensitive = false;
        else if (a == "--paths") paths = true;
        else if (a == "--by-name") withDirs = false;
        else if (a == "--desc") ascending = false;
        else if (a == "--unique") unique = true;
        else return vutil::cli::UsageError("sort", "unknown option '" + a + "'");
    }
    vutil::TextArray lines;
    for (auto& line : vutil::cli::ReadLines(std::cin)) lines.Add(vutil::CString(std::move(line)));
    if (!withDirs && !paths) return vutil::cli::UsageError("sort", "--by-name needs --paths");
    lines.Sort(ascending, caseSensitive, paths, withDirs);
    if (unique) lines.RemoveDuplicates(caseSensitive, paths, withDirs);
    for (const auto& line : lines) std::cout.write(line.GetString(), line.GetLength()) << '\n';
    return 0;
}

vutil::cli::Register reg({"sort", "[--nocase] [--desc] [--unique] [--paths [--by-name]] < lines",
                          "sort lines of text or file paths (case-insensitive, descending, without duplicates)",
                          RunSort});

}  // namespace
