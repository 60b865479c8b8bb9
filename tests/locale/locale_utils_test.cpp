// CLocaleUtils over each built-in table, the POSIX fallback, and the CLI.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "support/registry_sandbox.h"
#include "support/test_support.h"
#include "vutil/core/app_logger.h"
#include "vutil/dates/date_time.h"
#include "vutil/dates/locale_utils.h"
#include "vutil/platform/locale.h"
#include "vutil/system/registry_utils.h"
#include "vutil/text/number_text_conv.h"

namespace vutil {
namespace {

// Sets VUTIL_LOCALE (or, with null, removes it); the test's TempDir restores it after.
void SetLocaleVariable(const char* value) {
#ifdef _WIN32
    _putenv_s("VUTIL_LOCALE", value ? value : "");
#else
    if (value) setenv("VUTIL_LOCALE", value, 1);
    else unsetenv("VUTIL_LOCALE");
#endif
}

#ifdef _WIN32
const char* const kRupee = "?";  // the system's rupee sign has no Windows-1252 form
#else
const char* const kRupee = "Rs.";
#endif

class Probe : public CLocaleUtils {
public:
    using CLocaleUtils::ConvertGrouping;
    using CLocaleUtils::GetLocaleInfoFor;
};

struct Expected {
    const char* locale;
    const char *date, *time, *am, *pm, *decimal, *thousands, *currency, *country, *language;
    unsigned code, grouping, moneyGrouping;
    bool dayZero, monthZero, hourZero, usMeasure, twelveHour;
    int firstDay;
    unsigned dayPos, monthPos, yearPos;
    bool symbolPrefix, symbolSeparated;
    bool negA, negB, negC, negD;
    const char *march, *sunday, *mondayShort;
};

class Tables : public ::testing::TestWithParam<Expected> {
protected:
    test::TempDir m_dir;
};

TEST_P(Tables, Answers) {
    const Expected& e = GetParam();
    SetLocaleVariable(e.locale);
    EXPECT_EQ(platform::LocaleName(), e.locale);
    EXPECT_EQ(CLocaleUtils::GetDateSeparator(), e.date);
    EXPECT_EQ(CLocaleUtils::GetTimeSeparator(), e.time);
    EXPECT_EQ(CLocaleUtils::GetTimeAM(), e.am);
    EXPECT_EQ(CLocaleUtils::GetTimePM(), e.pm);
    EXPECT_EQ(CLocaleUtils::GetDecimalSeparator(), e.decimal);
    EXPECT_EQ(CLocaleUtils::GetThousandsSeparator(), e.thousands);
    EXPECT_EQ(CLocaleUtils::GetCurrencyDecimalSeparator(), e.decimal);
    EXPECT_EQ(CLocaleUtils::GetCurrencyThousandsSeparator(), e.thousands);
    EXPECT_EQ(CLocaleUtils::GetCurrencySymbol(), e.currency);
    EXPECT_EQ(CLocaleUtils::GetCountryName(), e.country);
    EXPECT_EQ(CLocaleUtils::GetLanguageName(), e.language);
    EXPECT_EQ(CLocaleUtils::GetCountryCode(), e.code);
    EXPECT_EQ(CLocaleUtils::GetNumberFractionalDigits(), 2u);
    EXPECT_EQ(CLocaleUtils::GetCurrencyFractionalDigits(), 2u);
    EXPECT_EQ(CLocaleUtils::GetDigitGrouping(), e.grouping);
    EXPECT_EQ(CLocaleUtils::GetCurrencyGrouping(), e.moneyGrouping);
    EXPECT_TRUE(CLocaleUtils::GetLeadingZero());
    EXPECT_TRUE(CLocaleUtils::GetFullYearDisplay());
    EXPECT_EQ(CLocaleUtils::GetDayHasLeadingZero(), e.dayZero);
    EXPECT_EQ(CLocaleUtils::GetMonthHasLeadingZero(), e.monthZero);
    EXPECT_EQ(CLocaleUtils::GetHourHasLeadingZero(), e.hourZero);
    EXPECT_EQ(CLocaleUtils::GetUSMeasurementSystem(), e.usMeasure);
    bool markerFirst = true;
    EXPECT_EQ(CLocaleUtils::Get12HourTime(markerFirst), e.twelveHour);
    EXPECT_FALSE(markerFirst);
    EXPECT_EQ(CLocaleUtils::GetFirstDayOfWeek(), e.firstDay);
    unsigned d = 9, m = 9, y = 9;
    CLocaleUtils::GetDateOrdering(d, m, y);
    EXPECT_EQ(d, e.dayPos);
    EXPECT_EQ(m, e.monthPos);
    EXPECT_EQ(y, e.yearPos);
    bool separated = !e.symbolSeparated;
    EXPECT_EQ(CLocaleUtils::GetCurrencySymbolIsPrefix(separated), e.symbolPrefix);
    EXPECT_EQ(separated, e.symbolSeparated);
    bool spaced = true, signFirst = false, parentheses = true;
    CLocaleUtils::GetNegNumberFormat(spaced, signFirst, parentheses);  // "-1.1" in every table
    EXPECT_FALSE(spaced);
    EXPECT_TRUE(signFirst);
    EXPECT_FALSE(parentheses);
    bool a, b, c, dd;
    CLocaleUtils::GetNegCurrencySymbolFormat(a, b, c, dd);
    EXPECT_EQ(a, e.negA);
    EXPECT_EQ(b, e.negB);
    EXPECT_EQ(c, e.negC);
    EXPECT_EQ(dd, e.negD);
    EXPECT_EQ(CLocaleUtils::GetMonthName(3, false), e.march);
    EXPECT_EQ(CLocaleUtils::GetMonthName(13, false), "");
    EXPECT_EQ(CLocaleUtils::GetDayName(1, false), e.sunday);
    EXPECT_EQ(CLocaleUtils::GetDayName(2, true), e.mondayShort);
}

// The en-US table is the same everywhere; the system has its own data for the others.
const Expected kUnitedStates{"en-US", "/", ":", "AM", "PM", ".", ",", "$", "United States", "English", 1, 3, 3, false,
                             false, false, true, true, 1, 1, 0, 2, true, false, false, false, false, true, "March",
                             "Sunday", "Mon"};
#ifndef _WIN32
const Expected kOthers[] = {
    {"en-GB", "/", ":", "AM", "PM", ".", ",", "\xA3", "United Kingdom", "English", 44, 3, 3, true, true, true, false,
     false, 2, 0, 1, 2, true, false, true, true, false, false, "March", "Sunday", "Mon"},
    {"de-DE", ".", ":", "", "", ",", ".", "\x80", "Germany", "German", 49, 3, 3, true, true, true, false, false, 2, 0,
     1, 2, false, true, true, true, false, false, "M\xE4rz", "Sonntag", "Mo"},
    {"en-IN", "-", ":", "AM", "PM", ".", ",", kRupee, "India", "English", 91, 32, 32, true, true, true, false, false, 2,
     0, 1, 2, true, true, true, false, false, false, "March", "Sunday", "Mon"}};
#else
const Expected kOthers[] = {
    {"en-GB", "/", ":", "am", "pm", ".", ",", "\xA3", "United Kingdom", "English", 44, 3, 3, true, true, true, false,
     false, 2, 0, 1, 2, true, false, false, false, false, true, "March", "Sunday", "Mon"},
    {"de-DE", ".", ":", "AM", "PM", ",", ".", "\x80", "Germany", "German", 49, 3, 3, false, false, true, false, false,
     2, 0, 1, 2, false, true, true, true, false, false, "M\xE4rz", "Sonntag", "Mo."},
    {"en-IN", "/", ":", "am", "pm", ".", ",", kRupee, "India", "English", 91, 32, 3, false, false, false, false, true,
     1, 0, 1, 2, true, false, false, false, false, true, "March", "Sunday", "Mon"}};
#endif
INSTANTIATE_TEST_SUITE_P(Regional, Tables, ::testing::Values(kUnitedStates, kOthers[0], kOthers[1], kOthers[2]),
                         [](const auto& info) {
                             std::string n = info.param.locale;
                             n.erase(2, 1);
                             return n;
                         });

TEST(LocaleUtils, MonthAndDayNamesInOrder) {
    test::TempDir dir;
    const char* months[] = {"January", "February", "March", "April", "May", "June", "July", "August", "September",
                            "October", "November", "December"};
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(CLocaleUtils::GetMonthName(i, false), months[i - 1]);
        EXPECT_EQ(CLocaleUtils::GetMonthName(i, true), CString(months[i - 1]).Left(3));
    }
    const char* days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int i = 1; i <= 7; ++i) {
        EXPECT_EQ(CLocaleUtils::GetDayName(i, false), days[i - 1]);
        EXPECT_EQ(CLocaleUtils::GetDayName(i, true), CString(days[i - 1]).Left(3));
    }
}

