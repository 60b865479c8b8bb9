// Locale items on POSIX: built-in tables for the locales the library carries, else
// the environment's POSIX locale translated item by item.

#include <langinfo.h>
#include <locale.h>

#include <array>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>
#include <strings.h>
#include <unistd.h>  // environ

#include "vutil/platform/error.h"
#include "vutil/platform/locale.h"
#include "vutil/platform/locale_slots_internal.h"
#include "vutil/platform/codepage.h"

namespace vutil::platform {

namespace {

using Items = std::unordered_map<DWORD, std::string>;

// One built-in table; texts are Windows-1252.
struct Builtin {
    const char* name;
    const char* iso639;
    const char* iso3166;
    const char* language;
    const char* country;
    const char* countryCode;
    const char* dateSep;
    const char* timeSep;
    const char* am;
    const char* pm;
    const char* decimal;
    const char* thousand;
    const char* grouping;
    const char* monDecimal;
    const char* monThousand;
    const char* monGrouping;
    const char* currency;
    const char* intlSymbol;
    const char* listSep;
    const char* shortDate;
    const char* longDate;
    const char* timeFormat;
    // iDate, iLDate, iTime, iCentury, iTLZero, iDayLZero, iMonLZero, iTimeMarkPosn,
    // iFirstDayOfWeek, iFirstWeekOfYear, iMeasure, iDigits, iCurrDigits, iLZero,
    // iCurrency, iNegCurr, iNegNumber
    int numbers[17];
    const char* const* months;        // 13 names, the last one empty
    const char* const* abbrevMonths;  // 13
    const char* const* days;          // 7, Monday first
    const char* const* abbrevDays;    // 7
};

constexpr DWORD kNumberItems[17] = {
    kLocaleIDate,     kLocaleILDate,         kLocaleITime,        kLocaleICentury,
    kLocaleITLZero,   kLocaleIDayLZero,      kLocaleIMonLZero,    kLocaleITimeMarkPosn,
    kLocaleIFirstDayOfWeek, kLocaleIFirstWeekOfYear, kLocaleIMeasure, kLocaleIDigits,
    kLocaleICurrDigits, kLocaleILZero,       kLocaleICurrency,    kLocaleINegCurr,
    kLocaleINegNumber,
};

constexpr const char* kEnglishMonths[13] = {"January", "February", "March",     "April",   "May",      "June", "July",
                                            "August",  "September", "October", "November", "December", ""};
constexpr const char* kEnglishAbbrevMonths[13] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul",
                                                  "Aug", "Sep", "Oct", "Nov", "Dec", ""};
constexpr const char* kEnglishDays[7] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
constexpr const char* kEnglishAbbrevDays[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr const char* kGermanMonths[13] = {"Januar",    "Februar", "M\xE4rz",    "April",    "Mai", "Juni", "Juli",
                                           "August",    "September", "Oktober", "November", "Dezember", ""};
constexpr const char* kGermanAbbrevMonths[13] = {"Jan", "Feb", "M\xE4r", "Apr", "Mai", "Jun", "Jul",
                                                 "Aug", "Sep", "Okt", "Nov", "Dez", ""};
constexpr const char* kGermanDays[7] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};
constexpr const char* kGermanAbbrevDays[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};

const Builtin kBuiltins[] = {
    {"en-US", "en", "US", "English", "United States", "1", "/", ":", "AM", "PM", ".", ",", "3;0", ".", ",",
     "3;0", "$", "USD", ",", "M/d/yyyy", "dddd, MMMM d, yyyy", "h:mm:ss tt",
     {0, 0, 0, 1, 0, 0, 0, 0, 6, 0, 1, 2, 2, 1, 0, 0, 1},
     kEnglishMonths, kEnglishAbbrevMonths, kEnglishDays, kEnglishAbbrevDays},
    {"en-GB", "en", "GB", "English", "United Kingdom", "44", "/", ":", "AM", "PM", ".", ",", "3;0", ".", ",",
     "3;0", "\xA3", "GBP", ",", "dd/MM/yyyy", "dd MMMM yyyy", "HH:mm:ss",
     {1, 1, 1, 1, 1, 1, 1, 0, 0, 2, 0, 2, 2, 1, 0, 1, 1},
     kEnglishMonths, kEnglishAbbrevMonths, kEnglishDays, kEnglishAbbrevDays},
    {"de-DE", "de", "DE", "German", "Germany", "49", ".", ":", "", "", ",", ".", "3;0", ",", ".", "3;0",
     "\x80", "EUR", ";", "dd.MM.yyyy", "dddd, d. MMMM yyyy", "HH:mm:ss",
     {1, 1, 1, 1, 1, 1, 1, 0, 0, 2, 0, 2, 2, 1, 3, 8, 1},
     kGermanMonths, kGermanAbbrevMonths, kGermanDays, kGermanAbbrevDays},
    {"en-IN", "en", "IN", "English", "India", "91", "-", ":", "AM", "PM", ".", ",", "3;2;0", ".", ",",
     "3;2;0", "Rs.", "INR", ",", "dd-MM-yyyy", "dd MMMM yyyy", "HH:mm:ss",
     {1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 2, 2, 1, 2, 12, 1},
     kEnglishMonths, kEnglishAbbrevMonths, kEnglishDays, kEnglishAbbrevDays},
};

Items FromBuiltin(const Builtin& b) {
    Items m;
    m[kLocaleSIso639LangName] = b.iso639;
    m[kLocaleSIso3166CtryName] = b.iso3166;
    m[kLocaleSEngLanguage] = b.language;
    m[kLocaleSLanguage] = b.language;
    m[kLocaleSEngCountry] = b.country;
    m[kLocaleSCountry] = b.country;
    m[kLocaleICountry] = b.countryCode;
    m[kLocaleSDate] = b.dateSep;
    m[kLocaleSTime] = b.timeSep;
    m[kLocaleS1159] = b.am;
    m[kLocaleS2359] = b.pm;
    m[kLocaleSDecimal] = b.decimal;
    m[kLocaleSThousand] = b.thousand;
    m[kLocaleSGrouping] = b.grouping;
    m[kLocaleSMonDecimalSep] = b.monDecimal;
    m[kLocaleSMonThousandSep] = b.monThousand;
    m[kLocaleSMonGrouping] = b.monGrouping;
    m[kLocaleSCurrency] = b.currency;
    m[kLocaleSIntlSymbol] = b.intlSymbol;
    m[kLocaleSList] = b.listSep;
    m[kLocaleSShortDate] = b.shortDate;
    m[kLocaleSLongDate] = b.longDate;
    m[kLocaleSTimeFormat] = b.timeFormat;
    m[kLocaleSPositiveSign] = "";
    m[kLocaleSNegativeSign] = "-";
    for (int i = 0; i < 17; ++i) m[kNumberItems[i]] = std::to_string(b.numbers[i]);
    for (DWORD i = 0; i < 12; ++i) {
        m[kLocaleSMonthName1 + i] = b.months[i];
        m[kLocaleSAbbrevMonthName1 + i] = b.abbrevMonths[i];
    }
    m[kLocaleSMonthName13] = b.months[12];
    m[kLocaleSAbbrevMonthName13] = b.abbrevMonths[12];
    for (DWORD i = 0; i < 7; ++i) {
        m[kLocaleSDayName1 + i] = b.days[i];
        m[kLocaleSAbbrevDayName1 + i] = b.abbrevDays[i];
    }
    return m;
}

// ---- The POSIX locale, item by item ----

struct PosixSource {
    locale_t loc;
    bool utf8;

