#pragma once
// Whether a standard stream of the process is a terminal, so programs show progress
// lines only to a person watching.

namespace vutil::platform {

enum class StdStream { Output, Error };
bool StreamIsTerminal(StdStream stream);

}  // namespace vutil::platform
