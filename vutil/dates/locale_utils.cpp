#include "vutil/dates/locale_utils.h"

#include <atomic>
#include <cstdlib>
#include <vector>

#include "vutil/core/app_logger.h"
#include "vutil/framework/types.h"
#include "vutil/platform/locale.h"
#include "vutil/platform/locale_keyed.h"
#include "vutil/system/registry_utils.h"

namespace vutil {

namespace pf = platform;

namespace {

// Text reads that failed, so that a kept copy of an answer can tell a failed read (to be
// asked again, and logged again) from an item that is empty.
std::atomic<unsigned int> g_failedTextReads{0};

void Log(const char* line) {
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(line);
}

unsigned int Number(unsigned long type) {
    unsigned int value = 0;
    pf::QueryLocaleNumber(static_cast<DWORD>(type), value);
    return value;
}

}  // namespace

CString CLocaleUtils::GetLocaleInfoFor(unsigned long type) {
    int size = pf::QueryLocaleText(static_cast<DWORD>(type), nullptr, 0);
    if (size <= 0) {
        ++g_failedTextReads;
        Log("{5F7F49DE-1922-43EA-A2DF-CF45C26EE41B}");
        return CString();
    }
    // Items are short; the heap is only for an unusually long one.
    char small[64];
    std::vector<char> large;
    char* buffer = small;
    if (static_cast<std::size_t>(size) > sizeof small) {
        large.resize(static_cast<std::size_t>(size));
        buffer = large.data();
    }
    if (pf::QueryLocaleText(static_cast<DWORD>(type), buffer, size) <= 0) {
        ++g_failedTextReads;
        Log("{7114CF88-F357-4D2B-8CF2-47EB7E370B39}");
        return CString();
    }
    return CString(buffer);
}

void CLocaleUtils::GetLocaleInfoNumberFor(unsigned long type, unsigned int& value) {
    unsigned int v = 0;
    if (pf::QueryLocaleNumber(static_cast<DWORD>(type), v)) value = v;
}

unsigned int CLocaleUtils::ConvertGrouping(const CString& grouping) {
    unsigned int n = 0;
    for (int i = 0; i < grouping.GetLength(); ++i) {
        char c = grouping[i];
        if (c >= '1' && c <= '8') n = n * 10 + static_cast<unsigned>(c - '0');
    }
    return n;
}

// The five separators, kept per locale table like every value derived from the regional
// settings; a failed read is not kept, so it is asked (and logged) again.
struct CLocaleUtils::Separators {
    CString decimal, thousands, currencyDecimal, currencyThousands, currencySymbol;
};

const CLocaleUtils::Separators& CLocaleUtils::KeptSeparators() {
    static pf::LocaleKeyed<Separators> kept;
    return kept.Get([](Separators& s) {
        const unsigned int failures = g_failedTextReads;
        s.decimal = GetLocaleInfoFor(pf::kLocaleSDecimal);
        s.thousands = GetLocaleInfoFor(pf::kLocaleSThousand);
        s.currencyDecimal = GetLocaleInfoFor(pf::kLocaleSMonDecimalSep);
        s.currencyThousands = GetLocaleInfoFor(pf::kLocaleSMonThousandSep);
        s.currencySymbol = GetLocaleInfoFor(pf::kLocaleSCurrency);
        return failures == g_failedTextReads;
    });
}

thread_local CString CLocaleUtils::m_csDecimalSeparator;
thread_local CString CLocaleUtils::m_csThousandsSeparator;
thread_local CString CLocaleUtils::m_csCurrencyDecimalSeparator;
thread_local CString CLocaleUtils::m_csCurrencyThousandsSeparator;
thread_local CString CLocaleUtils::m_csCurrencySymbol;
thread_local unsigned int CLocaleUtils::m_nSeparatorGeneration = 0;

// Copies from the per-table cache reach this thread's members only when the table
// changes; an empty member (a failed read, or one a caller emptied) is asked again.
const CString& CLocaleUtils::Kept(CString& member, CString Separators::*item) {
    const unsigned int generation = pf::LocaleGeneration();
    if (m_nSeparatorGeneration != generation) {
        const Separators& s = KeptSeparators();
        m_csDecimalSeparator = s.decimal;
        m_csThousandsSeparator = s.thousands;
        m_csCurrencyDecimalSeparator = s.currencyDecimal;
        m_csCurrencyThousandsSeparator = s.currencyThousands;
        m_csCurrencySymbol = s.currencySymbol;
        m_nSeparatorGeneration = generation;
    } else if (member.IsEmpty()) {
        member = KeptSeparators().*item;
    }
    return member;
}

CString CLocaleUtils::GetDateSeparator() { return GetLocaleInfoFor(pf::kLocaleSDate); }
CString CLocaleUtils::GetTimeSeparator() { return GetLocaleInfoFor(pf::kLocaleSTime); }
CString CLocaleUtils::GetTimeAM() { return GetLocaleInfoFor(pf::kLocaleS1159); }
CString CLocaleUtils::GetTimePM() { return GetLocaleInfoFor(pf::kLocaleS2359); }
CString CLocaleUtils::GetDecimalSeparator() { return Kept(m_csDecimalSeparator, &Separators::decimal); }
CString CLocaleUtils::GetThousandsSeparator() { return Kept(m_csThousandsSeparator, &Separators::thousands); }
CString CLocaleUtils::GetCurrencyDecimalSeparator() { return Kept(m_csCurrencyDecimalSeparator, &Separators::currencyDecimal); }
CString CLocaleUtils::GetCurrencyThousandsSeparator() { return Kept(m_csCurrencyThousandsSeparator, &Separators::currencyThousands); }
CString CLocaleUtils::GetCurrencySymbol() { return Kept(m_csCurrencySymbol, &Separators::currencySymbol); }
CString CLocaleUtils::GetCountryName() { return GetLocaleInfoFor(pf::kLocaleSEngCountry); }
CString CLocaleUtils::GetLanguageName() { return GetLocaleInfoFor(pf::kLocaleSEngLanguage); }
unsigned int CLocaleUtils::GetCountryCode() { return Number(pf::kLocaleICountry); }
unsigned int CLocaleUtils::GetNumberFractionalDigits() { return Number(pf::kLocaleIDigits); }
unsigned int CLocaleUtils::GetCurrencyFractionalDigits() { return Number(pf::kLocaleICurrDigits); }
unsigned int CLocaleUtils::GetDigitGrouping() { return ConvertGrouping(GetLocaleInfoFor(pf::kLocaleSGrouping)); }
unsigned int CLocaleUtils::GetCurrencyGrouping() { return ConvertGrouping(GetLocaleInfoFor(pf::kLocaleSMonGrouping)); }
bool CLocaleUtils::GetLeadingZero() { return Number(pf::kLocaleILZero) != 0; }
bool CLocaleUtils::GetFullYearDisplay() { return Number(pf::kLocaleICentury) == 1; }
bool CLocaleUtils::GetDayHasLeadingZero() { return Number(pf::kLocaleIDayLZero) != 0; }
bool CLocaleUtils::GetMonthHasLeadingZero() { return Number(pf::kLocaleIMonLZero) != 0; }
bool CLocaleUtils::GetHourHasLeadingZero() { return Number(pf::kLocaleITLZero) != 0; }
bool CLocaleUtils::GetUSMeasurementSystem() { return Number(pf::kLocaleIMeasure) != 0; }

bool CLocaleUtils::Get12HourTime(bool& markerFirst) {
    markerFirst = Number(pf::kLocaleITimeMarkPosn) != 0;
    return Number(pf::kLocaleITime) == 0;
}

int CLocaleUtils::GetFirstDayOfWeek() {
    unsigned int day = Number(pf::kLocaleIFirstDayOfWeek);
    return day <= 5 ? static_cast<int>(day) + 2 : 1;
}

void CLocaleUtils::GetDateOrdering(unsigned& day, unsigned& month, unsigned& year) {
    switch (Number(pf::kLocaleIDate)) {
        case 0: day = 1, month = 0, year = 2; break;
        case 1: day = 0, month = 1, year = 2; break;
        default: day = 2, month = 1, year = 0; break;
    }
}

bool CLocaleUtils::GetCurrencySymbolIsPrefix(bool& separated) {
    switch (Number(pf::kLocaleICurrency)) {
        case 0: separated = false; return true;
        case 1: separated = false; return false;
        case 2: separated = true; return true;
        default: separated = true; return false;
    }
}

void CLocaleUtils::GetNegNumberFormat(bool& spaced, bool& signFirst, bool& parentheses) {
    switch (Number(pf::kLocaleINegNumber)) {
        case 0: spaced = false, signFirst = false, parentheses = true; break;
        case 1: spaced = false, signFirst = true, parentheses = false; break;
        case 2: spaced = true, signFirst = true, parentheses = false; break;
        case 3: spaced = false, signFirst = false, parentheses = false; break;
        default: spaced = true, signFirst = false, parentheses = false; break;
    }
}

void CLocaleUtils::GetNegCurrencySymbolFormat(bool& a, bool& b, bool& c, bool& d) {
    switch (Number(pf::kLocaleINegCurr)) {
        case 0: case 4: case 14: case 15: a = false, b = false, c = false, d = true; break;
        case 1: case 5: case 8: case 9: a = true, b = true, c = false, d = false; break;
        case 2: case 12: a = true, b = false, c = false, d = false; break;
        case 6: case 13: a = true, b = true, c = true, d = false; break;
        default: a = true, b = false, c = true, d = false; break;
    }
}

CString CLocaleUtils::GetMonthName(int month, bool abbreviated) {
    if (month < 1 || month > 13) {
        Log("{408654B2-6791-46be-96AE-DECE99832073}");
        return CString();
    }
    DWORD type;
    if (month == 13) type = abbreviated ? pf::kLocaleSAbbrevMonthName13 : pf::kLocaleSMonthName13;
    else type = (abbreviated ? pf::kLocaleSAbbrevMonthName1 : pf::kLocaleSMonthName1) + static_cast<DWORD>(month - 1);
    return GetLocaleInfoFor(type);
}

CString CLocaleUtils::GetDayName(int day, bool abbreviated) {
    if (day < 1 || day > 7) {
        Log("{9358F711-98BB-411f-8F4C-A9BE05892568}");
        return CString();
    }
    // Day 1 is Sunday here; the locale's own list starts on Monday and ends on Sunday.
    DWORD index = day == 1 ? 6 : static_cast<DWORD>(day - 2);
    return GetLocaleInfoFor((abbreviated ? pf::kLocaleSAbbrevDayName1 : pf::kLocaleSDayName1) + index);
}

int CLocaleUtils::GetTwoDigitYearMax() {
    CString value = CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "Control Panel\\International\\Calendars\\TwoDigitYearMax",
                                                "1", false);
    if (value.GetLength() < 2) return 29;
    return std::atoi(value.Right(2).GetString());
}