    std::string Text(nl_item item) const {
        const char* s = nl_langinfo_l(item, loc);
        if (!s) return {};
        return utf8 ? cp::Utf8ToCp1252(s) : std::string(s);
    }
    int Byte(nl_item item) const {
        const char* s = nl_langinfo_l(item, loc);
        return s ? static_cast<signed char>(s[0]) : CHAR_MAX;
    }
};

// "\3\3" (repeat 3) -> "3;0"; "\3\2" -> "3;2;0"; "\3\177" (no repeat) -> "3".
std::string GroupingText(const char* g) {
    if (!g || !*g || *g == CHAR_MAX) return "0";
    std::string out;
    std::size_t i = 0;
    for (; g[i] && g[i] != CHAR_MAX; ++i) {
        if (i > 0 && g[i + 1] == 0 && g[i] == g[i - 1]) break;  // last size repeats
        if (!out.empty()) out += ';';
        out += std::to_string(static_cast<int>(g[i]));
    }
    if (g[i] != CHAR_MAX) out += ";0";
    return out;
}

// Expands the composite conversions of a strftime format.
std::string ExpandFormat(std::string fmt, const PosixSource& src) {
    for (int round = 0; round < 3; ++round) {
        std::string out;
        bool changed = false;
        for (std::size_t i = 0; i < fmt.size(); ++i) {
            if (fmt[i] != '%' || i + 1 >= fmt.size()) {
                out += fmt[i];
                continue;
            }
            char c = fmt[i + 1];
            const char* sub = nullptr;
            std::string dynamic;
            switch (c) {
                case 'D': sub = "%m/%d/%y"; break;
                case 'F': sub = "%Y-%m-%d"; break;
                case 'T': sub = "%H:%M:%S"; break;
                case 'R': sub = "%H:%M"; break;
                case 'r': dynamic = nl_langinfo_l(T_FMT_AMPM, src.loc); sub = dynamic.c_str(); break;
                default: break;
            }
            if (sub) {
                out += sub;
                changed = true;
            } else {
                out += fmt[i];
                out += c;
            }
            ++i;
        }
        fmt = out;
        if (!changed) break;
    }
    return fmt;
}

struct Conversion {
    char letter;
    bool unpadded;
    std::size_t start, end;
};

std::vector<Conversion> Conversions(const std::string& fmt) {
    std::vector<Conversion> out;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != '%') continue;
        std::size_t j = i + 1;
        bool unpadded = false;
        while (j < fmt.size() && std::strchr("-_0^#EO", fmt[j])) {
            if (fmt[j] == '-' || fmt[j] == '_') unpadded = true;
            ++j;
        }
        if (j >= fmt.size()) break;
        out.push_back({fmt[j], unpadded, i, j + 1});
        i = j;
    }
    return out;
}