TEST(LocaleUtils, OutOfRangeNamesLogOnce) {
    test::TempDir dir;
    CAppLogger* log = CAppLogger::CreateForTesting();
    EXPECT_EQ(CLocaleUtils::GetMonthName(0, false), "");
    EXPECT_EQ(CLocaleUtils::GetMonthName(14, true), "");
    EXPECT_EQ(CLocaleUtils::GetDayName(8, true), "");
    EXPECT_EQ(CLocaleUtils::GetDayName(0, false), "");
    EXPECT_EQ(Probe::GetLocaleInfoFor(0x7777), "");
    ASSERT_EQ(log->Lines().size(), 5u);
    EXPECT_EQ(log->Lines()[0].site, "{408654B2-6791-46be-96AE-DECE99832073}");
    EXPECT_EQ(log->Lines()[1].site, "{408654B2-6791-46be-96AE-DECE99832073}");
    EXPECT_EQ(log->Lines()[2].site, "{9358F711-98BB-411f-8F4C-A9BE05892568}");
    EXPECT_EQ(log->Lines()[3].site, "{9358F711-98BB-411f-8F4C-A9BE05892568}");
    EXPECT_EQ(log->Lines()[4].site, "{5F7F49DE-1922-43EA-A2DF-CF45C26EE41B}");
    CAppLogger::DeleteInstance();
}

