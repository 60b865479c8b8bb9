#include <sys/random.h>

#include <cerrno>

#include "vutil/platform/random.h"

namespace vutil::platform {

namespace {
constexpr RandomSource kGetRandom = 1;
}

RandomSource OpenRandomSource() noexcept {
    unsigned char probe = 0;
    // A kernel without the call, or a sandbox that forbids it, leaves us without a source.
    for (;;) {
        const ssize_t got = ::getrandom(&probe, 1, 0);
        if (got == 1) return kGetRandom;
        if (got < 0 && errno == EINTR) continue;
        return 0;
    }
}

void CloseRandomSource(RandomSource) noexcept {}

bool FillRandom(RandomSource source, void* buffer, std::size_t size) noexcept {
    if (source != kGetRandom) return false;
    auto* out = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        const ssize_t got = ::getrandom(out, size, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        out += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace vutil::platform
