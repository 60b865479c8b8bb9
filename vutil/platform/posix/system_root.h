#pragma once
// The folder that stands for "/" when the backend reads /proc, /sys and /dev: empty
// for the real system, a fake tree in tests. Internal to the POSIX backend.

#include <string>

namespace vutil::platform::posix {

std::string SystemRoot();

}  // namespace vutil::platform::posix