Items FromPosix(const PosixSource& src) {
    Items m;
    std::string language = src.Text(_NL_IDENTIFICATION_LANGUAGE);
    std::string territory = src.Text(_NL_IDENTIFICATION_TERRITORY);
    m[kLocaleSEngLanguage] = m[kLocaleSLanguage] = language;
    m[kLocaleSEngCountry] = m[kLocaleSCountry] = territory;
    m[kLocaleICountry] = std::to_string(std::atoi(src.Text(_NL_TELEPHONE_INT_PREFIX).c_str()));

    std::string dateFmt = ExpandFormat(nl_langinfo_l(D_FMT, src.loc), src);
    auto dc = Conversions(dateFmt);
    int order[3] = {-1, -1, -1};  // positions of day, month, year
    bool fullYear = false, dayZero = true, monthZero = true;
    int n = 0;
    for (const auto& c : dc) {
        if ((c.letter == 'd' || c.letter == 'e') && order[0] < 0) {
            order[0] = n++;
            dayZero = c.letter == 'd' && !c.unpadded;
        } else if ((c.letter == 'm' || c.letter == 'b' || c.letter == 'B' || c.letter == 'h') && order[1] < 0) {
            order[1] = n++;
            monthZero = c.letter == 'm' && !c.unpadded;
        } else if ((c.letter == 'y' || c.letter == 'Y') && order[2] < 0) {
            order[2] = n++;
            fullYear = c.letter == 'Y';
        }
    }
    std::string dateSep = "/";
    if (dc.size() >= 2) dateSep = dateFmt.substr(dc[0].end, dc[1].start - dc[0].end);
    m[kLocaleSDate] = src.utf8 ? cp::Utf8ToCp1252(dateSep) : dateSep;
    m[kLocaleIDate] = order[1] == 0 ? "0" : order[0] == 0 ? "1" : "2";
    m[kLocaleILDate] = m[kLocaleIDate];
    m[kLocaleICentury] = fullYear ? "1" : "0";
    m[kLocaleIDayLZero] = dayZero ? "1" : "0";
    m[kLocaleIMonLZero] = monthZero ? "1" : "0";

    std::string timeFmt = ExpandFormat(nl_langinfo_l(T_FMT, src.loc), src);
    auto tc = Conversions(timeFmt);
    bool twelve = false, hourZero = true, markerFirst = false, sawHour = false;
    std::string timeSep = ":";
    for (std::size_t i = 0; i < tc.size(); ++i) {
        char l = tc[i].letter;
        if (!sawHour && (l == 'H' || l == 'I' || l == 'k' || l == 'l')) {
            sawHour = true;
            twelve = l == 'I' || l == 'l';
            hourZero = (l == 'H' || l == 'I') && !tc[i].unpadded;
            if (i + 1 < tc.size()) timeSep = timeFmt.substr(tc[i].end, tc[i + 1].start - tc[i].end);
        } else if ((l == 'p' || l == 'P') && !sawHour) {
            markerFirst = true;
        }
    }
    m[kLocaleSTime] = src.utf8 ? cp::Utf8ToCp1252(timeSep) : timeSep;
    m[kLocaleITime] = twelve ? "0" : "1";
    m[kLocaleITLZero] = hourZero ? "1" : "0";
    m[kLocaleITimeMarkPosn] = markerFirst ? "1" : "0";
    m[kLocaleS1159] = src.Text(AM_STR);
    m[kLocaleS2359] = src.Text(PM_STR);

    m[kLocaleSDecimal] = src.Text(RADIXCHAR);
    m[kLocaleSThousand] = src.Text(THOUSEP);
    m[kLocaleSGrouping] = GroupingText(nl_langinfo_l(GROUPING, src.loc));
    m[kLocaleSMonDecimalSep] = src.Text(MON_DECIMAL_POINT);
    m[kLocaleSMonThousandSep] = src.Text(MON_THOUSANDS_SEP);
    m[kLocaleSMonGrouping] = GroupingText(nl_langinfo_l(MON_GROUPING, src.loc));
    m[kLocaleSCurrency] = src.Text(CURRENCY_SYMBOL);
    std::string intl = src.Text(INT_CURR_SYMBOL);
    while (!intl.empty() && intl.back() == ' ') intl.pop_back();
    m[kLocaleSIntlSymbol] = intl;
    m[kLocaleSPositiveSign] = src.Text(POSITIVE_SIGN);
    m[kLocaleSNegativeSign] = src.Text(NEGATIVE_SIGN);
    int frac = src.Byte(FRAC_DIGITS);
    m[kLocaleICurrDigits] = std::to_string(frac >= 0 && frac < CHAR_MAX ? frac : 2);
    // POSIX has no notion of these; the answers every Windows locale gives but a few.
    m[kLocaleIDigits] = "2";
    m[kLocaleILZero] = "1";
    m[kLocaleINegNumber] = "1";
    m[kLocaleSList] = m[kLocaleSDecimal] == "," ? ";" : ",";

    bool pPre = src.Byte(P_CS_PRECEDES) == 1, pSep = src.Byte(P_SEP_BY_SPACE) == 1;
    m[kLocaleICurrency] = std::to_string(pPre ? (pSep ? 2 : 0) : (pSep ? 3 : 1));
    bool nPre = src.Byte(N_CS_PRECEDES) == 1, nSep = src.Byte(N_SEP_BY_SPACE) == 1;
    int posn = src.Byte(N_SIGN_POSN);
    // Windows numbers its sixteen negative-currency layouts; index [posn][pre][sep].
    static const int kNegCurr[5][2][2] = {
        {{4, 15}, {0, 14}},  // (1.1$)  (1.1 $)  ($1.1)  ($ 1.1)
        {{5, 8}, {1, 9}},    // -1.1$   -1.1 $   -$1.1   -$ 1.1
        {{7, 10}, {3, 11}},  // 1.1$-   1.1 $-   $1.1-   $ 1.1-
        {{6, 13}, {1, 9}},   // 1.1-$   1.1- $   -$1.1   -$ 1.1
        {{7, 10}, {2, 12}},  // 1.1$-   1.1 $-   $-1.1   $ -1.1
    };
    if (posn < 0 || posn > 4) posn = 1;
    m[kLocaleINegCurr] = std::to_string(kNegCurr[posn][nPre][nSep]);

    int measurement = src.Byte(_NL_MEASUREMENT_MEASUREMENT);
    m[kLocaleIMeasure] = measurement == 2 ? "1" : "0";

    // First weekday: _NL_TIME_FIRST_WEEKDAY counts from the day of _NL_TIME_WEEK_1STDAY.
    // The C library hands this number over in place of a pointer.
    auto ymd = static_cast<unsigned int>(reinterpret_cast<std::uintptr_t>(nl_langinfo_l(_NL_TIME_WEEK_1STDAY, src.loc)));
    int firstWeekday = src.Byte(_NL_TIME_FIRST_WEEKDAY);  // 1 = the day of ymd
    // Day of week of ymd (0 Sunday) by Sakamoto's rule.
    int y = static_cast<int>(ymd / 10000), mo = static_cast<int>(ymd / 100 % 100), d = static_cast<int>(ymd % 100);
    static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int dow = 0;
    if (mo >= 1 && mo <= 12) {
        int yy = mo < 3 ? y - 1 : y;
        dow = (yy + yy / 4 - yy / 100 + yy / 400 + t[mo - 1] + d) % 7;
    }
    if (firstWeekday < 1 || firstWeekday > 7) firstWeekday = 1;
    int sunday0 = (dow + firstWeekday - 1) % 7;  // 0 Sunday .. 6 Saturday
    m[kLocaleIFirstDayOfWeek] = std::to_string((sunday0 + 6) % 7);  // 0 Monday .. 6 Sunday
    m[kLocaleIFirstWeekOfYear] = "0";

    for (int i = 0; i < 12; ++i) {
        m[kLocaleSMonthName1 + static_cast<DWORD>(i)] = src.Text(static_cast<nl_item>(MON_1 + i));
        m[kLocaleSAbbrevMonthName1 + static_cast<DWORD>(i)] = src.Text(static_cast<nl_item>(ABMON_1 + i));
    }
    m[kLocaleSMonthName13] = "";
    m[kLocaleSAbbrevMonthName13] = "";
    for (int i = 0; i < 7; ++i) {
        // POSIX counts from Sunday, the locale items from Monday.
        int posixDay = (i + 1) % 7;
        m[kLocaleSDayName1 + static_cast<DWORD>(i)] = src.Text(static_cast<nl_item>(DAY_1 + posixDay));
        m[kLocaleSAbbrevDayName1 + static_cast<DWORD>(i)] = src.Text(static_cast<nl_item>(ABDAY_1 + posixDay));
    }
    m[kLocaleSShortDate] = "";
    m[kLocaleSLongDate] = "";
    m[kLocaleSTimeFormat] = "";
    return m;
}

