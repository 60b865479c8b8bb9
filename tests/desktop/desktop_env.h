#pragma once
// Environment settings that last for one test, and a private XDG tree.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace vutil::test {

// Waits for a file that a detached handler writes; the test's own limit bounds it.
std::string WaitForFile(const std::filesystem::path& path);

}  // namespace vutil::test
