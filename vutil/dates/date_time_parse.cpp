// DateTime from free text: numeric dates in the locale's order, English month words,
// relative phrases, n-th weekdays of a month, weekday names, offsets from today, and
// times of day on a 12- or 24-hour clock.

#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"
#include "vutil/dates/date_time_calendar.h"
#include "vutil/dates/locale_utils.h"
#include "vutil/text/number_runtime.h"
#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

constexpr std::array<std::string_view, 12> kMonthAbbreviations = {"jan", "feb", "mar", "apr", "may", "jun",
                                                                  "jul", "aug", "sep", "oct", "nov", "dec"};

enum class Change { None, Days, Months, Years };

struct Phrase {
    std::string_view text;
    Change change;
    int amount;
};

constexpr Phrase kPhrases[] = {
    {"today", Change::None, 0},        {"now", Change::None, 0},
    {"yesterday", Change::Days, -1},   {"day before yesterday", Change::Days, -2},
    {"tomorrow", Change::Days, 1},     {"day after tomorrow", Change::Days, 2},
    {"next week", Change::Days, 7},    {"last week", Change::Days, -7},
    {"a week ago", Change::Days, -7},  {"next year", Change::Years, 1},
    {"last year", Change::Years, -1},  {"next month", Change::Months, 1},
    {"last month", Change::Months, -1},
};

struct Ordinal {
    std::string_view digits;
    std::string_view word;
};

constexpr Ordinal kOrdinals[] = {{"1st", "first"}, {"2nd", "second"}, {"3rd", "third"}, {"4th", "fourth"},
                                 {"5th", "fifth"}};

// The digit class: the table comes from isdigit, which answers '0' to '9' alone in every
// locale, so the range test gives the same answer without a table read per byte.
bool IsDigitByte(char c) { return c >= '0' && c <= '9'; }

bool Contains(std::string_view text, std::string_view sub) { return text.find(sub) != std::string_view::npos; }

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Lower case through the library's tables, so 0x80-0xFF stay as they are.
std::string Lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(CStringUtils::ToLower(static_cast<unsigned char>(c)));
    return out;
}

// The number a word stands for, as the library's tolerant integer reading gives it.
int NumberOf(std::string_view text) { return CNumberTextConv::GetNumberFromString(CString(text)); }

// A comparison that treats negative values as huge, as an unsigned field check does.
bool Below(int value, int limit) { return static_cast<unsigned>(value) < static_cast<unsigned>(limit); }

// Visits the words of a text split at every single space (empty words included) until
// the visitor returns false.
template <typename Visit>
void ForEachWord(std::string_view text, Visit visit) {
    std::size_t from = 0;
    for (int index = 0;; ++index) {
        const std::size_t space = text.find(' ', from);
        const std::string_view word = text.substr(from, space == std::string_view::npos ? text.npos : space - from);
        if (!visit(index, word) || space == std::string_view::npos) return;
        from = space + 1;
    }
}

// Years 32 ... 99 written with two digits.
int WidenYear(int year) {
    if (year >= 32 && year <= 49) return 2000 + year;
    if (year >= 50 && year <= 99) return 1900 + year;
    return year;
}

// "Mar 5 2024", "5 march 2024", "2024 mar 5", "march 5 24". False sends the text on to
// the next form; true even when the date it names does not exist (then nothing is set).
bool SetFromMonthWord(DateTime& dt, std::string_view lower) {
    int month = 0;
    int monthWord = -1;
    std::string_view a, b;
    int others = 0;
    ForEachWord(lower, [&](int index, std::string_view word) {
        if (monthWord < 0) {
            for (std::size_t m = 0; m < kMonthAbbreviations.size(); ++m) {
                if (Contains(word, kMonthAbbreviations[m])) {
                    month = static_cast<int>(m) + 1;
                    monthWord = index;
                    break;
                }
            }
            if (monthWord == index) return others < 2;
        }
        if (others == 0) a = word;
        else if (others == 1) b = word;
        ++others;
        return monthWord < 0 || others < 2;
    });
    if (monthWord < 0 || a.empty()) return false;
    const int first = NumberOf(a);
    if (first < 1) return false;
    if (b.empty()) {
        dt.SetDate(dt.GetYear(), month, first);
        return true;
    }
    const int second = NumberOf(b);
    if (second < 1) return false;
    if (first > 31) {
        if (second > 31) return false;
        dt.SetDate(WidenYear(first), month, second);
        return true;
    }
    if (second <= 31) {
        // Two small numbers read as day and year only right after a leading month word.
        if (monthWord > 1) return false;
        dt.SetDate(2000 + second, month, first);
        return true;
    }
    dt.SetDate(WidenYear(second), month, first);
    return true;
}

