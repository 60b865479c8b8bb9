// vutil number: numbers to text and back with CNumberTextConv.

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "command.h"
#include "vutil/text/number_runtime.h"
#include "vutil/text/number_text_conv.h"

namespace {

using vutil::CNumberTextConv;
using vutil::CString;

constexpr const char* kName = "number";

int Print(const CString& text) {
    std::cout << vutil::cli::Utf8(text) << '\n';
    return 0;
}

// The library answers a value it cannot show with empty text: that is bad input here.
int PrintOrRefuse(const CString& text, const std::string& value, const char* what) {
    if (text.IsEmpty()) return vutil::cli::UsageError(kName, "'" + value + "' cannot be shown as " + what);
    return Print(text);
}

// Finite numbers only: NaN and infinities have no text form.
bool ParseDouble(const std::string& text, double& v) {
    errno = 0;
    char* end = nullptr;
    v = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && errno != ERANGE && std::isfinite(v);
}

bool ParseInt(const std::string& text, int& n) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, n);
    return !text.empty() && ec == std::errc() && ptr == end;
}

bool ParseUnsigned(const std::string& text, std::uint64_t& n) {
    if (text.empty() || text[0] == '-') return false;
    errno = 0;
    char* end = nullptr;
    n = std::strtoull(text.c_str(), &end, 10);
    return *end == '\0' && errno != ERANGE;
}

// group: an integer as NumberToString, a decimal (or --digits / --currency) as
// DoubleToString with the locale's layout.
int RunGroup(const std::vector<std::string>& args) {
    std::string value;
    bool currency = false;
    int digits = -1;
    bool decimal = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--currency") {
            currency = decimal = true;
        } else if (args[i] == "--digits") {
            if (i + 1 == args.size() || !ParseInt(args[i + 1], digits) || digits < 0)
                return vutil::cli::UsageError(kName, "--digits needs a count of decimal places");
            ++i;
            decimal = true;
        } else if (value.empty()) {
            value = args[i];
        } else {
            return vutil::cli::UsageError(kName, "unexpected argument '" + args[i] + "'");
        }
    }
    if (value.empty()) return vutil::cli::UsageError(kName, "group needs a value");
    double v = 0;
    if (!ParseDouble(value, v)) return vutil::cli::UsageError(kName, "not a number: '" + value + "'");
    std::uint64_t u = 0;
    if (!decimal && value.find_first_of(".eE") == std::string::npos) {
        if (v >= -2147483648.0 && v <= 2147483647.0) return Print(CNumberTextConv::NumberToString(static_cast<int>(v), true, 0, ""));
        if (ParseUnsigned(value, u)) return Print(CNumberTextConv::NumberToString(u));
    }
    const CString text = CNumberTextConv::DoubleToString(v, digits, currency, 0, "", true);
    if (text.IsEmpty() && digits >= 0)
        return vutil::cli::UsageError(kName, "--digits " + std::to_string(digits) + " is more decimal places than can be shown");
    return PrintOrRefuse(text, value, "a grouped number");
}

// colour: "#RRGGBB", "rgb(r, g, b)" or a COLORREF number ("0x..." or decimal); prints
// both notations.
int RunColour(const std::string& value) {
    unsigned long colour = 0;
    bool ok = false;
    if (value.size() == 7 && value[0] == '#') {
        std::size_t used = 0;
        const long rgb = vutil::RuntimeStrtol(value.substr(1), 16, &used);
        ok = used == 6;
        colour = (static_cast<unsigned long>(rgb) & 0xFF) << 16 | (static_cast<unsigned long>(rgb) & 0xFF00) |
                 (static_cast<unsigned long>(rgb) >> 16 & 0xFF);
    } else if (value.rfind("0x", 0) == 0) {
        colour = static_cast<unsigned long>(CNumberTextConv::ConvertFromHex(value.c_str()));
        ok = true;
    } else if (std::uint64_t n = 0; ParseUnsigned(value, n)) {
        colour = static_cast<unsigned long>(n & 0xFFFFFFFF);
        ok = true;
    } else {
        colour = CNumberTextConv::ConvertRGBStringToCOLORREF(value.c_str(), ok);
    }
    if (!ok) return vutil::cli::UsageError(kName, "not a colour: '" + value + "'");
    Print(CNumberTextConv::ConvertCOLORREFToHexString(colour));
    return Print(CNumberTextConv::ConvertCOLORREFToRGBString(colour));
}

int RunNumber(const std::vector<std::string>& args) {
    if (args.empty()) return vutil::cli::UsageError(kName, "needs a command: roman|fromroman|bytes|fraction|fromfraction|group|colour");
    const std::string& cmd = args[0];
    if (cmd == "group") return RunGroup(args);
    if (args.size() != 2) return vutil::cli::UsageError(kName, cmd + " takes one value");
    const std::string& value = args[1];
    if (cmd == "roman") {
        int n = 0;
        if (!ParseInt(value, n)) return vutil::cli::UsageError(kName, "roman needs a whole number, not '" + value + "'");
        return PrintOrRefuse(CNumberTextConv::ConvertToRoman(n), value, "a Roman numeral");
    }
    if (cmd == "fromroman") {
        const int n = CNumberTextConv::ConvertFromRoman(CString(value));
        if (n <= 0) return vutil::cli::UsageError(kName, "not a Roman numeral: '" + value + "'");
        std::cout << n << '\n';
        return 0;
    }
    if (cmd == "bytes") {
        std::uint64_t n = 0;
        if (!ParseUnsigned(value, n)) return vutil::cli::UsageError(kName, "bytes needs an unsigned number");
        return PrintOrRefuse(CNumberTextConv::ConvertToBytes(n), value, "a byte size");
    }
    if (cmd == "fraction") {
        double v = 0;
        if (!ParseDouble(value, v)) return vutil::cli::UsageError(kName, "not a number: '" + value + "'");
        return PrintOrRefuse(CNumberTextConv::DoubleToFraction(v), value, "a fraction");
    }
    if (cmd == "fromfraction") {
        char text[64];
        std::snprintf(text, sizeof text, "%.15g", CNumberTextConv::FractionToDouble(CString(value)));
        return Print(text);
    }
    if (cmd == "colour" || cmd == "color") return RunColour(value);
    return vutil::cli::UsageError(kName, "unknown command '" + cmd + "'");
}

vutil::cli::Register reg({kName,
                          "roman|fromroman|bytes|fraction|fromfraction|colour <value> | group <value> [--digits N] "
                          "[--currency]",
                          "numbers as Roman numerals, byte sizes, fractions, locale-grouped text and colours",
                          RunNumber});

}  // namespace
