#pragma once
// A millisecond stopwatch on the system's monotonic tick count.

#include <cstdint>

namespace vutil {

class CTimingUtils {
public:
    CTimingUtils() = default;
    CTimingUtils(const CTimingUtils&) = default;
    CTimingUtils& operator=(const CTimingUtils&) = default;

    void Start();
    // Milliseconds since Start (modulo 2^32, so one wrap of the counter is harmless),
    // and stops; 0 when not running.
    unsigned int Stop();

private:
    std::int32_t m_bRunning = 0;
    std::uint32_t m_dwStart = 0;
};

}  // namespace vutil
