// Saturating atoi / _atoi64 / strtol.

#include "vutil/text/number_runtime.h"

#include <limits>

namespace vutil {

namespace {

bool IsRuntimeBlank(char c) noexcept { return c == ' ' || (c >= '\t' && c <= '\r'); }

int DigitValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// Accumulates as a magnitude so that the negative limit, one larger than the positive
// one, is reachable; beyond the limit the digits are still consumed.
template <typename T>
T Convert(std::string_view text, int base, std::size_t* consumed) noexcept {
    using U = std::make_unsigned_t<T>;
    if (consumed) *consumed = 0;
    if (base != 0 && (base < 2 || base > 36)) return 0;
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    std::size_t i = 0;
    while (i < text.size() && IsRuntimeBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const bool hexPrefix = i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X');
    if ((base == 0 || base == 16) && hexPrefix && i + 2 < text.size() && DigitValue(text[i + 2]) < 16) {
        i += 2;
        base = 16;
    } else if (base == 0) {
        base = i < text.size() && text[i] == '0' ? 8 : 10;
    }
    const U limit = negative ? U(std::numeric_limits<T>::max()) + 1u : U(std::numeric_limits<T>::max());
    const U ubase = static_cast<U>(base);
    // value * base + d stays within limit exactly when value < cutoff, or value equals
    // cutoff and d is at most cutlim; worked out once instead of a division per digit.
    const U cutoff = limit / ubase;
    const U cutlim = limit % ubase;
    U value = 0;
    bool overflow = false;
    const std::size_t first = i;
    for (; i < text.size(); ++i) {
        const int d = DigitValue(text[i]);
        if (d >= base) break;
        const U ud = static_cast<U>(d);
        if (!overflow && (value > cutoff || (value == cutoff && ud > cutlim))) overflow = true;
        if (!overflow) value = value * ubase + ud;
    }
    if (i == first) return 0;
    if (consumed) *consumed = i;
    if (overflow) return negative ? std::numeric_limits<T>::min() : std::numeric_limits<T>::max();
    return negative ? static_cast<T>(U(0) - value) : static_cast<T>(value);
}

}  // namespace

std::int32_t RuntimeAtoi(std::string_view text) noexcept { return Convert<std::int32_t>(text, 10, nullptr); }

std::int64_t RuntimeAtoi64(std::string_view text) noexcept { return Convert<std::int64_t>(text, 10, nullptr); }

std::int32_t RuntimeStrtol(std::string_view text, int base, std::size_t* consumed) noexcept {
    return Convert<std::int32_t>(text, base, consumed);
}

}  // namespace vutil
