// Archive records of DateTime and DateEntry.

#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"
#include "vutil/framework/archive.h"

namespace vutil {

namespace {
constexpr WORD kDateTimeVersion = 1;
constexpr WORD kDateEntryVersion = 2;
// The first DateEntry layout that carries the ID.
constexpr WORD kDateEntryIdVersion = 2;
}  // namespace

void DateTime::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        // The raw fields, so "no date" (0) and "no time" (-1) survive as they are.
        ar << kDateTimeVersion << m_nDayNumber << m_nHour << m_nMinute << m_nSecond;
        return;
    }
    WORD version = 0;
    ar >> version;  // one layout only
    ar >> m_nDayNumber >> m_nHour >> m_nMinute >> m_nSecond;
}

void DateEntry::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        // The enumerations travel as 16 bits; the flag as the 16-bit boolean.
        ar << kDateEntryVersion << static_cast<WORD>(m_eOccurrence) << static_cast<WORD>(m_eYearType)
           << static_cast<WORD>(m_bWeekDay ? 1 : 0);
        ar << m_nDay << m_nDayOfWeek << m_nBeforeAfterDayOfWeek << m_nMonth << m_nYear << m_csDesc << m_nID;
        return;
    }
    WORD version = 0, occurrence = 0, yearType = 0, weekDay = 0;
    ar >> version >> occurrence;
    m_eOccurrence = static_cast<OCCURRENCE>(occurrence);
    ar >> yearType;
    m_eYearType = static_cast<YEARTYPE>(yearType);
    ar >> weekDay;
    m_bWeekDay = weekDay == 1;
    ar >> m_nDay >> m_nDayOfWeek >> m_nBeforeAfterDayOfWeek >> m_nMonth >> m_nYear >> m_csDesc;
    // Version 1 ended with the description and leaves the ID as it was.
    if (version >= kDateEntryIdVersion) ar >> m_nID;
}

}  // namespace vutil
