#pragma once
// The library's own sentences for the Internet error numbers: the POSIX backend's
// whole answer, and the Windows backend's where the system has no message.

#include <cstdint>
#include <string>

namespace vutil::platform {

std::string HttpErrorSentence(std::uint32_t code);

}  // namespace vutil::platform
