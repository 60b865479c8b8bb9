// Locale items on Windows: the system's locale services (GetLocaleInfoEx), read once per
// locale into a table. VUTIL_LOCALE, when set to a name the system knows ("de-DE"),
// chooses that locale with its own settings; otherwise the user's default locale answers,
// with the user's customisations.

#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "vutil/platform/locale.h"
#include "vutil/platform/locale_slots_internal.h"
#include "vutil/platform/win32/env_watch_internal.h"
#include "vutil/platform/win32/win32_util.h"

namespace vutil::platform {

namespace {

// One answer as the system gave it, its number form asked once too.
struct Item {
    std::string text;
    unsigned int number = 0;
    ::DWORD textError = ERROR_INVALID_FLAGS;    // the system's code when there is no text
    ::DWORD numberError = ERROR_INVALID_FLAGS;  // ... or no number form
    bool present = false;
    bool numeric = false;
};

using locale_slots::SlotOf;
using locale_slots::TypeOf;

struct Table {
    std::wstring locale;  // the name to ask the system; empty: the user's default
    ::DWORD flags = 0;
    std::string name;     // "de-DE"
    std::array<Item, locale_slots::kCount> items;
    unsigned int generation = 0;
};

const wchar_t* AskName(const Table& table) {
    return table.locale.empty() ? LOCALE_NAME_USER_DEFAULT : table.locale.c_str();
}

// The item's text, or false with the system's code.
bool AskText(const wchar_t* locale, ::DWORD type, std::string& text, ::DWORD& error) {
    wchar_t small[128];
    int n = ::GetLocaleInfoEx(locale, type, small, static_cast<int>(std::size(small)));
    if (n > 0) {
        text = win32::Narrow(std::wstring_view(small, static_cast<std::size_t>(n - 1)));
        return true;
    }
    error = ::GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER) return false;
    n = ::GetLocaleInfoEx(locale, type, nullptr, 0);
    if (n <= 0) {
        error = ::GetLastError();
        return false;
    }
    std::wstring large(static_cast<std::size_t>(n), L'\0');
    n = ::GetLocaleInfoEx(locale, type, large.data(), n);
    if (n <= 0) {
        error = ::GetLastError();
        return false;
    }
    large.resize(static_cast<std::size_t>(n - 1));
    text = win32::Narrow(large);
    return true;
}

bool AskNumber(const wchar_t* locale, ::DWORD type, unsigned int& value, ::DWORD& error) {
    ::DWORD number = 0;
    if (::GetLocaleInfoEx(locale, type | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&number),
                          sizeof number / sizeof(wchar_t)) > 0) {
        value = number;
        return true;
    }
    error = ::GetLastError();
    return false;
}

// What VUTIL_LOCALE said when it was read, and the table it chose. Never freed: a query
// on another thread may still be looking at it.
struct Selection {
    std::string raw;  // "" when unset
    const Table* table;
};

std::mutex g_selectLock;  // guards building tables and selections, not the queries
unsigned int g_tableCount = 0;

// Called with g_selectLock held. Every item is asked here, once per locale: the answers
// of one table never change, so its generation stamps them for good.
const Table* MakeTable(std::wstring locale, ::DWORD flags, std::string name) {
    auto* table = new Table;
    table->locale = std::move(locale);
    table->flags = flags;
    table->name = std::move(name);
    const wchar_t* ask = AskName(*table);
    for (std::size_t slot = 0; slot < table->items.size(); ++slot) {
        const ::DWORD type = TypeOf(slot) | flags;
        if (TypeOf(slot) == 0) continue;
        Item& item = table->items[slot];
        item.present = AskText(ask, type, item.text, item.textError);
        if (item.present) item.numeric = AskNumber(ask, type, item.number, item.numberError);
    }
    table->generation = ++g_tableCount;
    return table;
}

// The user's default locale, read once for the life of the process.
const Table* DefaultTable() {
    static const Table* table = [] {
        wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
        const int n = ::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
        return MakeTable(std::wstring(), 0, n > 0 ? win32::Narrow(name) : std::string());
    }();
    return table;
}

// A named locale: one table per name as the system spells it, so "de-de" and "de-DE"
// share one; a name the system does not know leaves the user's default answering.
const Table* NamedTable(const char* raw) {
    static auto* tables = new std::map<std::string, const Table*, std::less<>>;
    const std::wstring wide = win32::Wide(raw);
    wchar_t canonical[LOCALE_NAME_MAX_LENGTH] = {};
    if (::GetLocaleInfoEx(wide.c_str(), LOCALE_SNAME, canonical, LOCALE_NAME_MAX_LENGTH) <= 0) return DefaultTable();
    const std::string name = win32::Narrow(canonical);
    auto it = tables->find(name);
    if (it == tables->end()) it = tables->emplace(name, MakeTable(canonical, LOCALE_NOUSEROVERRIDE, name)).first;
    return it->second;
}

