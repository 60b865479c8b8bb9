// vutil number: numbers to text and back with CNumberTextConv.

#include <cerrno>
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

bool ParseDouble(const std::string& text, double& v) {
    errno = 0;
    char* end = nullptr;
    v = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && errno != ERANGE;
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
        } else if (args[i] == "--digits" && i + 1 < args.size()) {
            digits = vutil::RuntimeAtoi(args[++i]);
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
    return Print(CNumberTextConv::DoubleToString(v, digits, currency, 0, "", true));
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
    if (cmd == "roman") return Print(CNumberTextConv::ConvertToRoman(vutil::RuntimeAtoi(value)));
    if (cmd == "fromroman") {
        std::cout << CNumberTextConv::ConvertFromRoman(CString(value)) << '\n';
        return 0;
    }
    if (cmd == "bytes") {
        std::uint64_t n = 0;
        if (!ParseUnsigned(value, n)) return vutil::cli::UsageError(kName, "bytes needs an unsigned number");
        return Print(CNumberTextConv::ConvertToBytes(n));
    }
    if (cmd == "fraction") {
        double v = 0;
        if (!ParseDouble(value, v)) return vutil::cli::UsageError(kName, "not a number: '" + value + "'");
        return Print(CNumberTextConv::DoubleToFraction(v));
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
