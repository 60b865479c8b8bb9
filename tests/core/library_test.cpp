#include <gtest/gtest.h>

#include "vutil/core/app_logger.h"
#include "vutil/core/library.h"
#include "vutil/framework/cstring.h"
#include "vutil/persist/crypto.h"

using vutil::CAppLogger;

TEST(LibraryTest, ConstantStrings) {
    EXPECT_EQ(vutil::SeparatorCRLF(), "\r\n");
    EXPECT_EQ(vutil::SeparatorCommaSpace(), ", ");
    EXPECT_EQ(vutil::SeparatorBackslash(), "\\");
    EXPECT_EQ(&vutil::SeparatorColon(), &vutil::SeparatorColon());  // built once
}

TEST(LibraryTest, AddLineSplitsTheSite) {
    CAppLogger* log = CAppLogger::CreateForTesting();
    ASSERT_NE(log, nullptr);
    log->AddLine("{996D9989-7ACC-46d8-9265-A13FF9AEFFE5}   failed (x)  ");
    log->AddLine("  no braces  ");
    log->AddLine("} before {");
    ASSERT_EQ(log->Lines().size(), 3u);
    EXPECT_EQ(log->Lines()[0].site, "{996D9989-7ACC-46d8-9265-A13FF9AEFFE5}");
    EXPECT_EQ(log->Lines()[0].text, "failed (x)");
    EXPECT_EQ(log->Lines()[1].site, "");
    EXPECT_EQ(log->Lines()[1].text, "  no braces  ");
    EXPECT_EQ(log->Lines()[2].site, "}");  // the order of the braces is not checked
    EXPECT_EQ(log->Lines()[2].text, "before {");
}

TEST(LibraryTest, UnloadDestroysEverySingleton) {
    ASSERT_NE(CAppLogger::CreateForTesting(), nullptr);
    ASSERT_NE(vutil::CCrypto::GetInstance(), nullptr);
    vutil::library::OnUnload();
    EXPECT_EQ(CAppLogger::m_pInstance, nullptr);
    EXPECT_EQ(vutil::CCrypto::m_pInstance, nullptr);
    EXPECT_FALSE(vutil::library::IsLoaded());
    vutil::library::OnLoad();
    EXPECT_TRUE(vutil::library::IsLoaded());
}