// ---- The date-text snapshot -------------------------------------------------------------------

namespace date_text {

LocaleSnapshot& LocaleSnapshot::Current() {
    // Per thread, so that formatting on several threads needs no lock.
    thread_local LocaleSnapshot snapshot;
    snapshot.m_generation = pf::LocaleGeneration();
    return snapshot;
}

const LocaleSnapshot::Name& LocaleSnapshot::Refill(Slot<Name>& slot, CString (*read)()) {
    const unsigned int failures = g_failedTextReads;
    return Store(slot, read(), failures);
}

const LocaleSnapshot::Name& LocaleSnapshot::Refill(Slot<Name>& slot, CString (*read)(int, bool), int which) {
    const unsigned int failures = g_failedTextReads;
    return Store(slot, read(which, false), failures);
}

const LocaleSnapshot::Name& LocaleSnapshot::Store(Slot<Name>& slot, CString text, unsigned int failuresBefore) {
    slot.value.lower = text;
    slot.value.lower.MakeLower();
    slot.value.text = std::move(text);
    // A failed read is not kept: the next call asks again, and logs again.
    slot.stamp = failuresBefore == g_failedTextReads ? m_generation : 0;
    return slot.value;
}

std::array<unsigned, 3> LocaleSnapshot::ReadDateOrdering() {
    std::array<unsigned, 3> order{};
    CLocaleUtils::GetDateOrdering(order[0], order[1], order[2]);
    return order;
}

std::pair<bool, bool> LocaleSnapshot::Read12HourTime() {
    bool markerFirst = false;
    const bool twelve = CLocaleUtils::Get12HourTime(markerFirst);
    return {twelve, markerFirst};
}

}  // namespace date_text

}  // namespace vutil
