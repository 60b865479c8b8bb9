// vutil date: the calendar from the command line. Each action is one entry of the
// table below.

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"
#include "vutil/platform/clock.h"

namespace {

using Args = std::vector<std::string>;

const char* const kWeekdayNames[] = {"", "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

bool ParseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// Parses exactly `count` integer arguments.
bool ParseInts(const Args& args, std::size_t count, std::vector<int>& values) {
    if (args.size() != count) return false;
    values.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (!ParseInt(args[i], values[i])) return false;
    }
    return true;
}

void PrintDate(const vutil::DateTime& dt) {
    int y, m, d;
    dt.GetDate(y, m, d);
    std::cout << "date: " << y << "-" << (m < 10 ? "0" : "") << m << "-" << (d < 10 ? "0" : "") << d << "\n"
              << "day number: " << dt.GetDayNumber() << "\n"
              << "weekday: " << dt.GetDayOfWeek() << " (" << kWeekdayNames[dt.GetDayOfWeek()] << ")\n";
}

int RunInfo(const Args& args) {
    std::vector<int> v;
    if (!ParseInts(args, 3, v)) return vutil::cli::UsageError("date info", "expected <year> <month> <day>");
    vutil::DateTime dt;
    dt.SetDate(v[0], v[1], v[2]);
    if (!dt.IsValidDate()) {
        std::cout << "not a valid date\n";
        return 1;
    }
    PrintDate(dt);
    std::cout << "day of year: " << vutil::DateTime::DayOfYear(v[0], v[1], v[2]) << "\n"
              << "leap year: " << (vutil::DateTime::IsLeapYear(v[0]) ? "yes" : "no") << "\n";
    return 0;
}

int RunRule(const Args& args) {
    std::vector<int> v;
    if (!ParseInts(args, 4, v))
        return vutil::cli::UsageError("date rule", "expected <occurrence 1-5|7=last> <weekday 1-7> <month> <year>");
    vutil::DateEntry rule;
    rule.SetDayOfWeek("rule", static_cast<vutil::DateEntry::OCCURRENCE>(v[0]), v[1], v[2]);
    if (!rule.IsValid()) {
        std::cout << "not a valid rule\n";
        return 1;
    }
    vutil::DateTime dt;
    rule.GetDateFor(v[3], dt);
    if (!dt.IsValidDate()) {
        std::cout << "no such date\n";
        return 1;
    }
    PrintDate(dt);
    return 0;
}

// A leading "--now <seconds since 1970>" pins the clock, so that relative texts come
// out the same on every run; the arguments after it are returned.
bool TakeNow(const Args& args, Args& rest) {
    rest = args;
    if (rest.size() >= 2 && rest[0] == "--now") {
        long long seconds = 0;
        const char* end = rest[1].data() + rest[1].size();
        auto [ptr, ec] = std::from_chars(rest[1].data(), end, seconds);
        if (ec != std::errc() || ptr != end) return false;
        vutil::platform::PinClock(seconds);
        rest.erase(rest.begin(), rest.begin() + 2);
    }
    return true;
}

std::string TwoDigits(int n) { return (n >= 0 && n < 10 ? "0" : "") + std::to_string(n); }

int RunParse(const Args& args) {
    Args rest;
    if (!TakeNow(args, rest) || rest.size() != 1)
        return vutil::cli::UsageError("date parse", "expected [--now <seconds>] \"<text>\"");
    const vutil::CString text(rest[0]);
    // The whole text as date and time, else as a date alone, else as a time alone.
    vutil::DateTime dt;
    const char* how = "date and time";
    if (!dt.Set(text)) {
        dt.SetInvalid();
        how = "date";
        if (!dt.SetDate(text)) {
            how = "time";
            if (!dt.SetTime(text)) {
                std::cout << "not understood\n";
                return 1;
            }
        }
    }
    std::cout << "understood as: " << how << "\n";
    if (dt.IsValidDate()) {
        int y, m, d;
        dt.GetDate(y, m, d);
        std::cout << "date: " << y << "-" << TwoDigits(m) << "-" << TwoDigits(d) << " ("
                  << kWeekdayNames[dt.GetDayOfWeek()] << ")\n";
    } else {
        std::cout << "date: none\n";
    }
    if (dt.IsValidTime())
        std::cout << "time: " << TwoDigits(dt.GetHour()) << ":" << TwoDigits(dt.GetMinute()) << ":"
                  << TwoDigits(dt.GetSecond()) << "\n";
    else
        std::cout << "time: none\n";
    vutil::CString shown = vutil::DateTime::ConvertDateToText(dt, false, false, false, true);
    const vutil::CString time = vutil::DateTime::ConvertTimeToText(dt, true);
    if (!shown.IsEmpty() && !time.IsEmpty()) shown += " ";
    shown += time;
    std::cout << "display: " << vutil::cli::Utf8(shown) << "\n";
    return 0;
}

int RunFuzzy(const Args& args) {
    Args rest;
    long long seconds = 0;
    const bool ok = TakeNow(args, rest) && rest.size() == 1 && [&] {
        const char* end = rest[0].data() + rest[0].size();
        auto [ptr, ec] = std::from_chars(rest[0].data(), end, seconds);
        return ec == std::errc() && ptr == end;
    }();
    if (!ok) return vutil::cli::UsageError("date fuzzy", "expected [--now <seconds>] <seconds, negative for the past>");
    std::cout << "text: " << vutil::cli::Utf8(vutil::DateTime::ConvertSecondsToFuzzyText(seconds, false, true)) << "\n"
              << "with day words: " << vutil::cli::Utf8(vutil::DateTime::ConvertSecondsToFuzzyText(seconds, true, true))
              << "\n"
              << "clock: " << vutil::DateTime::ConvertSecondsToText(seconds).GetString() << "\n";
    return 0;
}

int RunDuration(const Args& args) {
    if (args.size() != 1) return vutil::cli::UsageError("date duration", "expected \"<text>\"");
    const vutil::CString text(args[0]);
    const int seconds = vutil::DateTime::ConvertFromDuration(text, false);
    if (seconds < 0) {
        std::cout << "not a duration\n";
        return 1;
    }
    std::cout << "seconds: " << seconds << "\n"
              << "h:mm:ss: " << vutil::DateTime::ConvertToHHMMSS(seconds).GetString() << "\n"
              << "leading number as hours: " << vutil::DateTime::ConvertFromDuration(text, true) << "\n";
    return 0;
}

struct Action {
    const char* name;
    const char* usage;
    int (*run)(const Args&);
};

const Action kActions[] = {
    {"info", "info <year> <month> <day>", RunInfo},
    {"rule", "rule <occurrence> <weekday> <month> <year>", RunRule},
    {"parse", "parse [--now <seconds>] \"<text>\"", RunParse},
    {"fuzzy", "fuzzy [--now <seconds>] <seconds>", RunFuzzy},
    {"duration", "duration \"<text>\"", RunDuration},
};

int RunDate(const Args& args) {
    if (!args.empty()) {
        for (const Action& a : kActions) {
            if (args[0] == a.name) return a.run(Args(args.begin() + 1, args.end()));
        }
    }
    std::string usage = "expected one of:";
    for (const Action& a : kActions) usage += std::string("\n  vutil date ") + a.usage;
    return vutil::cli::UsageError("date", usage);
}

vutil::cli::Register reg({"date",
                          "info <y> <m> <d> | rule <occurrence> <weekday> <month> <year> | parse \"<text>\" | "
                          "fuzzy <seconds> | duration \"<text>\"",
                          "calendar facts of a date; the date of a weekday rule (occurrence 1-5, 7 = last; "
                          "weekday 1 = Sunday); free text as a date and time; seconds as approximate text; "
                          "a duration text in seconds",
                          RunDate});

}  // namespace
