// vutil: command-line demo of the library. `vutil <command> [args]`.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <string>

#include "command.h"
#include "vutil/framework/exceptions.h"
#include "vutil/platform/codepage.h"
#include "vutil/platform/error.h"
#include "vutil/platform/terminal.h"

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

bool WantsHelp(const std::vector<std::string>& args) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

StatusLine::StatusLine(const std::string& text) : m_on(platform::StreamIsTerminal(platform::StdStream::Error)) {
    if (m_on) std::cerr << text << "..." << std::flush;
}

void StatusLine::Clear() {
    if (m_on) std::cerr << "\r\033[K" << std::flush;
    m_on = false;
}

int UsageError(const std::string& name, const std::string& message) {
    std::cerr << "vutil " << name << ": " << message << "\n";
    return 2;
}

int SystemError(const std::string& name, const std::string& message, unsigned long code) {
    std::cerr << "vutil " << name << ": " << message << ": "
              << platform::GetErrorMessage(static_cast<DWORD>(code)) << "\n";
    return 1;
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

// Whatever escapes a command ends the program with a message and a non-zero code, and
// output that could not be written is a failure too (a full disk, a closed pipe).
int RunCommand(const vutil::cli::Command& c, const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: vutil " << c.name << (c.usage.empty() ? "" : " ") << c.usage << "\n  " << c.summary
                  << "\n";
        return 0;
    }
    int rc = 1;
    try {
        rc = c.run(args);
    } catch (const vutil::CFileException& e) {
        return vutil::cli::SystemError(c.name, "file error on '" + std::string(e.m_strFileName.GetString()) + "'",
                                       static_cast<unsigned long>(e.m_lOsError));
    } catch (const std::bad_alloc&) {
        std::cerr << "vutil " << c.name << ": out of memory\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "vutil " << c.name << ": " << e.what() << "\n";
        return 1;
    } catch (...) {
        std::cerr << "vutil " << c.name << ": unexpected failure\n";
        return 1;
    }
    errno = 0;
    std::cout.flush();
    if (!std::cout) {
        const int err = errno;
        std::cerr << "vutil " << c.name << ": cannot write the output"
                  << (err ? std::string(": ") + std::strerror(err) : std::string()) << "\n";
        return 1;
    }
    return rc;
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
        if (c.name == argv[1]) return RunCommand(c, std::vector<std::string>(argv + 2, argv + argc));
    }
    std::cerr << "vutil: unknown command '" << argv[1] << "' (see vutil --help)\n";
    return 2;
}
