// CNumberTextConv: mixed fractions ("2 1/4") both ways.

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "vutil/text/number_runtime.h"
#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

constexpr double kZeroTolerance = 0.001;  // values and remainders below count as zero
constexpr double kExactTolerance = 1e-14;
constexpr int kMaxRounds = 64;             // the search settles long before this
constexpr double kInt64Range = 9.2e18;

// Continued-fraction search for numerator / denominator close to f (0 < f <= 1).
void FindFraction(double f, double& numerator, double& denominator) {
    double z = f;
    double a = 1.0;   // numerator
    double p = 0.0;   // previous numerator
    double q = 0.0;   // the one before
    double b = 0.0;   // denominator
    double guard = kExactTolerance;
    for (int round = 0; round < kMaxRounds; ++round) {
        if (std::fabs(z) < kZeroTolerance) break;
        const double r = 1.0 / z;
        const double term = std::trunc(r + guard);
        z = r - term;
        if (p != 0.0) a = term * a + q;
        b = std::trunc(a / f + 0.5);
        const double err = std::fabs(a / b - f);
        if (err <= kExactTolerance) break;
        if (z < guard) break;
        q = p;
        p = a;
        guard = kExactTolerance / err;
    }
    numerator = a;
    denominator = b;
}

void AppendInteger(std::string& out, std::int64_t n) {
    char buf[24];
    const int len = std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(n));
    out.append(buf, static_cast<std::size_t>(len));
}

}  // namespace

CString CNumberTextConv::DoubleToFraction(double v) {
    if (!std::isfinite(v)) return CString();
    if (std::fabs(v) < kZeroTolerance) return "0";
    CString result;
    std::string& out = result.str();
    // The guard pulls a value a hair below an integer onto it. Negative values are
    // mirrored, so that -2 stays -2 and -0.9999999 becomes -1 rather than losing its sign.
    const double sign = v < 0 ? -1.0 : 1.0;
    const double shifted = v + sign * kExactTolerance;
    if (!(std::fabs(shifted) < kInt64Range)) {
        // Every double this large is a whole number.
        char buf[400];
        const int len = std::snprintf(buf, sizeof buf, "%.0f", v);
        out.assign(buf, len > 0 && len < static_cast<int>(sizeof buf) ? static_cast<std::size_t>(len) : 0);
        return result;
    }
    auto whole = static_cast<std::int64_t>(shifted);
    const double f = std::fabs(v - static_cast<double>(whole));
    double numerator = 0.0;
    double denominator = 0.0;
    if (f > kExactTolerance) {
        FindFraction(f, numerator, denominator);
        if (numerator == denominator) {
            whole += v < 0 ? -1 : 1;
            numerator = denominator = 0.0;
        }
    }
    if (whole != 0) AppendInteger(out, whole);
    if (numerator != 0.0 && denominator != 0.0) {
        if (!out.empty()) out += ' ';
        AppendInteger(out, static_cast<std::int64_t>(numerator));
        out += '/';
        AppendInteger(out, static_cast<std::int64_t>(denominator));
    }
    return result;
}

double CNumberTextConv::FractionToDouble(const CString& text) {
    const int slash = text.Find('/');
    if (slash < 0) return GetDoubleFromString(text, false);
    const std::string_view s = text.view();
    const std::int64_t denominator = RuntimeAtoi64(s.substr(static_cast<std::size_t>(slash) + 1));
    // Right to left from the slash: the digits next to it are the numerator, every
    // digit further left (whatever lies between) belongs to the whole part.
    std::size_t start = static_cast<std::size_t>(slash);
    while (start > 0 && CStringUtils::IsDigit(static_cast<unsigned char>(s[start - 1]))) --start;
    const std::int64_t numerator = RuntimeAtoi64(s.substr(start, static_cast<std::size_t>(slash) - start));
    std::int64_t whole = 0;
    bool saturated = false;
    const std::size_t wholeEnd = start > 0 ? start - 1 : 0;
    for (std::size_t i = 0; i < wholeEnd && !saturated; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (!CStringUtils::IsDigit(c)) continue;
        const int digit = c - '0';
        if (whole > (INT64_MAX - digit) / 10) {
            whole = INT64_MAX;
            saturated = true;
        } else {
            whole = whole * 10 + digit;
        }
    }
    if (denominator != 0 && numerator != 0)
        return static_cast<double>(whole) + static_cast<double>(numerator) / static_cast<double>(denominator);
    return static_cast<double>(whole);
}

}  // namespace vutil
