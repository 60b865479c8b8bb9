#pragma once
// Opens a document with the desktop's handler for its type and waits until the
// opener returns. Here the opener is xdg-open; a program that launches applications
// in general belongs to the launching services, this is the one call the report
// needs until they are available.

#include <string_view>

namespace vutil::platform {

// False when the path does not map to a host path, the opener cannot be started or
// it reports a failure.
bool OpenDocumentWithHandler(std::string_view path);

// True when VUTIL_NO_OPEN is set (to anything): tests and unattended runs never start
// a viewer.
bool DocumentOpeningSuppressed() noexcept;

}  // namespace vutil::platform
