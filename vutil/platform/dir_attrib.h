#pragma once
// The Samba "user.DOSATTRIB" extended attribute: Windows attribute bits of a file shared
// with Windows. Exposed for the fuzz target and the tests.

#include <string_view>

#include "vutil/framework/types.h"

namespace vutil::platform {

// The attribute bits the blob carries, or 0 when it does not parse.
DWORD ParseDosAttrib(std::string_view blob) noexcept;

}  // namespace vutil::platform
