#pragma once
// The overrides in force, for the backends' system queries.

#include <optional>

#include "vutil/platform/system.h"

namespace vutil::platform {

// A copy, so no lock is held while the system is asked.
std::optional<SystemOverrides> SystemOverridesNow();

}  // namespace vutil::platform
