// CRegistryUtils over the settings store.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/registry_sandbox.h"
#include "support/settings_values.h"
#include "support/string_lists.h"
#include "support/test_support.h"
#include "vutil/core/app_logger.h"
#include "vutil/persist/crypto.h"
#include "vutil/platform/error.h"
#include "vutil/platform/settings.h"
#include "vutil/system/registry_utils.h"
#include "vutil/system/system_utils.h"

namespace vutil {
namespace {

class RegistryUtils : public ::testing::Test {
protected:
    void SetUp() override { m_log = CAppLogger::CreateForTesting(); }
    void TearDown() override { CAppLogger::DeleteInstance(); }

    std::size_t LogCount() const { return m_log->Lines().size(); }
    const CAppLogger::Line& LastLine() const { return m_log->Lines().back(); }

    static void SetRaw(const char* key, const char* name, DWORD type, const std::string& data) {
        ASSERT_EQ(test::SetSettingsValue(HKEY_CURRENT_USER, key, name, type, data), 0);
    }

    test::TempDir m_dir;
    test::RegistrySandbox m_registry;  // on Windows, an empty HKCU of the test's own
    CAppLogger* m_log = nullptr;
};

TEST_F(RegistryUtils, WritesAndReadsStrings) {
    const CString text("a \"quoted\" C:\\path = \xE9\x80");
    EXPECT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "Software\\Vendor\\App", "Text", text, false));
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "software\\vendor\\app", "TEXT", false), text);
    EXPECT_TRUE(CRegistryUtils::HaveKey(HKEY_CURRENT_USER, "Software\\Vendor"));
    EXPECT_TRUE(CRegistryUtils::HaveValue(HKEY_CURRENT_USER, "Software\\Vendor\\App", "Text"));
    EXPECT_FALSE(CRegistryUtils::HaveValue(HKEY_CURRENT_USER, "Software\\Vendor\\App", "Other"));
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "Software\\Vendor\\App", "Other", false), "");
    EXPECT_EQ(LogCount(), 0u);  // a missing value is not a logged failure
}

TEST_F(RegistryUtils, ValuesLongerThan999BytesAreUnreadable) {
    // 998 characters and the terminator fill the buffer exactly; one more does not fit.
    CString fits('x', 998), tooLong('y', 999);
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "S", "fits", fits, false));
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "S", "long", tooLong, false));
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "S", "fits", false), fits);
    EXPECT_TRUE(CRegistryUtils::HaveValue(HKEY_CURRENT_USER, "S", "fits"));
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "S", "long", false), "");
    EXPECT_FALSE(CRegistryUtils::HaveValue(HKEY_CURRENT_USER, "S", "long"));
}

TEST_F(RegistryUtils, DwordsReadAsLocaleGroupedDecimal) {
    SetRaw("S", "big", platform::kRegDword, test::Bytes({0x87, 0xD6, 0x12, 0x00}));  // 1234567
    SetRaw("S", "max", platform::kRegDword, test::Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "S", "big", false), "1,234,567");
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "S", "max", false), "4,294,967,295");
}

TEST_F(RegistryUtils, OtherTypesReadAsTheirFirstString) {
    SetRaw("S", "multi", platform::kRegMultiSz, std::string("first\0second\0\0", 14));
    SetRaw("S", "bin", platform::kRegBinary, std::string("ab\0cd", 5));
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "S", "multi", false), "first");
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "S", "bin", false), "ab");
}

// The stored form of cipher bytes: decimal numbers without padding, one space apart.
std::string SpaceSeparated(const CByteArray& bytes) {
    std::string out;
    for (int i = 0; i < bytes.GetSize(); ++i) out += (i ? " " : "") + std::to_string(bytes[i]);
    return out;
}

TEST_F(RegistryUtils, EncryptedValuesRoundTripAsDecimalByteText) {
    const CString values[] = {"p", "C:\\path with \"quotes\" = \xE9", CString('z', 200)};
    for (const CString& value : values) {
        SCOPED_TRACE(value.GetString());
        ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "Software\\Secret", "pw", value, true));
        EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "Software\\Secret", "pw", true), value);
        // Read plain, the value is the cipher's bytes in their text form.
        CByteArray cipher;
        ASSERT_TRUE(CCrypto::GetInstance()->Encrypt(value, cipher));
        const CString stored = CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "Software\\Secret", "pw", false);
        EXPECT_EQ(stored.str(), SpaceSeparated(cipher));
    }
    EXPECT_EQ(LogCount(), 0u);
    // The store never holds the clear text: the settings file, or the registry as reg.exe shows it.