// One answer, its number form worked out once.
struct Item {
    std::string text;
    unsigned int number = 0;
    bool present = false;
    bool numeric = false;
};

using locale_slots::SlotOf;

struct Table {
    std::array<Item, locale_slots::kCount> items;
    unsigned int generation = 0;

    const Item* Find(DWORD type) const {
        const int slot = SlotOf(type);
        if (slot < 0 || !items[static_cast<std::size_t>(slot)].present) return nullptr;
        return &items[static_cast<std::size_t>(slot)];
    }
};

// What VUTIL_LOCALE said when it was last read, and the table it chose. Never freed:
// a query on another thread may still be looking at it.
struct Selection {
    std::string raw;  // "" when unset
    const Table* table;
    std::string name;
};

std::mutex g_selectLock;  // guards building tables and selections, not the queries
std::atomic<const Selection*> g_current{nullptr};
unsigned int g_tableCount = 0;

// Called with g_selectLock held. Each table gets its own generation: answers never
// change under one table, so a value stamped with it stays right until another is chosen.
const Table* MakeTable(const Items& m) {
    auto* table = new Table;
    for (const auto& [type, text] : m) {
        const int slot = SlotOf(type);
        if (slot < 0) continue;  // the static_assert above keeps every carried item in range
        Item& item = table->items[static_cast<std::size_t>(slot)];
        item.text = text;
        item.present = true;
        item.numeric = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
        if (item.numeric) item.number = static_cast<unsigned int>(std::strtoul(text.c_str(), nullptr, 10));
    }
    table->generation = ++g_tableCount;
    return table;
}

