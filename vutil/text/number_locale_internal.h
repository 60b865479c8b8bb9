#pragma once
// The regional settings CNumberTextConv reads, taken once at first use.
//
// The separators are kept for the life of the process by CLocaleUtils already; the
// grouping, digit counts and layouts are kept with them here, so that formatting a
// number asks the platform nothing (no lock, no allocation) after the first call.

#include "vutil/framework/cstring.h"
#include "vutil/text/number_format.h"

namespace vutil::numlocale {

struct Settings {
    NumberFormatSpec number;      // separators cut to four characters
    NumberFormatSpec integer;     // the same without decimals or leading zero
    CurrencyFormatSpec currency;  // likewise
    // The separators whole, for the parsers.
    CString decimalSep;
    CString thousandsSep;
    CString currencyDecimalSep;
    CString currencyThousandsSep;
    CString currencySymbol;
};

const Settings& Current();

}  // namespace vutil::numlocale
