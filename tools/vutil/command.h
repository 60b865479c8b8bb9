#pragma once
// Subcommands of the vutil program register themselves here, one source file each.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace vutil::cli {

struct Command {
    std::string name;
    std::string usage;    // arguments, shown by --help
    std::string summary;  // one line
    // Gets the arguments after the command name; returns the exit code.
    std::function<int(const std::vector<std::string>& args)> run;
};

std::vector<Command>& Registry();

struct Register {
    explicit Register(Command c) { Registry().push_back(std::move(c)); }
};

// Reads standard input as lines, without line ends.
std::vector<std::string> ReadLines(std::istream& in);
// Library text is Windows-1252; the terminal gets UTF-8.
std::string Utf8(const char* text, int length);
template <typename Text>
std::string Utf8(const Text& text) {
    return Utf8(text.GetString(), text.GetLength());
}

// True when "--help" or "-h" is among the arguments.
bool WantsHelp(const std::vector<std::string>& args);

// "<text>..." on standard error while a person watches (it is a terminal) during long
// work; erased by Clear or at the end of the scope, before results are printed.
class StatusLine {
public:
    explicit StatusLine(const std::string& text);
    ~StatusLine() { Clear(); }
    StatusLine(const StatusLine&) = delete;
    StatusLine& operator=(const StatusLine&) = delete;
    void Clear();

private:
    bool m_on;
};

// Prints "vutil <name>: <message>" to standard error and returns 2.
int UsageError(const std::string& name, const std::string& message);
// A failure of the system: prints "vutil <name>: <message>: <error text of code>" to
// standard error and returns 1.
int SystemError(const std::string& name, const std::string& message, unsigned long code);

}  // namespace vutil::cli
