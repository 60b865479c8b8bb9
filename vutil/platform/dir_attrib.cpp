#include "vutil/platform/dir_attrib.h"

namespace vutil::platform {

DWORD ParseDosAttrib(std::string_view blob) noexcept {
    // Every version of the attribute starts with the bits as NUL-terminated hex text.
    if (blob.size() < 3 || blob[0] != '0' || (blob[1] != 'x' && blob[1] != 'X')) return 0;
    DWORD value = 0;
    for (std::size_t i = 2; i < blob.size() && i < 10; ++i) {
        const char c = blob[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else break;
        value = (value << 4) | static_cast<DWORD>(digit);
    }
    return value;
}

}  // namespace vutil::platform
