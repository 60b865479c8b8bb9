#pragma once
// Shared set-up of the date-text tests: a fresh settings store, a pinned locale, UTC as
// the local zone and the clock pinned to Friday 14 March 2025, 15:20:00.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "support/registry_sandbox.h"
#include "support/test_support.h"
#include "vutil/dates/date_time.h"
#include "vutil/platform/clock.h"

namespace vutil::datetext {

constexpr std::int64_t kFriday = 1741965600;  // 2025-03-14 15:20:00 UTC, a Friday

using test::ScopedEnv;

class Pinned {
public:
    explicit Pinned(const char* locale, std::int64_t now = kFriday) : m_locale("VUTIL_LOCALE", locale), m_pin(now) {}

private:
    test::TempDir m_dir;  // first: it points the settings store at a fresh file
    test::RegistrySandbox m_registry;  // and on Windows, at a fresh key
    ScopedEnv m_zone{"TZ", "UTC0"};
    ScopedEnv m_locale;
    platform::ScopedClockPin m_pin;
};

// "2025-03-14", or "none" without a valid date.
inline std::string Ymd(const DateTime& dt) {
    if (!dt.IsValidDate()) return "none";
    int y, m, d;
    dt.GetDate(y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

// "15:20:00", or "none" without a valid time.
inline std::string Hms(const DateTime& dt) {
    if (!dt.IsValidTime()) return "none";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", dt.GetHour(), dt.GetMinute(), dt.GetSecond());
    return buf;
}

// A value holding the date "YYYY-MM-DD" and the time "HH:MM:SS"; "none" leaves a part invalid.
inline DateTime Holding(const std::string& date, const std::string& time = "none") {
    DateTime dt;
    int a, b, c;
    if (std::sscanf(date.c_str(), "%d-%d-%d", &a, &b, &c) == 3) dt.SetDate(a, b, c);
    if (std::sscanf(time.c_str(), "%d:%d:%d", &a, &b, &c) == 3) dt.SetTime(a, b, c);
    return dt;
}

}  // namespace vutil::datetext