bool SetFromPhrase(DateTime& dt, std::string_view lower) {
    for (const Phrase& p : kPhrases) {
        if (lower != p.text) continue;
        dt.SetToCurrentDate();
        if (dt.IsValidDate()) {
            if (p.change == Change::Days) dt.AddDays(p.amount);
            else if (p.change == Change::Months) dt.AddMonths(p.amount);
            else if (p.change == Change::Years) dt.AddYears(p.amount);
        }
        return true;
    }
    return false;
}

// "second tuesday of march [2025]", with the locale's day and month names.
bool SetFromOrdinalWeekday(DateTime& dt, std::string_view lower, date_text::LocaleSnapshot& locale) {
    if (!Contains(lower, " in ") && !Contains(lower, " of ")) return false;
    std::array<std::string_view, 5> words;
    int count = 0;
    ForEachWord(lower, [&](int index, std::string_view word) {
        if (index < 5) words[static_cast<std::size_t>(index)] = word;
        count = index + 1;
        return count < 5;
    });
    if (count < 4) return false;
    int occurrence = 0;
    for (std::size_t i = 0; i < std::size(kOrdinals) && occurrence == 0; ++i) {
        if (words[0] == kOrdinals[i].digits || words[0] == kOrdinals[i].word) occurrence = static_cast<int>(i) + 1;
    }
    if (occurrence == 0) return false;
    int weekday = 0;
    for (int w = 1; w <= 7 && weekday == 0; ++w) {
        const std::string_view name = locale.GetDayNameLower(w).view();
        if (!name.empty() && words[1] == name) weekday = w;
    }
    if (weekday == 0) return false;
    int month = 0;
    for (int m = 1; m <= 12 && month == 0; ++m) {
        const std::string_view name = locale.GetMonthNameLower(m).view();
        if (!name.empty() && words[3].substr(0, name.size()) == name) month = m;
    }
    if (month == 0) return false;
    const int year = count >= 5 ? NumberOf(words[4]) : dt.GetYear();
    DateEntry entry;
    entry.SetDayOfWeek("temp", static_cast<DateEntry::OCCURRENCE>(occurrence), weekday, month);
    entry.GetDateFor(year, dt);
    return true;
}

// "friday", "next friday", "last friday": the nearest such day after (or before) today,
// never today itself.
bool SetFromWeekdayName(DateTime& dt, std::string_view lower, date_text::LocaleSnapshot& locale) {
    for (int w = 1; w <= 7; ++w) {
        const std::string_view name = locale.GetDayNameLower(w).view();
        if (name.empty() || !Contains(lower, name)) continue;
        const bool backwards = Contains(lower, "last") || Contains(lower, "past") || Contains(lower, "previous");
        dt.SetToCurrentDate();
        // Bounded: the week repeats within seven steps, and a date that leaves the
        // calendar ends the walk instead of spinning on weekday 0.
        for (int step = 0; step < 14 && dt.IsValidDate(); ++step) {
            dt.AddDays(backwards ? -1 : 1);
            if (dt.GetDayOfWeek() == w) break;
        }
        return true;
    }
    return false;
}

// "3 weeks ago", "2 months from now".
bool SetFromOffset(DateTime& dt, std::string_view lower) {
    const bool ago = Contains(lower, "ago");
    if (!ago && !Contains(lower, "from now")) return false;
    constexpr std::string_view kUnits[] = {"year", "month", "week", "day"};
    std::size_t unit = 0;
    std::size_t at = std::string_view::npos;
    for (; unit < std::size(kUnits); ++unit) {
        at = lower.find(kUnits[unit]);
        if (at != std::string_view::npos) break;
    }
    if (at == std::string_view::npos) return false;
    const int n = NumberOf(lower.substr(0, at));
    if (n < 1) return false;
    const int signedN = ago ? -n : n;
    dt.SetToCurrentDate();
    switch (unit) {
        case 0: dt.AddYears(signedN); break;
        case 1: dt.AddMonths(signedN); break;
        case 2: {
            // Seven times a large count leaves the calendar anyway; saturate instead of overflowing.
            const std::int64_t days = std::int64_t{signedN} * 7;
            dt.AddDays(days > INT_MAX ? INT_MAX : days < -INT_MAX ? -INT_MAX : static_cast<int>(days));
            break;
        }
        default: dt.AddDays(signedN); break;
    }
    return true;
}

// The texts here are a few characters long: a plain loop beats a call into the C library.
std::size_t IndexOf(std::string_view text, char c, std::size_t from = 0) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == c) return i;
    }
    return std::string_view::npos;
}

