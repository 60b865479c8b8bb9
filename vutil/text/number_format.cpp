// Locale-style layout of decimal text: rounding, grouping, separators, sign layouts.

#include "vutil/text/number_format.h"

#include <cstring>
#include <memory>

namespace vutil {

namespace {

// Layouts as templates: N the number, S the currency symbol, anything else literal.
constexpr const char* kNegativeNumber[5] = {"(N)", "-N", "- N", "N-", "N -"};
constexpr const char* kPositiveNumber = "N";
constexpr const char* kPositiveCurrency[4] = {"SN", "NS", "S N", "N S"};
constexpr const char* kNegativeCurrency[16] = {
    "(SN)", "-SN", "S-N", "SN-", "(NS)", "-NS", "N-S", "NS-",
    "-N S", "-S N", "N S-", "S N-", "S -N", "N- S", "(S N)", "(N S)",
};
constexpr unsigned kMaxDigits = 9;

bool IsDecimalDigit(char c) noexcept { return c >= '0' && c <= '9'; }

// Walks the groups of an integer part from the decimal separator leftwards.
class GroupWalker {
public:
    explicit GroupWalker(const DigitGrouping& g) noexcept : m_g(g), m_size(g.count > 0 ? g.sizes[0] : 0) {}
    // True when a separator goes before the digit about to be placed.
    bool SeparatorDue() noexcept {
        if (m_size == 0 || m_inGroup < m_size) return false;
        m_inGroup = 0;
        if (m_index + 1 < m_g.count) m_size = m_g.sizes[++m_index];
        else if (!m_g.repeatLast) m_size = 0;
        return true;
    }
    void Placed() noexcept { ++m_inGroup; }

private:
    const DigitGrouping& m_g;
    unsigned m_size;
    int m_index = 0;
    unsigned m_inGroup = 0;
};

std::size_t CountSeparators(std::size_t digits, const DigitGrouping& g) noexcept {
    GroupWalker walk(g);
    std::size_t seps = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        if (walk.SeparatorDue()) ++seps;
        walk.Placed();
    }
    return seps;
}

struct Layout {
    unsigned numDigits;
    bool leadingZero;
    const DigitGrouping* grouping;
    std::string_view decimalSep;
    std::string_view thousandSep;
    std::string_view symbol;
    const char* positive;
    const char* negative;
};

bool Format(std::string_view value, const Layout& lay, std::string& out) {
    out.clear();
    // Shape: [-]digits[.digits] with at least one digit.
    std::size_t pos = 0;
    const bool negative = !value.empty() && value[0] == '-';
    if (negative) ++pos;
    const std::size_t intBegin = pos;
    while (pos < value.size() && IsDecimalDigit(value[pos])) ++pos;
    std::string_view intPart = value.substr(intBegin, pos - intBegin);
    std::string_view fracPart;
    if (pos < value.size() && value[pos] == '.') {
        const std::size_t fracBegin = ++pos;
        while (pos < value.size() && IsDecimalDigit(value[pos])) ++pos;
        fracPart = value.substr(fracBegin, pos - fracBegin);
    }
    if (pos != value.size() || (intPart.empty() && fracPart.empty())) return false;
    while (!intPart.empty() && intPart.front() == '0') intPart.remove_prefix(1);

    // Digits with a carry slot in front, rounded half up at the last kept digit.
    const std::size_t digitCount = 1 + intPart.size() + lay.numDigits;
    char stackBuf[400];
    std::unique_ptr<char[]> heapBuf;
    char* digits = stackBuf;
    if (digitCount > sizeof stackBuf) {
        heapBuf = std::make_unique<char[]>(digitCount);
        digits = heapBuf.get();
    }
    digits[0] = '0';
    std::memcpy(digits + 1, intPart.data(), intPart.size());
    char* frac = digits + 1 + intPart.size();
    for (unsigned i = 0; i < lay.numDigits; ++i) frac[i] = i < fracPart.size() ? fracPart[i] : '0';
    if (fracPart.size() > lay.numDigits && fracPart[lay.numDigits] >= '5') {
        std::size_t i = digitCount;
        while (i-- > 0) {
            if (digits[i] != '9') {
                ++digits[i];
                break;
            }
            digits[i] = '0';
        }
    }
    const bool carried = digits[0] != '0';
    const char* intDigits = carried ? digits : digits + 1;
    std::size_t intLen = intPart.size() + (carried ? 1 : 0);
    bool zero = true;
    for (std::size_t i = carried ? 0 : 1; i < digitCount && zero; ++i) zero = digits[i] == '0';
    if (intLen == 0 && (lay.numDigits == 0 || lay.leadingZero)) {
        intDigits = "0";
        intLen = 1;
    }

    const std::size_t seps = CountSeparators(intLen, *lay.grouping);
    const std::size_t bodyLen = intLen + seps * lay.thousandSep.size() +
                                (lay.numDigits > 0 ? lay.decimalSep.size() + lay.numDigits : 0);
    const char* pattern = negative && !zero ? lay.negative : lay.positive;
    std::size_t total = 0;
    for (const char* p = pattern; *p; ++p) total += *p == 'N' ? bodyLen : *p == 'S' ? lay.symbol.size() : 1;

    out.resize(total);
    char* w = out.data();
    for (const char* p = pattern; *p; ++p) {
        if (*p == 'S') {
            std::memcpy(w, lay.symbol.data(), lay.symbol.size());
            w += lay.symbol.size();
        } else if (*p != 'N') {
            *w++ = *p;
        } else {
            // Integer part right to left, so the groups count from the separator.
            char* r = w + intLen + seps * lay.thousandSep.size();
            GroupWalker walk(*lay.grouping);
            for (std::size_t i = intLen; i-- > 0;) {
                if (walk.SeparatorDue()) {
                    r -= lay.thousandSep.size();
                    std::memcpy(r, lay.thousandSep.data(), lay.thousandSep.size());
                }
                *--r = intDigits[i];
                walk.Placed();
            }
            w += intLen + seps * lay.thousandSep.size();
            if (lay.numDigits > 0) {
                std::memcpy(w, lay.decimalSep.data(), lay.decimalSep.size());
                w += lay.decimalSep.size();
                std::memcpy(w, frac, lay.numDigits);
                w += lay.numDigits;
            }
        }
    }
    return true;
}

}  // namespace

