// The thin layer between the formatters and the user's regional settings.
// Until the settings reader lands these answer as English (United States).

#include "vutil/text/number_format.h"
#include "vutil/text/number_locale_internal.h"

namespace vutil {

namespace numlocale {

CString DecimalSeparator() { return "."; }
CString ThousandsSeparator() { return ","; }
CString CurrencyDecimalSeparator() { return "."; }
CString CurrencyThousandsSeparator() { return ","; }
CString CurrencySymbol() { return "$"; }
unsigned NumberFractionalDigits() { return 2; }

}  // namespace numlocale

NumberFormatSpec NumberFormatSpec::FromLocale() {
    NumberFormatSpec spec;
    spec.numDigits = 2;
    spec.leadingZero = true;
    spec.grouping = DigitGrouping::FromNumber(3);
    spec.negativeOrder = 1;
    return spec;
}

CurrencyFormatSpec CurrencyFormatSpec::FromLocale() {
    CurrencyFormatSpec spec;
    spec.numDigits = 2;
    spec.leadingZero = true;
    spec.grouping = DigitGrouping::FromNumber(3);
    spec.positiveOrder = 0;
    spec.negativeOrder = 0;
    return spec;
}

}  // namespace vutil
