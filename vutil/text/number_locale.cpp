// The thin layer between the formatters and the user's regional settings.

#include "vutil/dates/locale_utils.h"
#include "vutil/platform/locale.h"
#include "vutil/platform/locale_keyed.h"
#include "vutil/text/number_format.h"
#include "vutil/text/number_locale_internal.h"

namespace vutil {

namespace {

// The negative currency layout has sixteen values that the public flags do not tell
// apart, so it is read as the raw locale number.
class LocaleNumbers : public CLocaleUtils {
public:
    static unsigned NegativeCurrencyOrder() {
        unsigned int value = 0;
        GetLocaleInfoNumberFor(platform::kLocaleINegCurr, value);
        return value;
    }
};

// The formatters take separators of at most four characters.
CString Cut(CString text) {
    text.Truncate(4);
    return text;
}

unsigned NegativeNumberOrder() {
    bool spaced = false, signFirst = false, parentheses = false;
    CLocaleUtils::GetNegNumberFormat(spaced, signFirst, parentheses);
    if (parentheses) return 0;
    if (signFirst) return spaced ? 2 : 1;
    return spaced ? 4 : 3;
}

unsigned PositiveCurrencyOrder() {
    bool separated = false;
    const bool prefix = CLocaleUtils::GetCurrencySymbolIsPrefix(separated);
    return (prefix ? 0 : 1) + (separated ? 2 : 0);
}

}  // namespace

NumberFormatSpec NumberFormatSpec::FromLocale() {
    NumberFormatSpec spec;
    spec.numDigits = CLocaleUtils::GetNumberFractionalDigits();
    spec.leadingZero = CLocaleUtils::GetLeadingZero();
    spec.grouping = DigitGrouping::FromNumber(CLocaleUtils::GetDigitGrouping());
    spec.decimalSep = Cut(CLocaleUtils::GetDecimalSeparator());
    spec.thousandSep = Cut(CLocaleUtils::GetThousandsSeparator());
    spec.negativeOrder = NegativeNumberOrder();
    return spec;
}

CurrencyFormatSpec CurrencyFormatSpec::FromLocale() {
    CurrencyFormatSpec spec;
    spec.numDigits = CLocaleUtils::GetCurrencyFractionalDigits();
    spec.leadingZero = CLocaleUtils::GetLeadingZero();
    spec.grouping = DigitGrouping::FromNumber(CLocaleUtils::GetCurrencyGrouping());
    spec.decimalSep = Cut(CLocaleUtils::GetCurrencyDecimalSeparator());
    spec.thousandSep = Cut(CLocaleUtils::GetCurrencyThousandsSeparator());
    spec.currencySymbol = CLocaleUtils::GetCurrencySymbol();
    spec.positiveOrder = PositiveCurrencyOrder();
    spec.negativeOrder = LocaleNumbers::NegativeCurrencyOrder();
    return spec;
}

namespace numlocale {

const Settings& Current() {
    // Kept per locale table, as the separators and the date text are.
    static platform::LocaleKeyed<Settings> kept;
    return kept.Get([](Settings& s) {
        s.number = NumberFormatSpec::FromLocale();
        s.integer = s.number;
        s.integer.numDigits = 0;
        s.integer.leadingZero = false;
        s.currency = CurrencyFormatSpec::FromLocale();
        s.decimalSep = CLocaleUtils::GetDecimalSeparator();
        s.thousandsSep = CLocaleUtils::GetThousandsSeparator();
        s.currencyDecimalSep = CLocaleUtils::GetCurrencyDecimalSeparator();
        s.currencyThousandsSep = CLocaleUtils::GetCurrencyThousandsSeparator();
        s.currencySymbol = CLocaleUtils::GetCurrencySymbol();
        // A separator that could not be read is empty; such settings are not kept.
        return !s.decimalSep.IsEmpty() && !s.currencyDecimalSep.IsEmpty();
    });
}

}  // namespace numlocale

}  // namespace vutil