const Table* BuiltinTable(std::size_t index) {
    static std::array<const Table*, std::size(kBuiltins)> tables{};
    if (!tables[index]) tables[index] = MakeTable(FromBuiltin(kBuiltins[index]));
    return tables[index];
}

// The environment's POSIX locale, read once for the life of the process.
std::pair<const Table*, std::string> ProcessTable() {
    static const std::pair<const Table*, std::string> chosen = []() -> std::pair<const Table*, std::string> {
        locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
        if (!loc) return {BuiltinTable(0), kBuiltins[0].name};
        std::string name = nl_langinfo_l(_NL_LOCALE_NAME(LC_TIME), loc);
        if (name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0) {
            freelocale(loc);
            return {BuiltinTable(0), kBuiltins[0].name};
        }
        std::string codeset = nl_langinfo_l(CODESET, loc);
        PosixSource src{loc, codeset == "UTF-8" || codeset == "utf8"};
        const Table* table = MakeTable(FromPosix(src));
        freelocale(loc);
        return {table, name};
    }();
    return chosen;
}

const Selection& Reselect(const char* pinned) {
    std::lock_guard lock(g_selectLock);
    static auto* known = new std::map<std::string, const Selection*, std::less<>>;
    auto it = known->find(std::string_view(pinned));
    if (it == known->end()) {
        const Table* table = nullptr;
        std::string name;
        for (std::size_t i = 0; *pinned && i < std::size(kBuiltins); ++i) {
            if (strcasecmp(kBuiltins[i].name, pinned) == 0) {
                table = BuiltinTable(i);
                name = kBuiltins[i].name;
                break;
            }
        }
        if (!table) std::tie(table, name) = ProcessTable();
        it = known->emplace(pinned, new Selection{pinned, table, std::move(name)}).first;
    }
    g_current.store(it->second, std::memory_order_release);
    return *it->second;
}

