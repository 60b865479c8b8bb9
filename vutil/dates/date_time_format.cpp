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

// The plain decimal text of n with "0" put in front until it is `width` characters
// long: what NumberToString(n, false, width, "0") gives, written in place so that a
// formatter builds its text in one buffer.
void AppendNumber(std::string& out, std::int64_t n, int width = 0) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, n);
    const auto length = static_cast<int>(result.ptr - digits);
    if (width > length) out.append(static_cast<std::size_t>(width - length), '0');
    out.append(digits, result.ptr);
}

// ":" and a field of two digits, as every clock text ends.
void AppendClockField(std::string& out, std::int64_t n) {
    out += ':';
    AppendNumber(out, n, 2);
}

std::string NumberText(std::int64_t n) {
    std::string out;
    AppendNumber(out, n);
    return out;
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

    // Short texts stay in the string's own buffer: no allocation for a numeric date.
    std::string out;
    for (unsigned pos = 0; pos < 3; ++pos) {
        const bool last = pos == 2;
        if (pos == dayPos) {
            if (!numeric && !out.empty()) out += ' ';
            AppendNumber(out, day, dayLeadingZero ? 2 : 0);
            if (numeric && !last) out += separator;
        } else if (pos == monthPos) {
            if (numeric) {
                AppendNumber(out, month, monthLeadingZero ? 2 : 0);
                if (!last) out += separator;
            } else {
                if (!out.empty()) out += ' ';
                out += locale.GetMonthName(month).view();
            }
        } else if (pos == yearPos) {
            if (!numeric && pos != 0) out += ", ";
            AppendNumber(out, fullYear ? year : year % 100, 2);
            if (numeric && !last) out += separator;
            if (!numeric && pos == 0) out += ", ";
        }
    }
    return CString(std::move(out));
}

namespace {

// The clock text of ConvertTimeToText, appended to out.
void AppendTime(std::string& out, const DateTime& dt, bool withSeconds) {
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
        out += designator;
        out += ' ';
    }
    AppendNumber(out, hour, hourZero ? 2 : 0);
    out += separator;
    AppendNumber(out, dt.GetMinute(), 2);
    if (withSeconds) {
        out += separator;
        AppendNumber(out, dt.GetSecond(), 2);
    }
    if (twelveHour && !markerFirst) {
        out += ' ';
        out += designator;
    }
}

}  // namespace

CString DateTime::ConvertTimeToText(const DateTime& dt, bool withSeconds) {
    if (!dt.IsValidTime()) return CString();
    std::string out;
    AppendTime(out, dt, withSeconds);
    return CString(std::move(out));
}

CString DateTime::ConvertToText(const DateTime& dt, bool withSeconds) {
    CString date = ConvertDateToText(dt, false, false, false, true);
    std::string& out = date.str();
    out += ' ';
    if (dt.IsValidTime()) AppendTime(out, dt, withSeconds);
    return date;
}

// ---- Spans of seconds --------------------------------------------------------------------------

CString DateTime::ConvertSecondsToText(std::int64_t seconds) {
    long days = 0;
    int hours = 0, minutes = 0, secs = 0;
    ConvertFromSeconds(seconds, days, hours, minutes, secs);
    auto& locale = date_text::LocaleSnapshot::Current();
    const std::string_view separator = locale.GetTimeSeparator().view();
    std::string out;
    AppendNumber(out, std::int64_t{days} * 24 + hours, locale.GetHourHasLeadingZero() ? 2 : 0);
    for (const int field : {minutes, secs}) {
        out += separator;
        AppendNumber(out, field, 2);
    }
    return CString(std::move(out));
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
    std::string out = NumberText(h);
    AppendClockField(out, m);
    AppendClockField(out, s);
    return CString(std::move(out));
}

CString DateTime::ConvertToHHMM(int seconds) {
    int h = 0, m = 0;
    ConvertToHHMM(seconds, h, m);
    std::string out = h >= 1 ? NumberText(h) : std::string("0");
    AppendClockField(out, m);
    return CString(std::move(out));
}

CString DateTime::ConvertToMMSS(int seconds) {
    int m = 0, s = 0;
    ConvertToMMSS(seconds, m, s);
    std::string out;
    AppendNumber(out, m >= 1 ? m : 0, 2);
    AppendClockField(out, s);
    return CString(std::move(out));
}

CString DateTime::ConvertToMM(int seconds) {
    int m = 0;
    ConvertToMM(seconds, m);
    return CString(NumberText(m));
}

}  // namespace vutil
