#pragma once
// COleDateTime: the framework's automation date, days since 30 December 1899 as a
// double (proleptic Gregorian), the time of day as the fraction. Before 1899-12-30 the
// fraction counts away from zero (-1.25 is 29 December 1899, 06:00), as in the original
// encoding. Only what the library's conversions need.

namespace vutil {

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    double m_dt = 0.0;
    DateTimeStatus m_status = valid;

    COleDateTime() = default;
    COleDateTime(int year, int month, int day, int hour, int minute, int second) {
        SetDateTime(year, month, day, hour, minute, second);
    }

    // Years 100 ... 9999 with a day that exists in the Gregorian calendar; returns 0 and
    // leaves the status valid, or returns 1 with the status invalid.
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);
    int SetDate(int year, int month, int day) { return SetDateTime(year, month, day, 0, 0, 0); }

    DateTimeStatus GetStatus() const noexcept { return m_status; }
    void SetStatus(DateTimeStatus status) noexcept { m_status = status; }

    // Components rounded to the nearest second; -1 unless the value is valid and in range.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    // 1 = Sunday ... 7 = Saturday; -1 when not valid.
    int GetDayOfWeek() const;

    bool operator==(const COleDateTime& other) const noexcept {
        return m_status == other.m_status && m_dt == other.m_dt;
    }

private:
    struct Fields {
        int year, month, day, hour, minute, second, dayOfWeek;
    };
    bool Decode(Fields& out) const;
};

}  // namespace vutil
