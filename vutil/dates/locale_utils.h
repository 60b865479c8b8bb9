#pragma once
// CLocaleUtils: the user's regional settings (separators, grouping, currency and
// date layouts, names of months and days, the two-digit-year limit).

#include <array>
#include <utility>

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

namespace date_text {

// The settings DateTime's parsers and formatters read on every call, kept per thread
// and asked again through CLocaleUtils only once the platform selects another locale
// table. A text read that failed is not kept, so it is asked (and logged) again.
class LocaleSnapshot {
public:
    // This thread's copy, checked against the platform's current selection: take it
    // once at the start of each parse or format.
    static LocaleSnapshot& Current();

    void GetDateOrdering(unsigned& day, unsigned& month, unsigned& year);
    bool GetDayHasLeadingZero();
    bool GetMonthHasLeadingZero();
    bool GetFullYearDisplay();
    bool GetHourHasLeadingZero();
    bool Get12HourTime(bool& markerFirst);
    const CString& GetDateSeparator();
    const CString& GetTimeSeparator();
    const CString& GetTimeAM();
    const CString& GetTimePM();
    // Lower-cased through the library's tables.
    const CString& GetTimeAMLower();
    const CString& GetTimePMLower();
    // Full names: month 1 ... 12, day 1 (Sunday) ... 7.
    const CString& GetMonthName(int month);
    const CString& GetMonthNameLower(int month);
    const CString& GetDayNameLower(int day);

private:
    template <typename T>
    struct Slot {
        unsigned int stamp = 0;  // the generation it was read under; 0 = not read
        T value{};
    };
    struct Name {
        CString text;
        CString lower;
    };

    template <typename T, typename Read>
    const T& Number(Slot<T>& slot, Read read);
    template <typename Read>
    const Name& Text(Slot<Name>& slot, Read read);
    const Name& MonthSlot(int month);
    const Name& DaySlot(int day);

    unsigned int m_generation = 0;
    Slot<std::array<unsigned, 3>> m_dateOrder;
    Slot<bool> m_dayZero, m_monthZero, m_fullYear, m_hourZero;
    Slot<std::pair<bool, bool>> m_clock;  // twelve-hour, marker first
    Slot<Name> m_dateSeparator, m_timeSeparator, m_am, m_pm;
    std::array<Slot<Name>, 12> m_months;
    std::array<Slot<Name>, 7> m_days;
};

}  // namespace date_text

}  // namespace vutil
