// DateTime: calendar arithmetic and the time-of-day carries.
//
// Counts are any int. Sums are formed in 64 bits so that no carry overflows; a day
// number that would not fit the 32-bit field becomes 0 (no date) rather than wrapping.

#include <climits>
#include <cstdint>

#include "vutil/dates/date_time.h"
#include "vutil/dates/date_time_calendar.h"

namespace vutil {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Month + n with the carry into the year: month 1 plus -13 is December two years back.
void CarryMonth(std::int64_t target, std::int64_t& year, int& month) {
    if (target > 12) {
        const std::int64_t k = (target - 13) / 12 + 1;
        target -= 12 * k;
        year += k;
    } else if (target < 1) {
        const std::int64_t k = (-target) / 12 + 1;
        target += 12 * k;
        year -= k;
    }
    month = static_cast<int>(target);
}

}  // namespace

void DateTime::StoreDayNumber(std::int64_t dayNumber) {
    m_nDayNumber = (dayNumber < INT32_MIN || dayNumber > INT32_MAX) ? 0 : static_cast<std::int32_t>(dayNumber);
}

void DateTime::AddYears(int n) {
    if (n == 0 || !IsValidDate()) return;
    int y, m, d;
    GetDate(y, m, d);
    std::int64_t target = std::int64_t{y} + n;
    if (target < 1) target = 1;
    if (target > 9999) target = 9999;
    SetDate(static_cast<int>(target), m, d);  // a 29 February that the year lacks changes nothing
}

void DateTime::AddMonths(int n) {
    if (n == 0 || !IsValidDate()) return;
    int y, m, d;
    GetDate(y, m, d);
    std::int64_t year = y;
    int month = 0;
    CarryMonth(std::int64_t{m} + n, year, month);
    if (year < 1 || year > 9999) return;
    const int length = GetDaysInMonth(static_cast<int>(year), month);
    m_nDayNumber = calendar::DayNumber(static_cast<int>(year), month, d > length ? length : d);
}

void DateTime::AddMonthsSameDay(int n) {
    if (n == 0 || !IsValidDate()) return;
    int y, m, d;
    GetDate(y, m, d);
    // Inside one month the rule's weekday repeats every seven days, so the date is the
    // k-th of its weekday with k = (d - 1) / 7 + 1, and the target is found the same way.
    const int weekday = calendar::Weekday(y, m, d);
    const int occurrence = (d - 1) / 7 + 1;
    std::int64_t year = y;
    int month = 0;
    CarryMonth(std::int64_t{m} + n, year, month);
    if (year < 1 || year > 9999) return;
    const int ty = static_cast<int>(year);
    const int first = 1 + (weekday - calendar::Weekday(ty, month, 1) + 7) % 7;
    const int day = first + 7 * (occurrence - 1);
    if (day > GetDaysInMonth(ty, month)) return;
    m_nDayNumber = calendar::DayNumber(ty, month, day);
}

void DateTime::AddWeeks(int n) {
    if (n == 0 || !IsValidDate()) return;
    CarryDays(std::int64_t{n} * 7);
}

void DateTime::AddDays(int n) {
    if (n == 0 || !IsValidDate()) return;
    CarryDays(n);
}

void DateTime::AddHours(int n) {
    if (n == 0 || !IsValidTime()) return;
    const std::int64_t hours = std::int64_t{m_nHour} + n;
    const std::int64_t days = FloorDiv(hours, 24);
    m_nHour = static_cast<std::int32_t>(hours - days * 24);
    if (days != 0) CarryDays(days);
}

void DateTime::AddMinutes(int n) {
    if (n == 0 || !IsValidTime()) return;
    const std::int64_t minutes = std::int64_t{m_nMinute} + n;
    const std::int64_t carry = FloorDiv(minutes, 60);
    m_nMinute = static_cast<std::int32_t>(minutes - carry * 60);
    // |carry| < 2^26, so the hour field holds it until AdjustHours folds it into days.
    m_nHour = static_cast<std::int32_t>(m_nHour + carry);
    AdjustHours();
}

void DateTime::AddSeconds(int n) {
    if (n == 0 || !IsValidTime()) return;
    const std::int64_t seconds = std::int64_t{m_nSecond} + n;
    const std::int64_t carry = FloorDiv(seconds, 60);
    m_nSecond = static_cast<std::int32_t>(seconds - carry * 60);
    m_nMinute = static_cast<std::int32_t>(m_nMinute + carry);
    AdjustMinutes();
}

void DateTime::AdjustSeconds() {
    if (m_nSecond >= 0 && m_nSecond < 60) return;
    const std::int64_t carry = FloorDiv(m_nSecond, 60);
    m_nSecond = static_cast<std::int32_t>(m_nSecond - carry * 60);
    // The fields stay within -1 ... 59 outside the Add functions, so this cannot overflow.
    m_nMinute = static_cast<std::int32_t>(m_nMinute + carry);
    AdjustMinutes();
}

void DateTime::AdjustMinutes() {
    if (m_nMinute >= 0 && m_nMinute < 60) return;
    const std::int64_t carry = FloorDiv(m_nMinute, 60);
    m_nMinute = static_cast<std::int32_t>(m_nMinute - carry * 60);
    const std::int64_t hours = m_nHour + carry;
    const std::int64_t days = FloorDiv(hours, 24);
    m_nHour = static_cast<std::int32_t>(hours - days * 24);
    if (days != 0) CarryDays(days);
}

void DateTime::AdjustHours() {
    const std::int64_t days = FloorDiv(m_nHour, 24);
    if (days == 0) return;
    m_nHour = static_cast<std::int32_t>(m_nHour - days * 24);
    CarryDays(days);
}

void DateTime::SetToFirstDay() {
    if (!IsValidDate()) return;
    int y, m, d;
    GetDate(y, m, d);
    m_nDayNumber = calendar::DayNumber(y, m, 1);
}

void DateTime::SetToLastDay() {
    if (!IsValidDate()) return;
    int y, m, d;
    GetDate(y, m, d);
    m_nDayNumber = calendar::DayNumber(y, m, GetDaysInMonth(y, m));
}

}  // namespace vutil