// The size protocol of a text item, and items with and without a number form.
TEST(LocaleItems, SizesAndNumberForms) {
    test::TempDir dir;  // en-US
    char buffer[16] = {};
    const int need = platform::QueryLocaleText(platform::kLocaleSShortDate, nullptr, 0);
    EXPECT_EQ(need, 9);
    EXPECT_EQ(platform::QueryLocaleText(platform::kLocaleSShortDate, buffer, need - 1), 0);
    EXPECT_EQ(platform::QueryLocaleText(platform::kLocaleSShortDate, buffer, need), need);
    EXPECT_STREQ(buffer, "M/d/yyyy");
    EXPECT_EQ(platform::QueryLocaleText(0x7777, buffer, sizeof buffer), 0);
    unsigned int value = 7;
    EXPECT_FALSE(platform::QueryLocaleNumber(platform::kLocaleSShortDate, value));
    EXPECT_FALSE(platform::QueryLocaleNumber(platform::kLocaleSGrouping, value));
    EXPECT_EQ(value, 7u);
    EXPECT_TRUE(platform::QueryLocaleNumber(platform::kLocaleICountry, value));
    EXPECT_EQ(value, 1u);
    EXPECT_TRUE(platform::QueryLocaleNumber(platform::kLocaleIFirstDayOfWeek, value));
    EXPECT_EQ(value, 6u);
}

TEST(LocaleUtils, ConvertGroupingKeepsDigitsOneToEight) {
    EXPECT_EQ(Probe::ConvertGrouping("3;0"), 3u);
    EXPECT_EQ(Probe::ConvertGrouping("3;2;0"), 32u);
    EXPECT_EQ(Probe::ConvertGrouping(""), 0u);
    EXPECT_EQ(Probe::ConvertGrouping("9;3;0"), 3u);
    EXPECT_EQ(Probe::ConvertGrouping("1;8"), 18u);
}

TEST(LocaleSelection, FollowsEveryChangeOfTheVariable) {
    test::TempDir dir;
    SetLocaleVariable("en-US");
    const unsigned us = platform::LocaleGeneration();
    EXPECT_NE(us, 0u);
    EXPECT_EQ(CLocaleUtils::GetDateSeparator(), "/");
    SetLocaleVariable("de-DE");
    const unsigned de = platform::LocaleGeneration();
    EXPECT_NE(de, us);
    EXPECT_EQ(CLocaleUtils::GetDateSeparator(), ".");
    // Another spelling of the same table: same answers, same generation.
    SetLocaleVariable("DE-de");
    EXPECT_EQ(platform::LocaleGeneration(), de);
    EXPECT_EQ(platform::LocaleName(), "de-DE");
    SetLocaleVariable("en-US");
    EXPECT_EQ(platform::LocaleGeneration(), us);
    EXPECT_EQ(CLocaleUtils::GetDateSeparator(), "/");

#ifndef _WIN32
    // putenv puts the caller's buffer itself in the slot: each new buffer is seen.
    static char gb[] = "VUTIL_LOCALE=en-GB";
    static char in[] = "VUTIL_LOCALE=en-IN";
    static char unknown[] = "VUTIL_LOCALE=en-U";
    ASSERT_EQ(putenv(gb), 0);
    EXPECT_EQ(platform::LocaleName(), "en-GB");
    EXPECT_EQ(CLocaleUtils::GetDayHasLeadingZero(), true);
    ASSERT_EQ(putenv(in), 0);
    EXPECT_EQ(platform::LocaleName(), "en-IN");
    EXPECT_EQ(CLocaleUtils::GetDateSeparator(), "-");
    ASSERT_EQ(putenv(unknown), 0);
    EXPECT_EQ(platform::LocaleName(), "en-US") << "en-U is no table: the process locale (C) answers";
    SetLocaleVariable("en-US");  // off the putenv buffer before the test's end
#else
    // The runtime's putenv copies its text, so no caller buffer sits in the slot; a
    // name the system does not know leaves the user's default locale answering.
    SetLocaleVariable(nullptr);
    const unsigned user = platform::LocaleGeneration();
    SetLocaleVariable("en-U");
    EXPECT_EQ(platform::LocaleGeneration(), user);
#endif
}

