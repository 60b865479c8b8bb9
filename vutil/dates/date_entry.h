#pragma once
// DateEntry: a date that recurs every year, or in selected years: a fixed day of a
// month, or the n-th or last weekday of a month, optionally moved to a weekday on or
// before / on or after it and optionally moved off a weekend.

#include <cstdint>

#include "vutil/dates/date_time.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class DateEntry {
public:
    // Which day of the month the rule means.
    enum OCCURRENCE : std::int32_t {
        OCCURRENCE_DAY = 0,  // the fixed day field
        OCCURRENCE_FIRST = 1,
        OCCURRENCE_SECOND = 2,
        OCCURRENCE_THIRD = 3,
        OCCURRENCE_FOURTH = 4,
        OCCURRENCE_FIFTH = 5,
        OCCURRENCE_SIXTH = 6,  // never exists
        OCCURRENCE_LAST = 7
    };
    // In which years the rule applies.
    enum YEARTYPE : std::int32_t {
        YEARTYPE_EVERY = 0,
        YEARTYPE_ODD = 1,
        YEARTYPE_EVEN = 2,
        YEARTYPE_ONLY = 3,   // the reference year only
        YEARTYPE_FROM = 4,   // the reference year and later
        YEARTYPE_UNTIL = 5   // the reference year and earlier
    };

    DateEntry() = default;
    DateEntry(const DateEntry&) = default;
    DateEntry& operator=(const DateEntry&) = default;
    virtual ~DateEntry() = default;

    // Field accessors, without checks.
    void SetOccurrence(OCCURRENCE occurrence) { m_eOccurrence = occurrence; }
    OCCURRENCE GetOccurrence() const { return m_eOccurrence; }
    void SetYearType(YEARTYPE yearType) { m_eYearType = yearType; }
    YEARTYPE GetYearType() const { return m_eYearType; }
    void SetWeekDay(bool weekDay) { m_bWeekDay = weekDay; }
    bool GetWeekDay() const { return m_bWeekDay; }
    void SetDay(int day) { m_nDay = day; }
    int GetDay() const { return m_nDay; }
    void SetDayOfWeek(int dayOfWeek) { m_nDayOfWeek = dayOfWeek; }
    int GetDayOfWeek() const { return m_nDayOfWeek; }
    void SetBeforeAfterDayOfWeek(int beforeAfter) { m_nBeforeAfterDayOfWeek = beforeAfter; }
    int GetBeforeAfterDayOfWeek() const { return m_nBeforeAfterDayOfWeek; }
    void SetMonth(int month) { m_nMonth = month; }
    int GetMonth() const { return m_nMonth; }
    void SetYear(int year) { m_nYear = year; }
    int GetYear() const { return m_nYear; }
    void SetID(int id) { m_nID = id; }
    int GetID() const { return m_nID; }
    void SetDesc(const CString& desc) { m_csDesc = desc; }
    const CString& GetDesc() const { return m_csDesc; }

    // Rule setters: the description and the named fields; every other rule field is
    // reset, the ID stays.
    void SetDay(const CString& desc, int day, int month);
    void SetDayOfWeek(const CString& desc, OCCURRENCE occurrence, int dayOfWeek, int month);
    void SetBeforeAfterDay(const CString& desc, int day, int month, int beforeAfter);
    void SetBeforeAfterDayOfWeek(const CString& desc, OCCURRENCE occurrence, int dayOfWeek, int month,
                                 int beforeAfter);

    static int ConvertOccurrence(OCCURRENCE occurrence);
    virtual bool IsValid() const;
    // The rule's date in `year` as out's day number (0 when there is none); out's time
    // is not touched.
    void GetDateFor(int year, DateTime& out) const;
    bool IsMatch(int day, int month, int year) const;
    // Archive record, version 2; version 1 (no ID) still loads.
    void Serialize(CArchive& ar);

protected:
    bool IsMonthMatch(int month) const;
    bool IsYearMatch(int year) const;
    bool IsDayMatch(int day, int year) const;
    int GetOccurrenceDate(int n, int year) const;
    void ApplyBeforeAfterDay(DateTime& dt) const;

private:
    void ResetRule(const CString& desc, int month);

    OCCURRENCE m_eOccurrence = OCCURRENCE_DAY;
    YEARTYPE m_eYearType = YEARTYPE_EVERY;
    bool m_bWeekDay = false;
    int m_nDay = 0;
    int m_nDayOfWeek = 0;
    int m_nBeforeAfterDayOfWeek = 0;
    int m_nMonth = 0;
    int m_nYear = 0;
    int m_nID = -1;
    CString m_csDesc;
};

}  // namespace vutil
