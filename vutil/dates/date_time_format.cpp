// DateTime to display text: dates and times in the locale's layout, spans of seconds as
// clock text or as an approximate English phrase, and the fixed h:mm:ss forms.

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "vutil/dates/date_time.h"
#include "vutil/dates/locale_utils.h"

namespace vutil {

namespace {

constexpr char kHalf = '\xBD';  // the one-byte half of Windows-1252

// A display text built in place. Dates and times are a few characters long, so they fit
// the buffer and reach the heap only as the finished string; a long month name or
// separator moves the text to the heap once.
class TextBuilder {
public:
    void Append(char c) {
        if (m_size < sizeof m_buffer && !m_spilled) m_buffer[m_size++] = c;
        else Spill(std::string_view(&c, 1));
    }
    void Append(std::string_view piece) {
        if (piece.size() == 1) {
            Append(piece[0]);  // a separator: skip the call a copy loop turns into
        } else if (m_size + piece.size() <= sizeof m_buffer && !m_spilled) {
            for (const char c : piece) m_buffer[m_size++] = c;
        } else {
            Spill(piece);
        }
    }
    // The plain decimal text of n with "0" put in front until it is `width` characters
    // long: what NumberToString(n, false, width, "0") gives.
    void AppendNumber(std::int64_t n, int width = 0) {
        if (n >= 0 && n < 10000 && width <= 4 && m_size + 4 <= sizeof m_buffer && !m_spilled) {
            // The fields of a date or time, written straight into the buffer.
            const int length = n < 10 ? 1 : n < 100 ? 2 : n < 1000 ? 3 : 4;
            const int total = length < width ? width : length;
            char* const start = m_buffer + m_size;
            char* p = start + total;
            for (int i = 0; i < length; ++i, n /= 10) *--p = static_cast<char>('0' + n % 10);
            while (p > start) *--p = '0';
            m_size += static_cast<std::size_t>(total);
            return;
        }
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
        for (auto length = end - digits; length < width; ++length) Append('0');
        Append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    // ":" and a field of two digits, as every clock text ends.
    void AppendClockField(std::int64_t n) {
        Append(':');
        AppendNumber(n, 2);
    }
    bool Empty() const { return m_spilled ? m_heap.empty() : m_size == 0; }
    std::string Str() const { return m_spilled ? m_heap : std::string(m_buffer, m_size); }
    CString Take() { return m_spilled ? CString(std::move(m_heap)) : CString(std::string_view(m_buffer, m_size)); }

private:
    void Spill(std::string_view piece) {
        if (!m_spilled) m_heap.assign(m_buffer, m_size);
        m_spilled = true;
        m_heap.append(piece);
    }

    char m_buffer[48];
    std::size_t m_size = 0;
    bool m_spilled = false;
    std::string m_heap;
};

std::string NumberText(std::int64_t n) {
    TextBuilder out;
    out.AppendNumber(n);
    return out.Str();
}

}  // namespace

// ---- Dates and times in the locale's layout ------------------------------------------------

CString DateTime::ConvertDateToText(const DateTime& dt, bool dayLeadingZero, bool monthLeadingZero, bool fullYear,
                                    bool numeric) {
    if (!dt.IsValidDate()) return CString();
    auto& locale = date_text::LocaleSnapshot::Current();
    unsigned dayPos = 0, monthPos = 0, yearPos = 0;
    locale.GetDateOrdering(dayPos, monthPos, yearPos);
    const std::string_view separator = numeric ? locale.GetDateSeparator().view() : std::string_view();
    // A false flag defers to the locale rather than forcing the short form.
    if (!dayLeadingZero) dayLeadingZero = locale.GetDayHasLeadingZero();
    if (!monthLeadingZero) monthLeadingZero = locale.GetMonthHasLeadingZero();
    if (!fullYear) fullYear = locale.GetFullYearDisplay();
    int year = 0, month = 0, day = 0;
    dt.GetDate(year, month, day);

    TextBuilder out;
    for (unsigned pos = 0; pos < 3; ++pos) {
        const bool last = pos == 2;
        if (pos == dayPos) {
            if (!numeric && !out.Empty()) out.Append(' ');
            out.AppendNumber(day, dayLeadingZero ? 2 : 0);
            if (numeric && !last) out.Append(separator);
        } else if (pos == monthPos) {
            if (numeric) {
                out.AppendNumber(month, monthLeadingZero ? 2 : 0);
                if (!last) out.Append(separator);
            } else {
                if (!out.Empty()) out.Append(' ');
                out.Append(locale.GetMonthName(month).view());
            }
        } else if (pos == yearPos) {
            if (!numeric && pos != 0) out.Append(", ");
            out.AppendNumber(fullYear ? year : year % 100, 2);
            if (numeric && !last) out.Append(separator);
            if (!numeric && pos == 0) out.Append(", ");
        }
    }
    return out.Take();
}

namespace {

// The clock text of ConvertTimeToText, appended to out.
void AppendTime(TextBuilder& out, const DateTime& dt, bool withSeconds) {
    auto& locale = date_text::LocaleSnapshot::Current();
    const std::string_view separator = locale.GetTimeSeparator().view();
    bool markerFirst = false;
    const bool twelveHour = locale.Get12HourTime(markerFirst);
    const bool hourZero = locale.GetHourHasLeadingZero();
    int hour = dt.GetHour();
    const std::string_view designator =
        !twelveHour ? std::string_view() : hour >= 12 ? locale.GetTimePM().view() : locale.GetTimeAM().view();
    if (twelveHour) {
        if (hour > 12) hour -= 12;
        if (hour == 0) hour = 12;
    }
    if (twelveHour && markerFirst) {
        out.Append(designator);
        out.Append(' ');
    }
    out.AppendNumber(hour, hourZero ? 2 : 0);
    out.Append(separator);
    out.AppendNumber(dt.GetMinute(), 2);
    if (withSeconds) {
        out.Append(separator);
        out.AppendNumber(dt.GetSecond(), 2);
    }
    if (twelveHour && !markerFirst) {
        out.Append(' ');
        out.Append(designator);
    }
}

}  // namespace

CString DateTime::ConvertTimeToText(const DateTime& dt, bool withSeconds) {
    if (!dt.IsValidTime()) return CString();
    TextBuilder out;
    AppendTime(out, dt, withSeconds);
    return out.Take();
}

CString DateTime::ConvertToText(const DateTime& dt, bool withSeconds) {
    TextBuilder out;
    out.Append(ConvertDateToText(dt, false, false, false, true).view());
    out.Append(' ');
    if (dt.IsValidTime()) AppendTime(out, dt, withSeconds);
    return out.Take();
}

// ---- Spans of seconds --------------------------------------------------------------------------

CString DateTime::ConvertSecondsToText(std::int64_t seconds) {
    long days = 0;
    int hours = 0, minutes = 0, secs = 0;
    ConvertFromSeconds(seconds, days, hours, minutes, secs);
    auto& locale = date_text::LocaleSnapshot::Current();
    const std::string_view separator = locale.GetTimeSeparator().view();
    TextBuilder out;
    out.AppendNumber(std::int64_t{days} * 24 + hours, locale.GetHourHasLeadingZero() ? 2 : 0);
    for (const int field : {minutes, secs}) {
        out.Append(separator);
        out.AppendNumber(field, 2);
    }
    return out.Take();
}

CString DateTime::ConvertSecondsToFuzzyText(std::int64_t seconds, bool dayWords, bool direction) {
    if (seconds == 0) return CString();
    long days = 0;
    int hours = 0, minutes = 0, secs = 0;
    ConvertFromSeconds(seconds, days, hours, minutes, secs);
    const bool future = seconds > 0;

    // Whole years of 365 days, and whole twelfths of the year left over.
    const std::int64_t years = days / 365;
    const std::int64_t months = (days % 365) * 12 / 365;
    const std::int64_t restDays = days - 30 * months;

    std::string out;
    if (years >= 1) {
        out = years == 1 ? std::string("a year") : NumberText(years) + " years";
        if (months == 1) {
            out = "about " + out;
        } else if (months == 11) {
            out = "about " + NumberText(years + 1) + " years";
        } else if (months >= 2) {
            out += " & " + NumberText(months) + " months";
        }
    } else if (months == 1) {
        out = restDays < 13 ? "about a month" : restDays <= 21 ? "about 1\xBD months" : "about 2 months";
    } else if (months >= 2) {
        if (restDays < 13) out = "about " + NumberText(months) + " months";
        else if (restDays <= 21) out = "about " + NumberText(months) + kHalf + " months";
        else out = "about " + NumberText(months + 1) + " months";
    } else if (days >= 1) {
        if (dayWords && days == 1) return CString(future ? "tomorrow" : "yesterday");
        std::int64_t n = days;
        int nowHour = 0, nowMinute = 0, nowSecond = 0;
        GetTimeNow(nowHour, nowMinute, nowSecond);
        // The leftover hours reach past the current time of day into one more calendar day.
        if (hours > nowHour || (hours == nowHour && minutes > nowMinute)) ++n;
        out = NumberText(n) + " day";
        if (n >= 2) out += 's';
    } else if (hours >= 1) {
        if (dayWords) return CString(future ? "tomorrow" : "yesterday");
        if (hours <= 12) {
            bool half = minutes >= 26;
            int shownHours = hours;
            if (minutes >= 1 && minutes <= 9) {
                out = "about ";
            } else if (minutes >= 10 && minutes <= 25) {
                out = "over ";
            } else if (minutes >= 26 && minutes <= 35 && minutes != 30) {
                out = "about ";
            } else if (minutes >= 36 && minutes <= 55) {
                out = "over ";
            } else if (minutes >= 56) {
                out = "about ";
                ++shownHours;
                half = false;
            }
            if (shownHours == 1) {
                out += half ? "1\xBD hours" : "an hour";
            } else {
                out += NumberText(shownHours);
                if (half) out += kHalf;
                out += " hours";
            }
        } else {
            if (minutes >= 10) out = "over ";
            out += NumberText(hours) + " hours";
        }
    } else if (minutes == 0) {
        out = "less than a minute";
    } else if (minutes == 1) {
        out = "a minute";
    } else if (minutes <= 55) {
        out = NumberText(minutes) + " minutes";
    } else {
        out = "about an hour";
    }
    if (direction) out += future ? " from now" : " ago";
    return CString(std::move(out));
}

// ---- The fixed h:mm:ss forms -------------------------------------------------------------------

void DateTime::ConvertToHHMMSS(int seconds, int& h, int& m, int& s) {
    h = seconds / 3600;
    m = seconds % 3600 / 60;
    s = seconds % 60;
}

void DateTime::ConvertToHHMM(int seconds, int& h, int& m) {
    int s = 0;
    ConvertToHHMMSS(seconds, h, m, s);
}

void DateTime::ConvertToMMSS(int seconds, int& m, int& s) {
    m = seconds / 60;
    s = seconds % 60;
}

void DateTime::ConvertToMM(int seconds, int& m) { m = seconds / 60; }

CString DateTime::ConvertToHHMMSS(int seconds) {
    int h = 0, m = 0, s = 0;
    ConvertToHHMMSS(seconds, h, m, s);
    TextBuilder out;
    out.AppendNumber(h);
    out.AppendClockField(m);
    out.AppendClockField(s);
    return out.Take();
}

CString DateTime::ConvertToHHMM(int seconds) {
    int h = 0, m = 0;
    ConvertToHHMM(seconds, h, m);
    TextBuilder out;
    out.AppendNumber(h >= 1 ? h : 0);
    out.AppendClockField(m);
    return out.Take();
}

CString DateTime::ConvertToMMSS(int seconds) {
    int m = 0, s = 0;
    ConvertToMMSS(seconds, m, s);
    TextBuilder out;
    out.AppendNumber(m >= 1 ? m : 0, 2);
    out.AppendClockField(s);
    return out.Take();
}

CString DateTime::ConvertToMM(int seconds) {
    int m = 0;
    ConvertToMM(seconds, m);
    return CString(NumberText(m));
}

}  // namespace vutil
