#pragma once
// CLocaleUtils: the user's regional settings (separators, grouping, currency and
// date layouts, names of months and days, the two-digit-year limit).

#include "vutil/framework/cstring.h"

namespace vutil {

class CLocaleUtils {
public:
    static CString GetDateSeparator();
    static CString GetTimeSeparator();
    static CString GetTimeAM();
    static CString GetTimePM();
    static CString GetDecimalSeparator();
    static CString GetThousandsSeparator();
    static CString GetCurrencyDecimalSeparator();
    static CString GetCurrencyThousandsSeparator();
    static CString GetCurrencySymbol();
    static CString GetCountryName();
    static CString GetLanguageName();
    static unsigned int GetCountryCode();
    static unsigned int GetNumberFractionalDigits();
    static unsigned int GetCurrencyFractionalDigits();
    static unsigned int GetDigitGrouping();
    static unsigned int GetCurrencyGrouping();
    static bool GetLeadingZero();
    static bool GetFullYearDisplay();
    static bool GetDayHasLeadingZero();
    static bool GetMonthHasLeadingZero();
    static bool GetHourHasLeadingZero();
    static bool GetUSMeasurementSystem();
    static bool Get12HourTime(bool& markerFirst);
    static int GetFirstDayOfWeek();
    static void GetDateOrdering(unsigned& day, unsigned& month, unsigned& year);
    static bool GetCurrencySymbolIsPrefix(bool& separated);
    static void GetNegNumberFormat(bool& spaced, bool& signFirst, bool& parentheses);
    // a: the sign or parentheses come before the number; b: the sign comes before the
    // symbol or number it opens; c: a space stands between symbol and number;
    // d: parentheses enclose the amount. Only the table of layouts is fixed.
    static void GetNegCurrencySymbolFormat(bool& a, bool& b, bool& c, bool& d);
    static CString GetMonthName(int month, bool abbreviated);
    static CString GetDayName(int day, bool abbreviated);
    static int GetTwoDigitYearMax();

protected:
    static CString GetLocaleInfoFor(unsigned long type);
    static void GetLocaleInfoNumberFor(unsigned long type, unsigned int& value);
    static unsigned int ConvertGrouping(const CString& grouping);

    // Filled on first use, kept for the life of the process; an empty answer is not kept.
    static CString m_csDecimalSeparator;
    static CString m_csThousandsSeparator;
    static CString m_csCurrencyDecimalSeparator;
    static CString m_csCurrencyThousandsSeparator;
    static CString m_csCurrencySymbol;
};

}  // namespace vutil
