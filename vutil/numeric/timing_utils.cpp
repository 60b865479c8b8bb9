#include "vutil/numeric/timing_utils.h"

#include "vutil/platform/clock.h"

namespace vutil {

void CTimingUtils::Start() {
    m_bRunning = 1;
    m_dwStart = platform::TickCountMilliseconds();
}

unsigned int CTimingUtils::Stop() {
    if (!m_bRunning) return 0;
    m_bRunning = 0;
    return static_cast<std::uint32_t>(platform::TickCountMilliseconds() - m_dwStart);
}

}  // namespace vutil
