#pragma once
// The regional settings CNumberTextConv reads, kept per locale table (LocaleKeyed):
// formatting a number asks the platform only which table is current (no lock, no
// allocation), and a change of VUTIL_LOCALE reaches it on the next call.

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
