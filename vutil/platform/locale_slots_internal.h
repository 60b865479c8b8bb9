#pragma once
// Where a backend's locale table keeps each item: 0x01 ... 0x5F and 0x1000 ... 0x101F
// sit at fixed slots, so that a query is one array read; every item locale.h names is
// among them.

#include <cstddef>

#include "vutil/platform/locale.h"

namespace vutil::platform::locale_slots {

constexpr std::size_t kLowItems = 0x60;
constexpr DWORD kHighBase = 0x1000;
constexpr std::size_t kHighItems = 0x20;
constexpr std::size_t kCount = kLowItems + kHighItems;
static_assert(kLocaleINegNumber - kHighBase < kHighItems && kLocaleSIso3166CtryName < kLowItems);

// The slot of an item, or -1 for one outside the table.
inline int SlotOf(DWORD type) {
    if (type >= 1 && type < kLowItems) return static_cast<int>(type);
    if (type >= kHighBase && type - kHighBase < kHighItems) return static_cast<int>(kLowItems + (type - kHighBase));
    return -1;
}

inline DWORD TypeOf(std::size_t slot) {
    return slot < kLowItems ? static_cast<DWORD>(slot) : kHighBase + static_cast<DWORD>(slot - kLowItems);
}

}  // namespace vutil::platform::locale_slots