// Formatters ask many items per call, so the choice is kept, and a query must still see
// a change of VUTIL_LOCALE (a test's setenv between cases) on the next call.
// getenv scans the whole environment and a query is asked for every number and date
// text, so each thread remembers where VUTIL_LOCALE stood (or that it was absent) and
// only checks that nothing moved there. The C library gives every setenv a fresh string
// (or the one it made earlier for the same name=value) and never frees one, appends new
// variables at the end and shifts the rest down on unsetenv: an unchanged slot pointer,
// and for an absent variable an unchanged end, mean the same value. Only a putenv buffer
// rewritten in place keeps its pointer with another text; that is not seen.
struct Place {
    char** base = nullptr;
    std::size_t index = 0;  // of the entry, or the count of entries when absent
    const char* entry = nullptr;  // the entry, or the last entry when absent
    bool found = false;
    const Selection* chosen = nullptr;
    unsigned int generation = 0;  // chosen's table's, kept here so the check follows no pointer
};
constexpr char kPinName[] = "VUTIL_LOCALE=";
constexpr std::size_t kPinLength = sizeof kPinName - 1;

// initial-exec: this is read on every query, and the general model costs a call.
thread_local Place t_place __attribute__((tls_model("initial-exec")));

// True when the choice kept for this thread still holds.
inline bool StillChosen(char** env) {
    const Place& place = t_place;
    if (!place.chosen || !env || env != place.base) return false;
    if (place.found) return env[place.index] == place.entry;
    return env[place.index] == nullptr && (place.index == 0 || env[place.index - 1] == place.entry);
}

const char* FindPinned(Place& place, char** env) {
    place = Place{env, 0, nullptr, false, nullptr};
    if (!env) return "";
    std::size_t i = 0;
    for (; env[i]; ++i) {
        if (std::strncmp(env[i], kPinName, kPinLength) == 0) {
            place.index = i;
            place.entry = env[i];
            place.found = true;
            return env[i] + kPinLength;
        }
    }
    place.index = i;
    place.entry = i ? env[i - 1] : nullptr;
    return "";
}

// Out of line, so the common path below keeps no registers to save.
[[gnu::noinline]] const Selection& Rechoose(char** env) {
    const char* pinned = FindPinned(t_place, env);
    const Selection* kept = g_current.load(std::memory_order_acquire);
    const Selection* chosen = kept && kept->raw == pinned ? kept : &Reselect(pinned);
    t_place.chosen = chosen;
    t_place.generation = chosen->table->generation;
    return *chosen;
}

inline const Selection& Current() {
    char** env = environ;
    return StillChosen(env) ? *t_place.chosen : Rechoose(env);
}

}  // namespace

int QueryLocaleText(DWORD type, char* buffer, int size) {
    const Item* item = Current().table->Find(type);
    if (!item || size < 0) {
        SetLastErrorCode(kErrorInvalidParameter);
        return 0;
    }
    const int need = static_cast<int>(item->text.size()) + 1;
    if (size == 0) return need;
    if (!buffer || size < need) {
        SetLastErrorCode(kErrorInsufficientBuffer);
        return 0;
    }
    std::memcpy(buffer, item->text.c_str(), static_cast<std::size_t>(need));
    return need;
}

bool QueryLocaleNumber(DWORD type, unsigned int& value) {
    const Item* item = Current().table->Find(type);
    if (!item || !item->numeric) {
        SetLastErrorCode(kErrorInvalidParameter);
        return false;
    }
    value = item->number;
    return true;
}

std::string LocaleName() { return Current().name; }

unsigned int LocaleGeneration() {
    char** env = environ;
    return StillChosen(env) ? t_place.generation : Rechoose(env).table->generation;
}

}  // namespace vutil::platform
