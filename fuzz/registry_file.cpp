// Parses arbitrary bytes as a settings file; a file that parses cleanly must write
// back to text that parses to the same text again.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vutil/platform/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string once;
    bool clean = vutil::platform::SettingsParseForTesting(bytes, &once);
    std::string twice;
    std::string thrice;
    if (!vutil::platform::SettingsParseForTesting(once, &twice)) std::abort();  // our own output always parses
    vutil::platform::SettingsParseForTesting(twice, &thrice);
    if (twice != thrice) std::abort();
    (void)clean;
    return 0;
}
