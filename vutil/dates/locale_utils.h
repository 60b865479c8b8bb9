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

    // The five kept separators as the Get calls above leave them: this thread's copies,
    // empty until the first call that finds them empty, refreshed on the first call after
    // another locale table is selected. Per thread, so no reader races a writer.
    static thread_local CString m_csDecimalSeparator;
    static thread_local CString m_csThousandsSeparator;
    static thread_local CString m_csCurrencyDecimalSeparator;
    static thread_local CString m_csCurrencyThousandsSeparator;
    static thread_local CString m_csCurrencySymbol;

protected:
    static CString GetLocaleInfoFor(unsigned long type);
    static void GetLocaleInfoNumberFor(unsigned long type, unsigned int& value);
    static unsigned int ConvertGrouping(const CString& grouping);

private:
    // The five separators, kept per locale table.
    struct Separators;
    static const Separators& KeptSeparators();
    static const CString& Kept(CString& member, CString Separators::*item);
    // The locale generation this thread's members were filled under; 0 = never.
    static thread_local unsigned int m_nSeparatorGeneration;

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

    void GetDateOrdering(unsigned& day, unsigned& month, unsigned& year) {
        const auto& order = Kept(m_dateOrder, &ReadDateOrdering);
        day = order[0], month = order[1], year = order[2];
    }
    bool GetDayHasLeadingZero() { return Kept(m_dayZero, &CLocaleUtils::GetDayHasLeadingZero); }
    bool GetMonthHasLeadingZero() { return Kept(m_monthZero, &CLocaleUtils::GetMonthHasLeadingZero); }
    bool GetFullYearDisplay() { return Kept(m_fullYear, &CLocaleUtils::GetFullYearDisplay); }
    bool GetHourHasLeadingZero() { return Kept(m_hourZero, &CLocaleUtils::GetHourHasLeadingZero); }
    bool Get12HourTime(bool& markerFirst) {
        const auto& clock = Kept(m_clock, &Read12HourTime);
        markerFirst = clock.second;
        return clock.first;
    }
    const CString& GetDateSeparator() { return Kept(m_dateSeparator, &CLocaleUtils::GetDateSeparator).text; }
    const CString& GetTimeSeparator() { return Kept(m_timeSeparator, &CLocaleUtils::GetTimeSeparator).text; }
    const CString& GetTimeAM() { return Kept(m_am, &CLocaleUtils::GetTimeAM).text; }
    const CString& GetTimePM() { return Kept(m_pm, &CLocaleUtils::GetTimePM).text; }
    // Lower-cased through the library's tables.
    const CString& GetTimeAMLower() { return Kept(m_am, &CLocaleUtils::GetTimeAM).lower; }
    const CString& GetTimePMLower() { return Kept(m_pm, &CLocaleUtils::GetTimePM).lower; }
    // Full names: month 1 ... 12, day 1 (Sunday) ... 7.
    const CString& GetMonthName(int month) { return MonthSlot(month).text; }
    const CString& GetMonthNameLower(int month) { return MonthSlot(month).lower; }
    const CString& GetDayNameLower(int day) { return DaySlot(day).lower; }

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

    // A number read that fails answers 0 every time, so its answer is kept either way.
    template <typename T>
    const T& Kept(Slot<T>& slot, T (*read)()) {
        if (slot.stamp != m_generation) {
            slot.value = read();
            slot.stamp = m_generation;
        }
        return slot.value;
    }
    const Name& Kept(Slot<Name>& slot, CString (*read)()) {
        return slot.stamp == m_generation ? slot.value : Refill(slot, read);
    }
    const Name& MonthSlot(int month) {
        Slot<Name>& slot = m_months[static_cast<std::size_t>(month - 1)];
        return slot.stamp == m_generation ? slot.value : Refill(slot, &CLocaleUtils::GetMonthName, month);
    }
    const Name& DaySlot(int day) {
        Slot<Name>& slot = m_days[static_cast<std::size_t>(day - 1)];
        return slot.stamp == m_generation ? slot.value : Refill(slot, &CLocaleUtils::GetDayName, day);
    }
    const Name& Refill(Slot<Name>& slot, CString (*read)());
    const Name& Refill(Slot<Name>& slot, CString (*read)(int, bool), int which);
    const Name& Store(Slot<Name>& slot, CString text, unsigned int failuresBefore);
    static std::array<unsigned, 3> ReadDateOrdering();
    static std::pair<bool, bool> Read12HourTime();

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
