#include "vutil/dates/date_entry.h"

#include <cstdint>

#include "vutil/dates/date_time_calendar.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

bool InRange(std::int64_t value, std::int64_t low, std::int64_t high) { return value >= low && value <= high; }

}  // namespace

void DateEntry::ResetRule(const CString& desc, int month) {
    m_csDesc = desc;
    m_eOccurrence = OCCURRENCE_DAY;
    m_eYearType = YEARTYPE_EVERY;
    m_bWeekDay = false;
    m_nDay = 0;
    m_nDayOfWeek = 0;
    m_nBeforeAfterDayOfWeek = 0;
    m_nYear = 0;
    m_nMonth = month;
}

void DateEntry::SetDay(const CString& desc, int day, int month) {
    ResetRule(desc, month);
    m_nDay = day;
}

void DateEntry::SetDayOfWeek(const CString& desc, OCCURRENCE occurrence, int dayOfWeek, int month) {
    ResetRule(desc, month);
    m_eOccurrence = occurrence;
    m_nDayOfWeek = dayOfWeek;
}

void DateEntry::SetBeforeAfterDay(const CString& desc, int day, int month, int beforeAfter) {
    ResetRule(desc, month);
    m_nDay = day;
    m_nBeforeAfterDayOfWeek = beforeAfter;
}

void DateEntry::SetBeforeAfterDayOfWeek(const CString& desc, OCCURRENCE occurrence, int dayOfWeek, int month,
                                        int beforeAfter) {
    ResetRule(desc, month);
    m_eOccurrence = occurrence;
    m_nDayOfWeek = dayOfWeek;
    m_nBeforeAfterDayOfWeek = beforeAfter;
}

int DateEntry::ConvertOccurrence(OCCURRENCE occurrence) {
    return occurrence >= OCCURRENCE_FIRST && occurrence <= OCCURRENCE_SIXTH ? static_cast<int>(occurrence) : 0;
}

bool DateEntry::IsValid() const {
    if (CStringUtils::IsEffectivelyEmpty(m_csDesc)) return false;
    if (!InRange(m_nMonth, 1, 12)) return false;
    if (m_nYear != 0 && !InRange(m_nYear, 100, 9999)) return false;
    const bool weekdayRule = InRange(m_nDayOfWeek, 1, 7) && m_eOccurrence != OCCURRENCE_DAY;
    if (m_nBeforeAfterDayOfWeek != 0) {
        if (m_eOccurrence == OCCURRENCE_DAY && m_nDayOfWeek == 0 && m_eYearType != YEARTYPE_ODD &&
            m_eYearType != YEARTYPE_EVEN) {
            if (!InRange(m_nDay, 1, 31)) return false;
        } else if (!weekdayRule) {
            return false;
        }
        const std::int64_t shift = m_nBeforeAfterDayOfWeek;
        return InRange(shift < 0 ? -shift : shift, 1, 7);
    }
    if (m_nDay == 0) return weekdayRule;
    return InRange(m_nDay, 1, 31) && m_eOccurrence == OCCURRENCE_DAY && m_nDayOfWeek == 0;
}

int DateEntry::GetOccurrenceDate(int n, int year) const {
    const int length = DateTime::GetDaysInMonth(year, m_nMonth);
    // Beyond 9999 the month has a length but no weekday, so no day matches.
    if (length == 0 || year > 9999 || !InRange(m_nDayOfWeek, 1, 7)) return 0;
    const int first = 1 + (m_nDayOfWeek - calendar::Weekday(year, m_nMonth, 1) + 7) % 7;
    const std::int64_t result = first + 7 * (std::int64_t{n} - 1);
    // There is no n-th weekday for n below 1 either.
    return InRange(result, 1, length) ? static_cast<int>(result) : 0;
}

void DateEntry::GetDateFor(int year, DateTime& out) const {
    out.SetInvalidDate();
    if (m_eOccurrence == OCCURRENCE_DAY) {
        out.SetDate(year, m_nMonth, m_nDay);
    } else if (m_eOccurrence >= OCCURRENCE_FIRST && m_eOccurrence <= OCCURRENCE_SIXTH) {
        out.SetDate(year, m_nMonth, GetOccurrenceDate(m_eOccurrence, year));
    } else if (m_eOccurrence == OCCURRENCE_LAST) {
        // Stepping back from the month's last day reaches the weekday within six days,
        // all inside the month, where the weekdays follow each other without a jump.
        const int last = DateTime::GetDaysInMonth(year, m_nMonth);
        if (!calendar::ValidArguments(year, m_nMonth, last) || !InRange(m_nDayOfWeek, 1, 7)) return;
        const int back = (calendar::Weekday(year, m_nMonth, last) - m_nDayOfWeek + 7) % 7;
        out.SetDate(year, m_nMonth, last - back);
    }
    if (!out.IsValidDate()) return;
    ApplyBeforeAfterDay(out);
    // A shift that runs off either end of the calendar leaves no date.
    if (!out.IsValidDate()) out.SetInvalidDate();
}

void DateEntry::ApplyBeforeAfterDay(DateTime& dt) const {
    const int shift = m_nBeforeAfterDayOfWeek;
    const std::int64_t target = shift < 0 ? -std::int64_t{shift} : shift;
    if (shift != 0 && InRange(target, 1, 7)) {
        // Day by day, as the weekday rule may repeat or skip a weekday between years.
        const int step = shift > 0 ? 1 : -1;
        while (dt.IsValidDate() && dt.GetDayOfWeek() != target) dt.AddDays(step);
    }
    if (m_bWeekDay && dt.IsValidDate()) {
        const int weekday = dt.GetDayOfWeek();
        if (weekday == 1) dt.AddDays(1);
        else if (weekday == 7) dt.AddDays(-1);
    }
}

bool DateEntry::IsMonthMatch(int month) const { return InRange(month, 1, 12) && month == m_nMonth; }

bool DateEntry::IsYearMatch(int year) const {
    if (!InRange(year, 100, 9999)) return false;
    switch (m_eYearType) {
        case YEARTYPE_EVERY: return true;
        case YEARTYPE_ODD: return year % 2 != 0;
        case YEARTYPE_EVEN: return year % 2 == 0;
        case YEARTYPE_ONLY: return year == m_nYear;
        case YEARTYPE_FROM: return year >= m_nYear;
        case YEARTYPE_UNTIL: return year <= m_nYear;
    }
    return false;
}

bool DateEntry::IsDayMatch(int day, int year) const {
    if (!InRange(day, 1, 31)) return false;
    DateTime date;
    GetDateFor(year, date);
    return date.IsValidDate() && date.GetDay() == day;
}

bool DateEntry::IsMatch(int day, int month, int year) const {
    return IsMonthMatch(month) && IsYearMatch(year) && IsDayMatch(day, year);
}

}  // namespace vutil