std::size_t IndexOf(std::string_view text, std::string_view sub, std::size_t from) {
    return sub.size() == 1 ? IndexOf(text, sub[0], from) : text.find(sub, from);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (CStringUtils::ToLower(static_cast<unsigned char>(a[i])) !=
            CStringUtils::ToLower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// atoi of one clock field; plain digits, the usual case, are read on the spot.
int FieldValue(std::string_view field) {
    if (field.empty() || field.size() > 9) return RuntimeAtoi(field);
    int value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') return RuntimeAtoi(field);
        value = value * 10 + (c - '0');
    }
    return value;
}

// White space off both ends, as CString::Trim takes it.
std::string_view Trimmed(std::string_view text) {
    const auto space = [](char c) { return CStringUtils::IsSpace(static_cast<unsigned char>(c)); };
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    return text;
}

// Removes an AM or PM marker from a time text: the locale designator at either end, or
// else the first marker letter, cutting the text there. True when one was found.
bool TakeMarker(std::string_view& text, std::string_view designator, char lower, char upper) {
    const std::size_t n = designator.size();
    // An empty designator (a 24-hour locale) names nothing to look for.
    if (n != 0 && text.size() >= n) {
        if (EqualNoCase(text.substr(0, n), designator)) {
            text.remove_prefix(n);
            return true;
        }
        if (EqualNoCase(text.substr(text.size() - n), designator)) {
            text.remove_suffix(n);
            return true;
        }
    }
    // The first lower-case marker letter, else the first upper-case one: one pass.
    std::size_t at = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == lower) {
            at = i;
            break;
        }
        if (text[i] == upper && at == std::string_view::npos) at = i;
    }
    if (at == std::string_view::npos) return false;
    if (at == 0) text.remove_prefix(1);
    else text = text.substr(0, at);
    return true;
}

}  // namespace

// ---- Dates ----------------------------------------------------------------------------------

void DateTime::ConvertShortFormTextToDate(const CString& text, DateTime& out) const {
    out.m_nDayNumber = 0;
    // A blank text holds no digit group, so it stops at the count of groups below.
    const std::string_view t = text.view();
    // Each group's value as atoi reads a run of digits, saturating at INT_MAX.
    std::array<int, 3> groups{};
    std::size_t count = 0;
    for (std::size_t i = 0; i < t.size() && count < groups.size();) {
        if (!IsDigitByte(t[i])) {
            ++i;
            continue;
        }
        std::int64_t value = 0;
        for (; i < t.size() && IsDigitByte(t[i]); ++i) {
            if (value <= INT_MAX) value = value * 10 + (t[i] - '0');
        }
        groups[count++] = value > INT_MAX ? INT_MAX : static_cast<int>(value);
    }
    if (count < groups.size()) return;
    unsigned dayPos = 0, monthPos = 0, yearPos = 0;
    date_text::LocaleSnapshot::Current().GetDateOrdering(dayPos, monthPos, yearPos);
    const int day = groups[dayPos % 3];
    const int month = groups[monthPos % 3];
    int year = groups[yearPos % 3];
    if (year >= 0 && year <= 99) year += year <= CLocaleUtils::GetTwoDigitYearMax() ? 2000 : 1900;
    const int number = DaysFromDay1(year, month, day);
    if (number != 0) out.m_nDayNumber = number;
}

bool DateTime::SetDate(const CString& text) {
    DateTime numeric;
    ConvertShortFormTextToDate(text, numeric);
    if (numeric.IsValidDate()) {
        m_nDayNumber = numeric.m_nDayNumber;
        return true;
    }
    const std::string lower = Lowered(text.view());
    if (SetFromMonthWord(*this, lower) || SetFromPhrase(*this, lower)) return true;
    auto& locale = date_text::LocaleSnapshot::Current();
    return SetFromOrdinalWeekday(*this, lower, locale) || SetFromWeekdayName(*this, lower, locale) ||
           SetFromOffset(*this, lower);
}

// ---- Times ----------------------------------------------------------------------------------

void DateTime::ConvertShortFormTextToTime(const CString& text, DateTime& out) const {
    out.SetInvalidTime();
    if (CStringUtils::IsEffectivelyEmpty(text)) return;
    auto& locale = date_text::LocaleSnapshot::Current();
    const std::string_view separator = locale.GetTimeSeparator().view();
    if (separator.empty()) return;
    // Every step narrows a view of the caller's text; nothing is copied.
    std::string_view t = Trimmed(text.view());
    const bool am = TakeMarker(t, locale.GetTimeAM().view(), 'a', 'A');
    const bool pm = TakeMarker(t, locale.GetTimePM().view(), 'p', 'P');
    t = Trimmed(t);
    if (const std::size_t space = IndexOf(t, ' '); space != std::string_view::npos && !Contains(t, " o"))
        t = Trimmed(t.substr(space + 1));
    int fields[3] = {0, 0, 0};
    std::size_t from = 0;
    for (int& field : fields) {
        const std::size_t at = IndexOf(t, separator, from);
        field = FieldValue(t.substr(from, at == std::string_view::npos ? t.npos : at - from));
        if (at == std::string_view::npos) break;
        from = at + separator.size();
    }
    int hour = fields[0];
    if (hour < 24 && fields[1] < 60 && fields[2] < 60) {
        if (pm && hour < 12) hour += 12;
        if (am && hour == 12) hour = 0;
        out.SetTime(hour, fields[1], fields[2]);
    }
}