const Selection* Reselect(const char* pinned) {
    std::lock_guard lock(g_selectLock);
    static auto* known = new std::map<std::string, const Selection*, std::less<>>;
    auto it = known->find(std::string_view(pinned));
    if (it == known->end()) {
        // Building asks the system for every item; its failures are not the caller's.
        const ::DWORD saved = ::GetLastError();
        const Table* table = *pinned ? NamedTable(pinned) : DefaultTable();
        ::SetLastError(saved);
        it = known->emplace(pinned, new Selection{pinned, table}).first;
    }
    return it->second;
}

// Formatters ask many items per call, so the choice is kept: where VUTIL_LOCALE stood
// and the selection it led to, published for every thread under a sequence count (odd
// while it is rewritten). A query checks the environment against it, which is a few
// compares (env_watch_internal.h); only a change looks the variable up again.
struct Watch {
    std::atomic<unsigned int> sequence{0};
    std::atomic<char**> base{nullptr};
    std::atomic<std::size_t> index{0};
    std::atomic<const char*> entry{nullptr};
    std::atomic<bool> found{false};
    std::atomic<const Selection*> chosen{nullptr};
};
Watch g_watch;

constexpr char kPinName[] = "VUTIL_LOCALE=";
constexpr std::size_t kPinLength = sizeof kPinName - 1;

// The kept selection when the environment still says what it said, else nullptr.
inline const Selection* StillChosen() {
    const unsigned int before = g_watch.sequence.load(std::memory_order_acquire);
    if (before & 1u) return nullptr;
    win32::EnvSpot spot;
    spot.base = g_watch.base.load(std::memory_order_relaxed);
    spot.index = g_watch.index.load(std::memory_order_relaxed);
    spot.entry = g_watch.entry.load(std::memory_order_relaxed);
    spot.found = g_watch.found.load(std::memory_order_relaxed);
    const Selection* chosen = g_watch.chosen.load(std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    if (g_watch.sequence.load(std::memory_order_relaxed) != before || !chosen) return nullptr;
    const char* pinned = win32::StillAt(spot, _environ, kPinName, kPinLength);
    return pinned && win32::SameText(chosen->raw.c_str(), pinned) ? chosen : nullptr;
}

// Out of line, so the common path keeps no registers to save.
[[gnu::noinline]] const Selection& Rechoose() {
    char** env = _environ;
    win32::EnvSpot spot;
    const char* pinned = "";
    if (env) {
        pinned = win32::Locate(spot, env, kPinName, kPinLength);
    } else if (const char* value = std::getenv("VUTIL_LOCALE")) {
        pinned = value;  // no narrow environment to watch: looked up on every query
    }
    const Selection* chosen = Reselect(pinned);
    if (env) {
        std::lock_guard lock(g_selectLock);
        const unsigned int sequence = g_watch.sequence.load(std::memory_order_relaxed);
        g_watch.sequence.store(sequence + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        g_watch.base.store(spot.base, std::memory_order_relaxed);
        g_watch.index.store(spot.index, std::memory_order_relaxed);
        g_watch.entry.store(spot.entry, std::memory_order_relaxed);
        g_watch.found.store(spot.found, std::memory_order_relaxed);
        g_watch.chosen.store(chosen, std::memory_order_relaxed);
        g_watch.sequence.store(sequence + 2, std::memory_order_release);
    }
    return *chosen;
}

inline const Table& Current() {
    const Selection* chosen = StillChosen();
    return chosen ? *chosen->table : *Rechoose().table;
}

}  // namespace

int QueryLocaleText(DWORD type, char* buffer, int size) {
    const Table& table = Current();
    const int slot = SlotOf(type);
    std::string direct;
    const std::string* text = nullptr;
    if (slot >= 0) {
        const Item& item = table.items[static_cast<std::size_t>(slot)];
        if (!item.present) return win32::Fail(item.textError);
        text = &item.text;
    } else {
        ::DWORD error = 0;
        if (!AskText(AskName(table), type | table.flags, direct, error)) return win32::Fail(error);
        text = &direct;
    }
    if (size < 0) return win32::Fail(ERROR_INVALID_PARAMETER);
    const int need = static_cast<int>(text->size()) + 1;
    if (size == 0) return need;
    if (!buffer || size < need) return win32::Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, text->c_str(), static_cast<std::size_t>(need));
    return need;
}

bool QueryLocaleNumber(DWORD type, unsigned int& value) {
    const Table& table = Current();
    const int slot = SlotOf(type);
    if (slot < 0) {
        ::DWORD error = 0;
        return AskNumber(AskName(table), type | table.flags, value, error) || win32::Fail(error);
    }
    const Item& item = table.items[static_cast<std::size_t>(slot)];
    if (!item.numeric) return win32::Fail(item.present ? item.numberError : item.textError);
    value = item.number;
    return true;
}

std::string LocaleName() { return Current().name; }

unsigned int LocaleGeneration() { return Current().generation; }

}  // namespace vutil::platform
