// Process-wide state under threads. Built and run under ThreadSanitizer by the tsan
// preset; the first test must be the first thing this process does with the library.

#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

#include "support/test_support.h"
#include "vutil/core/app_logger.h"
#include "vutil/core/library.h"
#include "vutil/dates/date_time.h"
#include "vutil/dates/locale_utils.h"
#include "vutil/persist/crypto.h"
#include "vutil/platform/locale.h"
#include "vutil/system/installed_apps.h"
#include "vutil/system/registry_utils.h"
#include "vutil/text/number_text_conv.h"

namespace vutil {
namespace {

constexpr int kThreads = 8;

// Eight threads released at once make the first use of every singleton and cache, then
// format dates and numbers and read the settings store side by side.
TEST(Threads, FirstUseOfEverySingletonAndCache) {
    test::TempDir dir;
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "Software\\vutil\\stress", "Name", "value 1",
                                                  false));
    struct Seen {
        const void *crypto = nullptr, *logger = nullptr, *apps = nullptr, *crlf = nullptr, *colon = nullptr;
        int wrong = 0;
    };
    std::vector<Seen> seen(kThreads);
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            Seen& s = seen[static_cast<std::size_t>(t)];
            start.arrive_and_wait();
            s.crypto = CCrypto::GetInstance();
            s.logger = CAppLogger::CreateForTesting();
            s.apps = InstalledApps::GetInstance();
            s.crlf = &SeparatorCRLF();
            s.colon = &SeparatorColon();
            for (int i = 0; i < 200; ++i) {
                const DateTime dt(2000 + i % 30, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 0);
                DateTime back;
                if (!back.SetDate(DateTime::ConvertDateToText(dt, false, false, false, true))) ++s.wrong;
                if (CLocaleUtils::GetDecimalSeparator() != "." || CLocaleUtils::GetCurrencySymbol() != "$") ++s.wrong;
                if (CLocaleUtils::m_csDecimalSeparator != "." || CLocaleUtils::m_csThousandsSeparator != "," ||
                    CLocaleUtils::m_csCurrencySymbol != "$")
                    ++s.wrong;
                if (CNumberTextConv::DoubleToString(1234.5, 2, false, 0, "", true) != "1,234.50") ++s.wrong;
                if (CNumberTextConv::GetNumberFromString("1,234") != 1234) ++s.wrong;
                if (CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "Software\\vutil\\stress", "Name") != "value 1")
                    ++s.wrong;
                if (CLocaleUtils::GetTwoDigitYearMax() != 29) ++s.wrong;
                if (*static_cast<const CString*>(s.crlf) != "\r\n") ++s.wrong;
            }
        });
    }
    for (auto& th : threads) th.join();
    for (const Seen& s : seen) {
        EXPECT_EQ(s.wrong, 0);
        EXPECT_NE(s.crypto, nullptr);
        EXPECT_EQ(s.crypto, seen[0].crypto) << "one cipher";
        EXPECT_EQ(s.logger, seen[0].logger) << "one logger";
        EXPECT_EQ(s.apps, seen[0].apps) << "one index";
        EXPECT_EQ(s.crlf, seen[0].crlf);
        EXPECT_EQ(s.colon, seen[0].colon);
    }
    CAppLogger::DeleteInstance();
    InstalledApps::DeleteInstance();
}

TEST(Threads, FormatAndParseAlike) {
    test::TempDir dir;
    test::ScopedEnv locale("VUTIL_LOCALE", "en-GB");
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (std::size_t t = 0; t < wrong.size(); ++t) {
        threads.emplace_back([&wrong, t] {
            for (int i = 0; i < 2000; ++i) {
                const DateTime dt(1990 + i % 40, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 0);
                DateTime back;
                const bool ok = back.SetDate(DateTime::ConvertDateToText(dt, false, false, false, true)) &&
                                back.SetTime(DateTime::ConvertTimeToText(dt, true));
                if (!ok || back != dt) ++wrong[t];
                if (CNumberTextConv::DoubleToString(-1234.5, 2, false, 0, "", true) != "-1,234.50") ++wrong[t];
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int w : wrong) EXPECT_EQ(w, 0);
}

}  // namespace
}  // namespace vutil