bool DateTime::SetTime(const CString& text) {
    DateTime numeric;
    ConvertShortFormTextToTime(text, numeric);
    if (numeric.IsValidTime()) {
        SetTime(numeric);
        return true;
    }
    const std::string lower = Lowered(text.view());
    auto& locale = date_text::LocaleSnapshot::Current();
    const std::string_view am = locale.GetTimeAMLower().view();
    const std::string_view pm = locale.GetTimePMLower().view();
    const std::string_view sep = locale.GetTimeSeparator().view();

    std::size_t parts = 1;
    std::size_t firstSep = std::string_view::npos;
    if (!sep.empty()) {
        firstSep = lower.find(sep);
        for (std::size_t at = firstSep; at != std::string::npos && parts < 3; at = lower.find(sep, at + sep.size()))
            ++parts;
    }

    const std::string_view whole = lower;
    if (parts == 2) {
        int hour = NumberOf(whole.substr(0, firstSep));
        const std::string_view minutePart = whole.substr(firstSep + sep.size());
        const int minute = NumberOf(minutePart);
        if (!pm.empty() && !minutePart.empty() && minutePart.back() == pm[0] && hour < 12) hour += 12;
        if (!Below(hour, 24) || !Below(minute, 60)) return false;
        SetTime(hour, minute, 0);
        return true;
    }
    if (parts == 1) {
        const auto marked = [&](std::string_view designator) {
            return !designator.empty() && (EndsWith(whole, designator.substr(0, 1)) || EndsWith(whole, designator));
        };
        if (marked(am) || marked(pm)) {
            int hour = NumberOf(whole);
            if (!marked(am) && hour < 12) hour += 12;
            if (!Below(hour, 24)) return false;
            SetTime(hour, 0, 0);
            return true;
        }
        // The compact forms HHMMSS, HHMM and HH.
        if (whole.size() != 6 && whole.size() != 4 && whole.size() != 2) return false;
        const int hour = RuntimeAtoi(whole.substr(0, 2));
        const int minute = whole.size() >= 4 ? RuntimeAtoi(whole.substr(2, 2)) : 0;
        const int second = whole.size() == 6 ? RuntimeAtoi(whole.substr(4, 2)) : 0;
        if (!Below(hour, 24) || !Below(minute, 60) || !Below(second, 60)) return false;
        SetTime(hour, minute, second);
        return true;
    }
    // Three or more parts: only the o'clock form is left.
    std::size_t at = whole.find("o'c");
    if (at == std::string_view::npos) at = whole.find("oc");
    if (at == std::string_view::npos) return false;
    int hour = NumberOf(whole.substr(0, at));
    int nowHour = 0, nowMinute = 0, nowSecond = 0;
    GetTimeNow(nowHour, nowMinute, nowSecond);
    // A bare morning hour already past today means the afternoon.
    if (hour < nowHour && hour < 12) hour += 12;
    if (Below(hour, 24)) SetTime(hour, 0, 0);
    return true;
}

// ---- Date and time together ----------------------------------------------------------------

bool DateTime::Set(const CString& text) {
    if (CStringUtils::IsEffectivelyEmpty(text)) return false;
    const std::string_view t = text.view();
    auto& locale = date_text::LocaleSnapshot::Current();
    std::string_view dateSep = locale.GetDateSeparator().view();
    if (dateSep.empty() || !Contains(t, dateSep)) dateSep = "/";
    std::string_view timeSep = locale.GetTimeSeparator().view();
    if (timeSep.empty() || !Contains(t, timeSep)) timeSep = ":";
    const std::size_t space = t.find(' ');
    if (space == std::string_view::npos) return false;
    const std::string_view left = t.substr(0, space);
    const std::string_view right = t.substr(space + 1);
    std::string_view date, time;
    if (Contains(left, dateSep)) date = left, time = right;
    else if (Contains(right, dateSep)) date = right, time = left;
    else if (Contains(left, timeSep)) date = right, time = left;
    else if (Contains(right, timeSep)) date = left, time = right;
    else return false;
    const CString dateText(date), timeText(time);
    if (CStringUtils::IsEffectivelyEmpty(dateText) || CStringUtils::IsEffectivelyEmpty(timeText)) return false;
    return SetDate(dateText) && SetTime(timeText);
}

}  // namespace vutil
