#include "desktop_env.h"

#include <thread>

namespace vutil::test {

std::string WaitForFile(const std::filesystem::path& path) {
    // The handler writes to a temporary name and renames, so a seen file is whole.
    while (!std::filesystem::exists(path)) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReadText(path);
}

}  // namespace vutil::test
