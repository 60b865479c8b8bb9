// vutil date: the calendar from the command line. Each action is one entry of the
// table below; text parsing and formatting actions join it later.

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"

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

struct Action {
    const char* name;
    const char* usage;
    int (*run)(const Args&);
};

const Action kActions[] = {
    {"info", "info <year> <month> <day>", RunInfo},
    {"rule", "rule <occurrence> <weekday> <month> <year>", RunRule},
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

vutil::cli::Register reg({"date", "info <y> <m> <d> | rule <occurrence> <weekday> <month> <year>",
                          "calendar facts of a date; the date of a weekday rule (occurrence 1-5, 7 = last; "
                          "weekday 1 = Sunday)",
                          RunDate});

}  // namespace
