// Drives DateTime's setters and arithmetic and DateEntry's evaluation with arbitrary
// ints; checks that the value stays coherent (dates round-trip, fields in range).

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    bool Empty() const { return size == 0; }
    std::uint8_t Byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    int Int() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
        return static_cast<int>(v);
    }
};

void Check(bool ok) {
    if (!ok) std::abort();
}

void CheckCoherent(const vutil::DateTime& dt) {
    int y, m, d;
    dt.GetDate(y, m, d);
    if (dt.IsValidDate()) {
        vutil::DateTime back;
        back.SetDate(y, m, d);
        Check(back.GetDayNumber() == dt.GetDayNumber());
        Check(dt.GetDayOfWeek() >= 1 && dt.GetDayOfWeek() <= 7);
    } else {
        Check(y == 0 && m == 0 && d == 0 && dt.GetDayOfWeek() == 0);
    }
    Check(dt.GetHour() >= -1 && dt.GetHour() <= 23);
    Check(dt.GetMinute() >= -1 && dt.GetMinute() <= 59);
    Check(dt.GetSecond() >= -1 && dt.GetSecond() <= 59);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    vutil::DateTime dt(2000, 1, 1, 12, 0, 0);
    vutil::DateEntry rule;
    for (int step = 0; step < 256 && !in.Empty(); ++step) {
        const std::uint8_t op = in.Byte();
        const int v = in.Int();
        switch (op % 20) {
            case 0: dt.AddYears(v); break;
            case 1: dt.AddMonths(v); break;
            case 2: dt.AddMonthsSameDay(v); break;
            case 3: dt.AddWeeks(v); break;
            case 4: dt.AddDays(v); break;
            case 5: dt.AddHours(v); break;
            case 6: dt.AddMinutes(v); break;
            case 7: dt.AddSeconds(v); break;
            case 8: dt.SetYear(v); break;
            case 9: dt.SetMonth(v); break;
            case 10: dt.SetDay(v); break;
            case 11: dt.Set(v, in.Int(), in.Int(), in.Int(), in.Int(), in.Int()); break;
            case 12: dt.SetHour(v); dt.SetMinute(in.Int()); dt.SetSecond(in.Int()); break;
            case 13: dt.SetToFirstDay(); dt.SetToLastDay(); break;
            case 14: {
                std::int64_t t = 0, delta = 0;
                dt.Get(t);
                vutil::DateTime::ConvertDeltaToSeconds(dt, vutil::DateTime(1, 1, 1, 0, 0, 0), delta);
                long days = 0;
                int h = 0, mi = 0, s = 0;
                vutil::DateTime::ConvertFromSeconds(t * v, days, h, mi, s);
                vutil::DateTime::ConvertToSeconds(static_cast<long>(v) * 1000003L, h, mi, s, t);
                break;
            }
            case 15: rule.SetBeforeAfterDayOfWeek("f", static_cast<vutil::DateEntry::OCCURRENCE>(v), in.Int(), in.Int(), in.Int()); break;
            case 16: rule.SetBeforeAfterDay("f", v, in.Int(), in.Int()); rule.SetWeekDay(v & 1); break;
            case 17: rule.SetYearType(static_cast<vutil::DateEntry::YEARTYPE>(v)); rule.SetYear(in.Int()); break;
            case 18: {
                vutil::DateTime out;
                rule.GetDateFor(v, out);
                Check(out.GetDayNumber() == 0 || out.IsValidDate());
                rule.IsMatch(in.Int(), in.Int(), v);
                rule.IsValid();
                break;
            }
            default: {
                const int y = v, m = in.Int(), d = in.Int();
                vutil::DateTime::DayOfYear(y, m, d);
                vutil::DateTime::GetDaysInMonth(y, m);
                vutil::DateTime::GetDaysInYear(y);
                break;
            }
        }
        CheckCoherent(dt);
    }
    return 0;
}
