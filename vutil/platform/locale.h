#pragma once
// Regional settings of the user's default locale, item by item.
//
// Items are named by the registry-era locale numbers (kLocaleSDate is the date
// separator, kLocaleIDate the short-date order, ...), so the Windows backend passes
// them straight through. Texts are Windows-1252.
//
// POSIX backend: VUTIL_LOCALE names a built-in table ("en-US", "en-GB", "de-DE",
// "en-IN"); otherwise the items come from the environment's POSIX locale
// (LC_ALL / LC_* / LANG), and the "C" / "POSIX" locale answers as en-US.

#include <string>

#include "vutil/platform/types.h"

namespace vutil::platform {

enum : DWORD {
    kLocaleILanguage = 0x01,
    kLocaleSLanguage = 0x02,
    kLocaleSAbbrevLangName = 0x03,
    kLocaleSNativeLangName = 0x04,
    kLocaleICountry = 0x05,
    kLocaleSCountry = 0x06,
    kLocaleSAbbrevCtryName = 0x07,
    kLocaleSNativeCtryName = 0x08,
    kLocaleSList = 0x0C,
    kLocaleIMeasure = 0x0D,
    kLocaleSDecimal = 0x0E,
    kLocaleSThousand = 0x0F,
    kLocaleSGrouping = 0x10,
    kLocaleIDigits = 0x11,
    kLocaleILZero = 0x12,
    kLocaleSNativeDigits = 0x13,
    kLocaleSCurrency = 0x14,
    kLocaleSIntlSymbol = 0x15,
    kLocaleSMonDecimalSep = 0x16,
    kLocaleSMonThousandSep = 0x17,
    kLocaleSMonGrouping = 0x18,
    kLocaleICurrDigits = 0x19,
    kLocaleIIntlCurrDigits = 0x1A,
    kLocaleICurrency = 0x1B,
    kLocaleINegCurr = 0x1C,
    kLocaleSDate = 0x1D,
    kLocaleSTime = 0x1E,
    kLocaleSShortDate = 0x1F,
    kLocaleSLongDate = 0x20,
    kLocaleIDate = 0x21,
    kLocaleILDate = 0x22,
    kLocaleITime = 0x23,
    kLocaleICentury = 0x24,
    kLocaleITLZero = 0x25,
    kLocaleIDayLZero = 0x26,
    kLocaleIMonLZero = 0x27,
    kLocaleS1159 = 0x28,
    kLocaleS2359 = 0x29,
    kLocaleSDayName1 = 0x2A,        // Monday; ... kLocaleSDayName1 + 6 is Sunday
    kLocaleSAbbrevDayName1 = 0x31,  // Monday
    kLocaleSMonthName1 = 0x38,      // January ... + 11 December
    kLocaleSAbbrevMonthName1 = 0x44,
    kLocaleSPositiveSign = 0x50,
    kLocaleSNegativeSign = 0x51,
    kLocaleSIso639LangName = 0x59,
    kLocaleSIso3166CtryName = 0x5A,
    kLocaleSEngLanguage = 0x1001,
    kLocaleSEngCountry = 0x1002,
    kLocaleSTimeFormat = 0x1003,
    kLocaleITimeMarkPosn = 0x1005,
    kLocaleIFirstDayOfWeek = 0x100C,  // 0 Monday ... 6 Sunday
    kLocaleIFirstWeekOfYear = 0x100D,
    kLocaleSMonthName13 = 0x100E,
    kLocaleSAbbrevMonthName13 = 0x100F,
    kLocaleINegNumber = 0x1010,
};

// The text of an item, as the registry-era call gives it: with size 0 the size
// needed including the terminating zero; otherwise the text is copied and its size
// returned. 0 when the item is unknown or the buffer too small (last error set).
int QueryLocaleText(DWORD type, char* buffer, int size);
// The item as a number; false (value unchanged) when it has no number form.
bool QueryLocaleNumber(DWORD type, unsigned int& value);
// The locale the answers come from ("en-US", or the POSIX locale's name).
std::string LocaleName();
// A number that changes whenever the answers above may have changed (another table
// selected) and is never 0, so that callers can keep values derived from the answers
// stamped with it. Equal numbers mean equal answers. As cheap as one item query.
unsigned int LocaleGeneration();

}  // namespace vutil::platform
