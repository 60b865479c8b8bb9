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