// Separators, number settings and date text are all kept per locale table: a change of
// the variable reaches every one of them on the next call, back and forth.
TEST(LocaleSelection, EverythingDerivedFollowsTheNextCall) {
    test::TempDir dir;
    const DateTime dt(2024, 3, 5, 14, 7, 9);
    struct Case {
        const char *locale, *date, *words, *time, *parsed, *decimal, *symbol, *number, *money;
    };
    const Case cases[] = {
        {"en-US", "3/5/2024", "March 5, 2024", "2:07:09 PM", "3/4/2024", ".", "$", "1,234.50", "$1,234.50"},
#ifndef _WIN32
        {"de-DE", "05.03.2024", "05 M\xE4rz, 2024", "14:07:09", "04.03.2024", ",", "\x80", "1.234,50", "1.234,50 \x80"},
        {"en-IN", "05-03-2024", "05 March, 2024", "14:07:09", "04-03-2024", ".", "Rs.", "1,234.50", "Rs. 1,234.50"},
#else
        {"de-DE", "5.3.2024", "5 M\xE4rz, 2024", "14:07:09", "04.03.2024", ",", "\x80", "1.234,50", "1.234,50 \x80"},
        {"en-IN", "5/3/2024", "5 March, 2024", "2:07:09 pm", "04/03/2024", ".", "?", "1,234.50", "?1,234.50"},
#endif
        {"en-US", "3/5/2024", "March 5, 2024", "2:07:09 PM", "3/4/2024", ".", "$", "1,234.50", "$1,234.50"},
    };
    for (const Case& c : cases) {
        SetLocaleVariable(c.locale);
        EXPECT_EQ(DateTime::ConvertDateToText(dt, false, false, false, true), c.date) << c.locale;
        EXPECT_EQ(DateTime::ConvertDateToText(dt, false, false, false, false), c.words) << c.locale;
        EXPECT_EQ(DateTime::ConvertTimeToText(dt, true), c.time) << c.locale;
        DateTime parsed;
        ASSERT_TRUE(parsed.SetDate(c.parsed)) << c.locale;
        EXPECT_EQ(parsed.GetMonth(), 3) << c.locale;
        EXPECT_EQ(parsed.GetDay(), 4) << c.locale;
        EXPECT_EQ(CLocaleUtils::GetDecimalSeparator(), c.decimal) << c.locale;
        EXPECT_EQ(CLocaleUtils::GetCurrencySymbol(), c.symbol) << c.locale;
        EXPECT_EQ(CNumberTextConv::DoubleToString(1234.5, 2, false, 0, "", true), c.number) << c.locale;
        EXPECT_EQ(CNumberTextConv::DoubleToString(1234.5, 2, true, 0, "", true), c.money) << c.locale;
        EXPECT_DOUBLE_EQ(CNumberTextConv::GetDoubleFromString(c.number, false), 1234.5) << c.locale;
    }
}

// The kept members: empty on a thread that has not asked yet, all five filled by one Get
// call, left alone until a call after a change of the variable, refilled when emptied.
TEST(LocaleUtils, KeptMembersFollowTheGetCalls) {
    test::TempDir dir;
    std::thread([] {
        SetLocaleVariable("de-DE");
        EXPECT_TRUE(CLocaleUtils::m_csDecimalSeparator.IsEmpty());
        EXPECT_EQ(CLocaleUtils::GetThousandsSeparator(), ".");
        const auto members = [] {
            return std::string(CLocaleUtils::m_csDecimalSeparator) + "|" + CLocaleUtils::m_csThousandsSeparator.GetString() +
                   "|" + CLocaleUtils::m_csCurrencyDecimalSeparator.GetString() + "|" +
                   CLocaleUtils::m_csCurrencyThousandsSeparator.GetString() + "|" + CLocaleUtils::m_csCurrencySymbol.GetString();
        };
        EXPECT_EQ(members(), ",|.|,|.|\x80");
        SetLocaleVariable("en-IN");
        EXPECT_EQ(members(), ",|.|,|.|\x80") << "nothing asked yet";
        EXPECT_EQ(CLocaleUtils::GetCurrencySymbol(), kRupee);
        EXPECT_EQ(members(), std::string(".|,|.|,|") + kRupee);
        CLocaleUtils::m_csDecimalSeparator = "x";
        EXPECT_EQ(CLocaleUtils::GetDecimalSeparator(), "x") << "a filled member is not asked again";
        CLocaleUtils::m_csDecimalSeparator.Empty();
        EXPECT_EQ(CLocaleUtils::GetDecimalSeparator(), ".");
    }).join();
}