#ifdef _WIN32
    std::string shown;
    ASSERT_EQ(test::RunCommand("reg query \"" + m_registry.Full("Software\\Secret") + "\" /v pw", &shown), 0);
    CByteArray cipher;
    ASSERT_TRUE(CCrypto::GetInstance()->Encrypt(values[2], cipher));
    EXPECT_NE(shown.find("REG_SZ    " + SpaceSeparated(cipher)), std::string::npos) << shown;
#else
    const std::string shown = test::ReadFileBytes(m_dir.File("registry.reg"));
#endif
    EXPECT_EQ(shown.find("zzzz"), std::string::npos);
}

TEST_F(RegistryUtils, EncryptedBranchesOnEmptyAndForeignValues) {
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "S", "empty", "", false));
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "S", "empty", true), "");
    EXPECT_EQ(LogCount(), 0u);  // an empty value never reaches the cipher
    // An empty text cannot be encrypted: logged, and nothing is written.
    EXPECT_FALSE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "S", "secret", "", true));
    EXPECT_EQ(LogCount(), 1u);
    EXPECT_FALSE(CRegistryUtils::HaveValue(HKEY_CURRENT_USER, "S", "secret"));
    // Byte text that is not whole cipher blocks deciphers to nothing.
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "S", "short", "7 200 31", false));
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "S", "short", true), "");
    // Numbers beyond a byte keep their low 8 bits, so 256 + b reads as b.
    CByteArray cipher;
    ASSERT_TRUE(CCrypto::GetInstance()->Encrypt("low byte", cipher));
    std::string wide;
    for (int i = 0; i < cipher.GetSize(); ++i) wide += (i ? " " : "") + std::to_string(cipher[i] + 256);
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "S", "wide", CString(wide), false));
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "S", "wide", true), "low byte");
}

TEST_F(RegistryUtils, DeleteKeyAndValueRules) {
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "A\\B\\C", "v", "x", false));
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "Top", "v", "x", false));
    EXPECT_FALSE(CRegistryUtils::DeleteKey(HKEY_CURRENT_USER, "A\\B\\C\\"));  // empty last component
    EXPECT_TRUE(CRegistryUtils::HaveKey(HKEY_CURRENT_USER, "A\\B\\C"));
    EXPECT_FALSE(CRegistryUtils::DeleteKey(HKEY_CURRENT_USER, "A\\B"));  // still has a sub-key
    EXPECT_TRUE(CRegistryUtils::HaveKey(HKEY_CURRENT_USER, "A\\B"));
    EXPECT_TRUE(CRegistryUtils::DeleteKey(HKEY_CURRENT_USER, "A\\B\\C"));
    EXPECT_TRUE(CRegistryUtils::DeleteKey(HKEY_CURRENT_USER, "A\\B"));
    EXPECT_FALSE(CRegistryUtils::HaveKey(HKEY_CURRENT_USER, "A\\B"));
    EXPECT_TRUE(CRegistryUtils::DeleteKey(HKEY_CURRENT_USER, "Top"));  // parent is the root itself
    EXPECT_FALSE(CRegistryUtils::DeleteKey(HKEY_CURRENT_USER, "Missing\\Child"));
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "S", "v", "x", false));
    EXPECT_FALSE(CRegistryUtils::DeleteValue(HKEY_CURRENT_USER, "S", ""));
    EXPECT_TRUE(CRegistryUtils::DeleteValue(HKEY_CURRENT_USER, "S", "V"));
    EXPECT_FALSE(CRegistryUtils::HaveValue(HKEY_CURRENT_USER, "S", "v"));
    EXPECT_FALSE(CRegistryUtils::DeleteValue(HKEY_CURRENT_USER, "S", "v"));
}

