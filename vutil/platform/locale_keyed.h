#pragma once
// LocaleKeyed<T>: the one rule for values derived from the regional settings. A value is
// built once per locale table (LocaleGeneration) and never freed, so readers on any
// thread take it without a lock; a change of VUTIL_LOCALE selects another table, and the
// next call builds (or finds) the value for it.

#include <array>
#include <atomic>
#include <cstddef>

#include "vutil/platform/locale.h"

namespace vutil::platform {

template <typename T>
class LocaleKeyed {
public:
    // `build(T&)` fills a value and returns false when a read failed: such a value is
    // used for this call only and asked again next time.
    template <typename Build>
    const T& Get(Build build) {
        const unsigned int generation = LocaleGeneration();
        if (generation < kSlots) {
            if (const T* kept = m_slots[generation].load(std::memory_order_acquire)) return *kept;
        }
        return Make(generation, build);
    }

private:
    // Out of line, so a call that finds its value saves no registers for building one.
    template <typename Build>
    [[gnu::noinline]] const T& Make(unsigned int generation, Build& build) {
        auto* made = new T();
        const bool whole = build(*made);
        const T* expected = nullptr;
        // Kept only when it is whole and the table did not change while it was built;
        // of two threads that built at once, the first to publish wins.
        if (whole && generation < kSlots && generation == LocaleGeneration()) {
            if (m_slots[generation].compare_exchange_strong(expected, made, std::memory_order_acq_rel))
                return *made;
            delete made;
            return *expected;
        }
        thread_local T scratch;
        scratch = std::move(*made);
        delete made;
        return scratch;
    }

    // Generations count the tables chosen so far: the built-in ones and the process's.
    static constexpr std::size_t kSlots = 16;
    std::array<std::atomic<const T*>, kSlots> m_slots{};
};

}  // namespace vutil::platform
