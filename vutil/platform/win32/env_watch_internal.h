#pragma once
// Where one variable of the C runtime's environment (_environ) stood when it was last
// looked up, so that asking again costs a few compares: getenv scans the whole block and
// takes microseconds, and the locale and zone are asked on every conversion.
//
// The runtime replaces an entry's pointer when a value changes (or rebuilds the strings
// in place), appends a new variable at the end and shifts the rest down when one goes.
// So an unchanged array, an entry at the same slot that still names the variable, and
// for an absent variable an unchanged last entry that does not name it, mean the answer
// still holds; the value itself is always compared by the caller.

#include <cstddef>

namespace vutil::platform::win32 {

struct EnvSpot {
    char** base = nullptr;
    std::size_t index = 0;        // of the entry, or the count of entries when absent
    const char* entry = nullptr;  // the entry, or the last entry when absent
    bool found = false;
};

// True when `entry` starts with `prefix` ("NAME=", upper case); names compare without
// regard to case, as the runtime's getenv does.
// Plain loops: the runtime's string functions are calls into another module, and these
// texts are a few characters long.
inline bool NamesVariable(const char* entry, const char* prefix, std::size_t length) noexcept {
    for (std::size_t i = 0; i < length; ++i) {
        char c = entry[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != prefix[i]) return false;  // also stops at the entry's end
    }
    return true;
}

inline bool SameText(const char* a, const char* b) noexcept {
    for (; *a == *b; ++a, ++b) {
        if (!*a) return true;
    }
    return false;
}

// The value where `spot` says the variable stands ("" when it was absent and still is),
// or nullptr when the environment moved and Locate must look again.
inline const char* StillAt(const EnvSpot& spot, char** env, const char* prefix, std::size_t length) noexcept {
    if (!env || env != spot.base) return nullptr;
    if (spot.found) {
        const char* entry = env[spot.index];
        return entry == spot.entry && NamesVariable(entry, prefix, length) ? entry + length : nullptr;
    }
    if (env[spot.index] != nullptr) return nullptr;
    if (spot.index == 0) return "";
    const char* last = env[spot.index - 1];
    return last == spot.entry && !NamesVariable(last, prefix, length) ? "" : nullptr;
}

// Scans for the variable, records where it stands and returns its value ("" when absent).
inline const char* Locate(EnvSpot& spot, char** env, const char* prefix, std::size_t length) noexcept {
    spot = EnvSpot{env, 0, nullptr, false};
    if (!env) return "";
    std::size_t i = 0;
    for (; env[i]; ++i) {
        if (NamesVariable(env[i], prefix, length)) {
            spot.index = i;
            spot.entry = env[i];
            spot.found = true;
            return env[i] + length;
        }
    }
    spot.index = i;
    spot.entry = i ? env[i - 1] : nullptr;
    return "";
}

}  // namespace vutil::platform::win32
