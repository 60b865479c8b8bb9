// DateTime: durations typed as text ("2h 15m 30s", "1.5h", "90", "1:30") to seconds.

#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

#include "vutil/dates/date_time.h"
#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

// Truncation toward zero that saturates instead of overflowing; NaN (from an infinite
// number of digits) counts as nothing.
int Truncated(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

void AddSaturated(int& total, int amount) {
    if (__builtin_add_overflow(total, amount, &total)) total = amount < 0 ? INT_MIN : INT_MAX;
}

}  // namespace

void DateTime::InterpretNumber(double value, char unit, int& hours, int& minutes, int& seconds,
                               bool leadingNumberIsHours) {
    const int whole = Truncated(value);
    const int part = Truncated(value * 60.0 - 60.0 * whole);
    switch (unit) {
        case 'h':
            AddSaturated(hours, whole);
            AddSaturated(minutes, part);
            break;
        case 'm':
            AddSaturated(minutes, whole);
            AddSaturated(seconds, part);
            break;
        case 's': AddSaturated(seconds, whole); break;
        default:
            // A bare number: seconds after minutes, else hours when asked for, else minutes.
            if (minutes != 0) {
                AddSaturated(seconds, whole);
            } else if (hours == 0 && leadingNumberIsHours) {
                hours = whole;
                AddSaturated(minutes, part);
            } else {
                minutes = whole;
                AddSaturated(seconds, part);
            }
            break;
    }
}

int DateTime::ConvertFromDuration(const CString& text, bool leadingNumberIsHours) {
    CString lower(text);
    lower.Trim();
    if (lower.IsEmpty()) return 0;
    lower.MakeLower();
    int hours = 0, minutes = 0, seconds = 0;
    bool anyDigit = false;
    bool firstIsHours = leadingNumberIsHours;
    std::string number;
    const auto flush = [&](char unit) {
        InterpretNumber(CNumberTextConv::GetDoubleFromString(CString(number), false), unit, hours, minutes, seconds,
                        firstIsHours);
        number.clear();
        firstIsHours = false;
    };
    for (const char c : lower.view()) {
        const bool digit = CStringUtils::IsDigit(static_cast<unsigned char>(c));
        if (digit || c == '.') {
            anyDigit = anyDigit || digit;
            number += c;
        } else if (CStringUtils::IsSpace(static_cast<unsigned char>(c))) {
            continue;
        } else if (!number.empty()) {
            flush(c);
        }
    }
    if (!number.empty()) flush('\0');
    if (!anyDigit) return -1;
    const std::int64_t total = std::int64_t{hours} * 3600 + std::int64_t{minutes} * 60 + seconds;
    return total > INT_MAX ? INT_MAX : total < INT_MIN ? INT_MIN : static_cast<int>(total);
}

}  // namespace vutil