DigitGrouping DigitGrouping::FromNumber(unsigned grouping) noexcept {
    DigitGrouping g;
    char text[16];
    int n = 0;
    for (unsigned v = grouping; v > 0 && n < 16; v /= 10) text[n++] = static_cast<char>('0' + v % 10);
    g.repeatLast = true;
    while (n-- > 0) {
        const auto size = static_cast<std::uint8_t>(text[n] - '0');
        if (size == 0) {
            g.repeatLast = false;
            break;
        }
        if (g.count < 10) g.sizes[g.count++] = size;
    }
    if (g.count == 0) g.repeatLast = false;
    return g;
}

DigitGrouping DigitGrouping::FromText(std::string_view grouping) noexcept {
    DigitGrouping g;
    std::size_t pos = 0;
    while (pos < grouping.size()) {
        std::size_t end = grouping.find(';', pos);
        if (end == std::string_view::npos) end = grouping.size();
        unsigned size = 0;
        for (std::size_t i = pos; i < end; ++i)
            if (IsDecimalDigit(grouping[i]) && size < 10) size = size * 10 + static_cast<unsigned>(grouping[i] - '0');
        if (size == 0) {
            // A closing 0 means the last size repeats.
            g.repeatLast = g.count > 0;
            break;
        }
        if (g.count < 10) g.sizes[g.count++] = static_cast<std::uint8_t>(size > kMaxDigits ? kMaxDigits : size);
        pos = end + 1;
    }
    return g;
}

bool FormatNumberText(std::string_view value, const NumberFormatSpec& spec, std::string& out) {
    if (spec.numDigits > kMaxDigits || spec.negativeOrder >= std::size(kNegativeNumber)) {
        out.clear();
        return false;
    }
    const Layout lay{spec.numDigits, spec.leadingZero, &spec.grouping, spec.decimalSep.view(),
                     spec.thousandSep.view(), {}, kPositiveNumber, kNegativeNumber[spec.negativeOrder]};
    return Format(value, lay, out);
}

bool FormatCurrencyText(std::string_view value, const CurrencyFormatSpec& spec, std::string& out) {
    if (spec.numDigits > kMaxDigits || spec.positiveOrder >= std::size(kPositiveCurrency) ||
        spec.negativeOrder >= std::size(kNegativeCurrency)) {
        out.clear();
        return false;
    }
    const Layout lay{spec.numDigits, spec.leadingZero, &spec.grouping, spec.decimalSep.view(),
                     spec.thousandSep.view(), spec.currencySymbol.view(), kPositiveCurrency[spec.positiveOrder],
                     kNegativeCurrency[spec.negativeOrder]};
    return Format(value, lay, out);
}

}  // namespace vutil
