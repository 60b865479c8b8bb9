// vutil locale: prints every answer of CLocaleUtils for the current settings.

#include <iostream>

#include "command.h"
#include "vutil/dates/locale_utils.h"
#include "vutil/platform/locale.h"

namespace {

using vutil::CLocaleUtils;
using vutil::CString;

void Line(const char* label, const CString& value) {
    std::cout << label << ": ";
    std::cout << vutil::cli::Utf8(value) << '\n';
}
void Line(const char* label, long long value) { std::cout << label << ": " << value << '\n'; }
void Flag(const char* label, bool value) { std::cout << label << ": " << (value ? "true" : "false") << '\n'; }

int RunLocale(const std::vector<std::string>& args) {
    if (!args.empty()) return vutil::cli::UsageError("locale", "takes no arguments (set VUTIL_LOCALE to pick a table)");
    Line("Locale", CString(vutil::platform::LocaleName()));
    Line("DateSeparator", CLocaleUtils::GetDateSeparator());
    Line("TimeSeparator", CLocaleUtils::GetTimeSeparator());
    Line("TimeAM", CLocaleUtils::GetTimeAM());
    Line("TimePM", CLocaleUtils::GetTimePM());
    Line("DecimalSeparator", CLocaleUtils::GetDecimalSeparator());
    Line("ThousandsSeparator", CLocaleUtils::GetThousandsSeparator());
    Line("CurrencyDecimalSeparator", CLocaleUtils::GetCurrencyDecimalSeparator());
    Line("CurrencyThousandsSeparator", CLocaleUtils::GetCurrencyThousandsSeparator());
    Line("CurrencySymbol", CLocaleUtils::GetCurrencySymbol());
    Line("CountryName", CLocaleUtils::GetCountryName());
    Line("LanguageName", CLocaleUtils::GetLanguageName());
    Line("CountryCode", CLocaleUtils::GetCountryCode());
    Line("NumberFractionalDigits", CLocaleUtils::GetNumberFractionalDigits());
    Line("CurrencyFractionalDigits", CLocaleUtils::GetCurrencyFractionalDigits());
    Line("DigitGrouping", CLocaleUtils::GetDigitGrouping());
    Line("CurrencyGrouping", CLocaleUtils::GetCurrencyGrouping());
    Flag("LeadingZero", CLocaleUtils::GetLeadingZero());
    Flag("FullYearDisplay", CLocaleUtils::GetFullYearDisplay());
    Flag("DayHasLeadingZero", CLocaleUtils::GetDayHasLeadingZero());
    Flag("MonthHasLeadingZero", CLocaleUtils::GetMonthHasLeadingZero());
    Flag("HourHasLeadingZero", CLocaleUtils::GetHourHasLeadingZero());
    Flag("USMeasurementSystem", CLocaleUtils::GetUSMeasurementSystem());
    bool markerFirst = false;
    Flag("12HourTime", CLocaleUtils::Get12HourTime(markerFirst));
    Flag("TimeMarkerFirst", markerFirst);
    Line("FirstDayOfWeek", CLocaleUtils::GetFirstDayOfWeek());
    unsigned day = 0, month = 0, year = 0;
    CLocaleUtils::GetDateOrdering(day, month, year);
    std::cout << "DateOrdering: day " << day << ", month " << month << ", year " << year << '\n';
    bool separated = false;
    Flag("CurrencySymbolIsPrefix", CLocaleUtils::GetCurrencySymbolIsPrefix(separated));
    Flag("CurrencySymbolSeparated", separated);
    bool spaced = false, signFirst = false, parentheses = false;
    CLocaleUtils::GetNegNumberFormat(spaced, signFirst, parentheses);
    std::cout << "NegNumberFormat: spaced " << spaced << ", signFirst " << signFirst << ", parentheses " << parentheses
              << '\n';
    bool a = false, b = false, c = false, d = false;
    CLocaleUtils::GetNegCurrencySymbolFormat(a, b, c, d);
    std::cout << "NegCurrencySymbolFormat: " << a << ' ' << b << ' ' << c << ' ' << d << '\n';
    for (int m = 1; m <= 13; ++m) {
        std::cout << "Month" << m << ": ";
        CString full = CLocaleUtils::GetMonthName(m, false), abbr = CLocaleUtils::GetMonthName(m, true);
        std::cout << vutil::cli::Utf8(full) << " / ";
        std::cout << vutil::cli::Utf8(abbr) << '\n';
    }
    for (int w = 1; w <= 7; ++w) {
        std::cout << "Day" << w << ": ";
        CString full = CLocaleUtils::GetDayName(w, false), abbr = CLocaleUtils::GetDayName(w, true);
        std::cout << vutil::cli::Utf8(full) << " / ";
        std::cout << vutil::cli::Utf8(abbr) << '\n';
    }
    Line("TwoDigitYearMax", CLocaleUtils::GetTwoDigitYearMax());
    return 0;
}

vutil::cli::Register reg({"locale", "", "print the regional settings the library sees (VUTIL_LOCALE pins a table)",
                          RunLocale});

}  // namespace
