// CCrypto: padding, the encrypted string blob, byte text, the built-in key.

#include <gtest/gtest.h>

#include "support/archive_bytes.h"
#include "support/test_support.h"
#include "vutil/core/app_logger.h"
#include "vutil/framework/exceptions.h"
#include "vutil/persist/crypto.h"
#include "vutil/persist/serialize_data.h"

namespace vutil {
namespace {

using namespace test;

// Reaches the protected helpers.
struct CryptoPeek : CCrypto {
    using CCrypto::JoinPassPhrase;
};

std::string ToString(const CByteArray& a) {
    return std::string(reinterpret_cast<const char*>(a.GetData()), static_cast<std::size_t>(a.GetSize()));
}

CByteArray ToArray(const std::string& s) {
    CByteArray a;
    for (char c : s) a.Add(static_cast<BYTE>(c));
    return a;
}

CString RoundTrip(const CString& text) {
    CCrypto* crypto = CCrypto::GetInstance();
    CByteArray bytes;
    EXPECT_TRUE(crypto->Encrypt(text, bytes));
    CString back("unchanged");
    EXPECT_TRUE(crypto->Decrypt(bytes, back));
    return back;
}

// Lengths and bytes of non-empty texts are held by the openssl comparison below.
TEST(Crypto, EmptyTextIsRefused) {
    CByteArray a;
    a.Add(1);
    EXPECT_FALSE(CCrypto::GetInstance()->Encrypt("", a));
    EXPECT_EQ(a.GetSize(), 0);
}

TEST(Crypto, RoundTripsAndDocumentedLosses) {
    EXPECT_EQ(RoundTrip(CString('q', 64)), CString('q', 64));
    EXPECT_EQ(RoundTrip(CString("ab\0cd", 5)), CString("ab"));
    EXPECT_EQ(RoundTrip(CString("tail\xA4\xA4")), CString("tail"));
    EXPECT_EQ(RoundTrip("\xE9\xA4x"), CString("\xE9\xA4x"));
}

TEST(Crypto, KeyIsThePassPhraseBytes) {
    // The ciphertext equals openssl's with the pass phrase as the raw key, zero IV, over
    // the working copy: the text padded with 0xA4, read up to its first NUL, so after an
    // embedded NUL every byte is zero, the padding included.
    if (!test::HaveProgram("openssl")) GTEST_SKIP() << "openssl not installed";
    test::TempDir dir;
    const CString phrase = CryptoPeek::JoinPassPhrase();
    const struct {
        std::string text, block;
    } cases[] = {
        {"The quick brown fox jumps", "The quick brown fox jumps" + std::string(7, '\xA4')},
        {"ab", "ab" + std::string(14, '\xA4')},
        {std::string("ab\0cd", 5), "ab" + std::string(14, '\0')},
        {std::string("ab\0xyz", 6), "ab" + std::string(14, '\0')},
        {std::string("\0", 1) + std::string(16, 'q'), std::string(32, '\0')},
    };
    for (const auto& c : cases) {
        CByteArray bytes;
        ASSERT_TRUE(CCrypto::GetInstance()->Encrypt(CString(c.text), bytes));
        test::WriteFileBytes(dir.File("in"), c.block);
        std::string cmd = "openssl enc -aes-" + std::to_string(phrase.GetLength() * 8) + "-cbc -nopad -K " +
                          PlainHex(phrase.str()) + " -iv 00000000000000000000000000000000 -in " + dir.File("in") +
                          " -out " + dir.File("out");
        ASSERT_EQ(test::RunCommand(cmd), 0);
        EXPECT_EQ(PlainHex(ToString(bytes)), PlainHex(test::ReadFileBytes(dir.File("out")))) << Hex(c.text);
    }
}

TEST(Crypto, PassPhraseIsNotInTheBuiltProgram) {
    const std::string binary = test::ReadFileBytes(VUTIL_CLI_PATH);
    ASSERT_FALSE(binary.empty());
    const std::string phrase = CryptoPeek::JoinPassPhrase().str();
    EXPECT_EQ(binary.find(phrase), std::string::npos);
    EXPECT_EQ(binary.find(phrase.substr(0, 8)), std::string::npos);
}

TEST(Crypto, BadCiphertextDecryptsToNothing) {
    CCrypto* crypto = CCrypto::GetInstance();
    CString text("before");
    EXPECT_TRUE(crypto->Decrypt(ToArray(std::string(17, 'z')), text));
    EXPECT_TRUE(text.IsEmpty());
    text = "before";
    EXPECT_FALSE(crypto->Decrypt(CByteArray(), text));
    EXPECT_TRUE(text.IsEmpty());
    // Static form over raw bytes.
    CByteArray good;
    crypto->Encrypt("raw", good);
    CString raw;
    EXPECT_TRUE(CCrypto::Decrypt(good.GetData(), good.GetSize(), raw));
    EXPECT_EQ(raw, CString("raw"));
    raw = "x";
    EXPECT_TRUE(CCrypto::Decrypt(good.GetData(), 5, raw));
    EXPECT_TRUE(raw.IsEmpty());
}

TEST(CryptoBlob, EncryptedLayout) {
    CByteArray expected;
    CCrypto::GetInstance()->Encrypt("secret", expected);
    std::string bytes = StoreBytes([](CArchive& ar) { CCrypto::SerializeEncrypted("secret", ar); });
    EXPECT_EQ(Hex(bytes.substr(0, 4)), "01 00 10 00");
    EXPECT_EQ(bytes.substr(4), ToString(expected));
    CString back;
    LoadBytes(bytes, [&](CArchive& ar) { CCrypto::DeserializeEncrypted(back, ar); });
    EXPECT_EQ(back, CString("secret"));
}

TEST(CryptoBlob, LongCountUsesThe32BitForm) {
    const CString text('L', 70000);
    std::string bytes = StoreBytes([&](CArchive& ar) { CCrypto::SerializeEncrypted(text, ar); });
    EXPECT_EQ(Hex(bytes.substr(0, 8)), "01 00 FF FF 70 11 01 00");  // 70000, already whole blocks
    EXPECT_EQ(bytes.size(), 8u + 70000u);
    CString back;
    LoadBytes(bytes, [&](CArchive& ar) { CCrypto::DeserializeEncrypted(back, ar); });
    EXPECT_TRUE(back == text) << back.GetLength();
}

TEST(CryptoBlob, FlagOtherThanOneLoadsPlainText) {
    for (int flag : {0, 2, 0xFFFF}) {
        CString back;
        LoadBytes(Bytes({flag & 0xFF, flag >> 8, 2, 'h', 'i'}), [&](CArchive& ar) { CCrypto::DeserializeEncrypted(back, ar); });
        EXPECT_EQ(back, CString("hi")) << flag;
    }
}

TEST(CryptoBlob, HostileCountsEndAtEndOfFile) {
    for (const std::string& bytes : {Bytes({1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3}),
                                     Bytes({1, 0, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x7F, 1, 2, 3}),
                                     Bytes({1, 0, 0x20, 0x00, 1, 2, 3})}) {
        CString back;
        try {
            LoadBytes(bytes, [&](CArchive& ar) { CCrypto::DeserializeEncrypted(back, ar); });
            ADD_FAILURE() << Hex(bytes);
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
    }
}

TEST(CryptoBlob, EncryptedMapRoundTrip) {
    std::map<int, CString> m{{3, "three"}, {1, ""}, {2, CString('t', 40)}};
    std::string bytes = StoreBytes([&](CArchive& ar) { SerializeData::SerializeEncrypted(ar, m); });
    // count, then key 1 with the plain empty blob first.
    EXPECT_EQ(Hex(bytes.substr(0, 11)), "03 00 00 00 01 00 00 00 00 00 00");
    std::map<int, CString> back{{9, "gone"}};
    LoadBytes(bytes, [&](CArchive& ar) { SerializeData::SerializeEncrypted(ar, back); });
    EXPECT_EQ(back, m);
}

TEST(CryptoText, ByteArrayTextForms) {
    CString text;
    CCrypto::ConvertByteArrayToString(ToArray(Bytes({1, 200, 0})), text);
    EXPECT_EQ(text, CString("1, 200, 0"));
    CByteArray bytes;
    bytes.Add(9);
    CCrypto::ConvertStringToByteArray(text, bytes);
    EXPECT_EQ(ToString(bytes), Bytes({1, 200, 0}));
    CCrypto::ConvertByteArrayToString(CByteArray(), text);
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CryptoLifecycle, DeleteAndRecreateKeepsTheKey) {
    CByteArray before, after;
    CCrypto::GetInstance()->Encrypt("same", before);
    CCrypto::DeleteInstance();
    ASSERT_NE(CCrypto::GetInstance(), nullptr);
    CCrypto::GetInstance()->Encrypt("same", after);
    EXPECT_EQ(before, after);
}

}  // namespace
}  // namespace vutil