TEST(LocaleUtils, TwoDigitYearMaxFromTheSettings) {
    test::TempDir dir;
    test::RegistrySandbox registry;  // an empty store on Windows too
    const char* key = "Control Panel\\International\\Calendars\\TwoDigitYearMax";
    EXPECT_EQ(CLocaleUtils::GetTwoDigitYearMax(), 29);
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, key, "1", "2049", false));
    EXPECT_EQ(CLocaleUtils::GetTwoDigitYearMax(), 49);
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, key, "1", "1999", false));
    EXPECT_EQ(CLocaleUtils::GetTwoDigitYearMax(), 99);
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, key, "1", "7", false));
    EXPECT_EQ(CLocaleUtils::GetTwoDigitYearMax(), 29);
}

#ifndef _WIN32
TEST(LocaleUtils, PosixCLocaleAnswersAsUnitedStates) {
    test::TempDir dir;
    SetLocaleVariable(nullptr);
    for (const char* name : {"C", "POSIX", "C.UTF-8", "xx_NOWHERE.UTF-8"}) {
        test::ScopedEnv lcAll("LC_ALL", name);
        EXPECT_EQ(platform::LocaleName(), "en-US") << name;
        EXPECT_EQ(CLocaleUtils::GetDateSeparator(), "/") << name;
        EXPECT_EQ(CLocaleUtils::GetFirstDayOfWeek(), 1) << name;
    }
}
#else
// Unset, the user's settings answer: the same the system keeps in the user's
// International key, read back through reg.exe.
TEST(LocaleUtils, UserDefaultAgreesWithTheUserSettings) {
    test::TempDir dir;
    SetLocaleVariable(nullptr);
    std::string output;
    ASSERT_EQ(test::RunCommand("reg query \"HKCU\\Control Panel\\International\"", &output), 0);
    std::map<std::string, std::string> values;  // "    sDate    REG_SZ    /"
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto type = line.find("    REG_SZ    ");
        if (line.rfind("    ", 0) == 0 && type != std::string::npos)
            values[line.substr(4, type - 4)] = line.substr(type + 14);
    }
    ASSERT_TRUE(values.count("LocaleName")) << output;
    EXPECT_EQ(platform::LocaleName(), values["LocaleName"]);
    const std::pair<const char*, unsigned long> texts[] = {
        {"sDate", platform::kLocaleSDate},         {"sTime", platform::kLocaleSTime},
        {"sDecimal", platform::kLocaleSDecimal},   {"sThousand", platform::kLocaleSThousand},
        {"sShortDate", platform::kLocaleSShortDate}, {"sLongDate", platform::kLocaleSLongDate},
        {"sTimeFormat", platform::kLocaleSTimeFormat}, {"s1159", platform::kLocaleS1159},
        {"sCurrency", platform::kLocaleSCurrency}, {"sMonGrouping", platform::kLocaleSMonGrouping},
    };
    for (const auto& [name, type] : texts) EXPECT_EQ(Probe::GetLocaleInfoFor(type), values[name].c_str()) << name;
    const std::pair<const char*, unsigned long> numbers[] = {
        {"iDate", platform::kLocaleIDate},   {"iTime", platform::kLocaleITime},
        {"iNegCurr", platform::kLocaleINegCurr}, {"iFirstDayOfWeek", platform::kLocaleIFirstDayOfWeek},
        {"iMeasure", platform::kLocaleIMeasure}, {"iCountry", platform::kLocaleICountry},
    };
    for (const auto& [name, type] : numbers) {
        unsigned int value = 99;
        EXPECT_TRUE(platform::QueryLocaleNumber(static_cast<DWORD>(type), value)) << name;
        EXPECT_EQ(std::to_string(value), values[name]) << name;
    }
}
#endif

}  // namespace
}  // namespace vutil
