// vutil: command-line demo of the library. `vutil <command> [args]`.

#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>

#include "command.h"
#include "vutil/platform/codepage.h"

namespace vutil::cli {

std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

std::vector<std::string> ReadLines(std::istream& in) {
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string Utf8(const char* text, int length) {
    return vutil::platform::cp::Cp1252ToUtf8(std::string_view(text, length > 0 ? static_cast<std::size_t>(length) : 0));
}

int UsageError(const std::string& name, const std::string& message) {
    std::cerr << "vutil " << name << ": " << message << "\n";
    return 2;
}

}  // namespace vutil::cli

namespace {

constexpr const char* kVersion = "0.1.0";

void PrintHelp() {
    auto commands = vutil::cli::Registry();
    std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    std::cout << "usage: vutil <command> [args]\n"
                 "       vutil --help | --version\n\ncommands:\n";
    for (const auto& c : commands) {
        std::cout << "  " << c.name << (c.usage.empty() ? "" : " ") << c.usage << "\n      " << c.summary << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        PrintHelp();
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::cout << "vutil " << kVersion << "\n";
        return 0;
    }
    for (const auto& c : vutil::cli::Registry()) {
        if (c.name == argv[1]) return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::cerr << "vutil: unknown command '" << argv[1] << "' (see vutil --help)\n";
    return 2;
}
