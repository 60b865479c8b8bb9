#pragma once
// Processes: starting a program with its arguments in a working directory, waiting
// for it and reading its exit code. Paths are library paths (see path.h).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vutil::platform {

using ProcessId = long;

// Starts argv[0] with argv as its arguments in the directory dir. Sets the thread's
// last error and returns false when the program cannot be started.
bool StartProcess(const std::vector<std::string>& argv, std::string_view dir, ProcessId& pid) noexcept;
// Waits without limit for the process to end and reaps it; the exit code is the
// program's status, or 128 plus the signal that ended it.
bool WaitForProcess(ProcessId pid, std::uint32_t& exitCode) noexcept;
// Reaps the process if it has ended, without waiting; true when it had.
bool ReapIfExited(ProcessId pid, std::uint32_t& exitCode) noexcept;

// The host program file a bare command name runs (searched on PATH), in library
// form; empty when there is none. A name with a separator is taken as it is.
std::string FindProgram(std::string_view name);

// Splits a command line into arguments by the rules of the Windows C runtime:
// white space separates; double quotes group; 2n backslashes before a quote give n
// backslashes and the quote toggles; 2n+1 give n and a literal quote; a doubled quote
// inside a quoted part is one literal quote.
std::vector<std::string> SplitCommandLine(std::string_view line);
// The inverse: one command line that SplitCommandLine turns back into argv. Arguments
// without blanks or quotes stay as they are; the rest are quoted.
std::string JoinCommandLine(const std::vector<std::string>& argv);

}  // namespace vutil::platform
