// Drives DateTime's text parsers (Set, SetDate, SetTime, ConvertFromDuration) and the
// formatters on whatever they produce, in each built-in locale. The first byte picks
// the locale and whether the text is repeated into a long one; the rest is the text.
// Checks that a parsed value stays coherent and that numeric date text reads back.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "vutil/dates/date_time.h"
#include "vutil/platform/clock.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

void SetEnv(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    ::setenv(name, value, 1);
#endif
}

const bool kSetUp = [] {
    SetEnv("TZ", "UTC0");
    // The two-digit-year limit is read from the settings store: keep the user's out of it.
    SetEnv("VUTIL_REGISTRY", "/nonexistent-vutil-fuzz/registry.reg");
    vutil::platform::PinClock(1741965600);  // Friday 14 March 2025, 15:20 UTC
    return true;
}();

void CheckTime(const vutil::DateTime& dt) {
    const bool none = dt.GetHour() == -1 && dt.GetMinute() == -1 && dt.GetSecond() == -1;
    Check(none || dt.IsValidTime());
}

void Exercise(const vutil::DateTime& dt) {
    CheckTime(dt);
    const vutil::CString date = vutil::DateTime::ConvertDateToText(dt, true, true, true, true);
    Check(date.IsEmpty() == !dt.IsValidDate());
    if (dt.IsValidDate() && dt.GetYear() >= 100) {
        // Two-digit years widen; from 100 on the numeric text reads back as itself.
        vutil::DateTime back;
        Check(back.SetDate(date));
        Check(back.GetDayNumber() == dt.GetDayNumber());
    }
    vutil::DateTime::ConvertDateToText(dt, false, false, false, false);
    Check(vutil::DateTime::ConvertTimeToText(dt, true).IsEmpty() == !dt.IsValidTime());
    vutil::DateTime::ConvertToText(dt, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const kLocales[] = {"en-US", "en-GB", "de-DE"};
    if (size == 0) return 0;
    const std::uint8_t control = data[0];
    SetEnv("VUTIL_LOCALE", kLocales[control % 3]);
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    if ((control & 0xC0) == 0xC0 && !text.empty()) {
        // Long texts: the same bytes over and over, past 4,000 characters.
        while (text.size() < 4000) text += text;
    }
    const vutil::CString input(text);

    vutil::DateTime both(2020, 6, 1, 1, 2, 3);
    both.Set(input);
    Exercise(both);

    vutil::DateTime date(2020, 6, 1, 1, 2, 3);
    date.SetDate(input);
    Check(date.GetHour() == 1 && date.GetMinute() == 2 && date.GetSecond() == 3);
    Exercise(date);

    vutil::DateTime time(2020, 6, 1, 1, 2, 3);
    time.SetTime(input);
    Check(time.GetDayNumber() == vutil::DateTime(2020, 6, 1, 0, 0, 0).GetDayNumber());
    Exercise(time);

    bool anyDigit = false;
    for (const char c : text) anyDigit = anyDigit || (c >= '0' && c <= '9');
    for (const bool hours : {false, true}) {
        const int seconds = vutil::DateTime::ConvertFromDuration(input, hours);
        Check(seconds >= -1);
        Check((seconds == -1) == !anyDigit || input.IsEmpty() || text.find_first_not_of(" \t\r\n\v\f") == std::string::npos);
        vutil::DateTime::ConvertToHHMMSS(seconds);
        vutil::DateTime::ConvertToMMSS(seconds);
        vutil::DateTime::ConvertSecondsToText(seconds);
    }

    // The first eight bytes as a span of seconds.
    std::int64_t span = 0;
    for (std::size_t i = 0; i < 8 && i < size; ++i) span = static_cast<std::int64_t>(static_cast<std::uint64_t>(span) << 8 | data[i]);
    vutil::DateTime::ConvertSecondsToFuzzyText(span, control & 1, control & 2);
    vutil::DateTime::ConvertSecondsToText(span);
    return 0;
}