TEST_F(RegistryUtils, ListsValuesInCreationOrder) {
    for (const char* n : {"zulu", "alpha", "Mike"}) ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "S", n, n, false));
    TextArray names;
    names.Add("kept");
    CRegistryUtils::GetKeyValues(HKEY_CURRENT_USER, "S", names);
    EXPECT_EQ(test::EnumOrder(test::Items(names)), test::EnumOrder({"kept", "zulu", "alpha", "Mike"}));
}

TEST_F(RegistryUtils, SubKeysNonRecursiveAndPreOrder) {
    for (const char* k : {"Root\\b\\x", "Root\\b\\x\\deep", "Root\\A\\y", "Root\\A", "Root\\c"})
        ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, k, "v", "1", false));
    TextArray flat;
    CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, "Root", flat, false);
    EXPECT_EQ(test::Items(flat), (std::vector<std::string>{"A", "b", "c"}));
    TextArray deep;
    CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, "Root", deep, true);
    EXPECT_EQ(test::Items(deep), (std::vector<std::string>{"Root\\A", "Root\\A\\y", "Root\\b", "Root\\b\\x",
                                                          "Root\\b\\x\\deep", "Root\\c"}));
}

TEST_F(RegistryUtils, SubKeysOfTheRootListEachTopKeyThenItsChildren) {
    for (const char* k : {"Beta\\two", "alpha\\one", "alpha\\Zed", "Gamma"})
        ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, k, "v", "1", false));
    TextArray names;
    CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, "", names, false);
    EXPECT_EQ(test::Items(names), (std::vector<std::string>{"alpha", "one", "Zed", "Beta", "two", "Gamma"}));
    TextArray recursive;
    CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, "", recursive, true);
    EXPECT_EQ(test::Items(recursive), (std::vector<std::string>{"alpha", "alpha\\one", "alpha\\Zed", "Beta", "Beta\\two", "Gamma"}));
}

TEST_F(RegistryUtils, FailuresLogTheirOwnSiteAndTheSystemText) {
    std::set<std::string> sites;
    auto expectLogged = [&](const char* what) {
        ASSERT_GT(LogCount(), 0u) << what;
        const auto& line = LastLine();
        EXPECT_EQ(line.site.GetAt(0), '{') << what;
        EXPECT_EQ(line.site.GetLength(), 38) << what;
        sites.insert(line.site.str());
    };
    EXPECT_EQ(CRegistryUtils::GetKeyValue(nullptr, "S", "v", false), "");
    expectLogged("null root");
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "  ", "v", false), "");
    EXPECT_EQ(LastLine().site, m_log->Lines()[LogCount() - 2].site);  // same site for both guards
    EXPECT_EQ(CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "No\\Such\\Key", "v", false), "");
    expectLogged("open");
    EXPECT_EQ(LastLine().text, CSystemUtils::GetLastError(platform::kErrorFileNotFound));
    EXPECT_FALSE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "", "v", "x", false));
    expectLogged("create guard");
    EXPECT_FALSE(CRegistryUtils::CreateKeyAndValue(HKEY_CURRENT_USER, "\\Bad", "v", "x", false));
    expectLogged("create");
    EXPECT_FALSE(CRegistryUtils::DeleteKey(HKEY_CURRENT_USER, "Nope\\Child"));
    expectLogged("delete key open");
    EXPECT_FALSE(CRegistryUtils::DeleteValue(HKEY_CURRENT_USER, "Nope", "v"));
    expectLogged("delete value open");
    std::size_t before = LogCount();
    EXPECT_FALSE(CRegistryUtils::HaveKey(HKEY_CURRENT_USER, "Nope"));
    EXPECT_EQ(LogCount(), before);  // a missing key is only an answer
    EXPECT_FALSE(CRegistryUtils::HaveValue(HKEY_CURRENT_USER, "Nope", "v"));
    expectLogged("have value open");
    TextArray names;
    CRegistryUtils::GetKeyValues(HKEY_CURRENT_USER, "Nope", names);
    expectLogged("values open");
    CRegistryUtils::GetSubKeys(HKEY_CURRENT_USER, "Nope", names, true);
    expectLogged("sub-keys open");
    CRegistryUtils::GetSubKeys(nullptr, "", names, true);
    expectLogged("sub-keys root");
    EXPECT_EQ(names.GetCount(), 0u);
    EXPECT_EQ(sites.size(), 10u);
}

}  // namespace
}  // namespace vutil
