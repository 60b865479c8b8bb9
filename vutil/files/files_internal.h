#pragma once
// Helpers shared by the file and directory sources; not part of the interface.

#include <cstdint>
#include <set>
#include <utility>

#include "vutil/framework/cstring.h"

namespace vutil::files_internal {

// Writes "<site><detail>" to the application log when logging is on.
void Log(const char* site, const CString& detail = CString());
// Writes "<site><system error text of the thread's last error><detail>".
void LogWithError(const char* site, const CString& detail = CString());
// The system error text of the thread's last error.
CString LastErrorText();
// Appends a message to an error text, one space apart.
void AppendError(CString& errors, const CString& message);

// Directories a walk has entered, by identity: a symbolic-link loop ends the walk
// instead of going round for ever.
class VisitedDirs {
public:
    // False when the directory was entered before.
    bool Enter(const CString& dir);

private:
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_seen;
};

}  // namespace vutil::files_internal
