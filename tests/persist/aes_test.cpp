// The block cipher against published vectors, both code paths. (openssl agreement
// is checked on the built-in key in the crypto suite.)

#include <gtest/gtest.h>

#include <optional>

#include <random>

#include "support/test_support.h"
#include "vutil/persist/aes.h"

namespace vutil {
namespace {

using namespace test;

const BYTE* Data(const std::string& s) { return reinterpret_cast<const BYTE*>(s.data()); }

CAesCipher Keyed(const std::string& keyHex) {
    CAesCipher aes;
    std::string key = FromHex(keyHex);
    EXPECT_TRUE(aes.MakeKey(Data(key), key.size()));
    return aes;
}

struct BlockVector {
    const char* key;
    const char* plain;
    const char* cipher;
    int rounds;
};

// FIPS-197 appendix B and C.1-C.3.
const BlockVector kBlockVectors[] = {
    {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734", "3925841d02dc09fbdc118597196a0b32", 10},
    {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a", 10},
    {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
     "dda97ca4864cdfe06eaf70a0ec0d7191", 12},
    {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "00112233445566778899aabbccddeeff",
     "8ea2b7ca516745bfeafc49904b496089", 14},
};

class AesBlock : public testing::TestWithParam<BlockVector> {};

TEST_P(AesBlock, EncryptsAndDecryptsTheVector) {
    const BlockVector& v = GetParam();
    CAesCipher aes = Keyed(v.key);
    EXPECT_EQ(aes.GetRounds(), v.rounds);
    EXPECT_EQ(aes.GetBlockSize(), 16);
    std::string plain = FromHex(v.plain);
    BYTE out[16];
    aes.EncryptBlock(Data(plain), out);
    EXPECT_EQ(PlainHex(std::string(reinterpret_cast<char*>(out), 16)), v.cipher);
    std::string cipher = FromHex(v.cipher);
    aes.DecryptBlock(Data(cipher), out);
    EXPECT_EQ(PlainHex(std::string(reinterpret_cast<char*>(out), 16)), v.plain);
}

INSTANTIATE_TEST_SUITE_P(Fips197, AesBlock, testing::ValuesIn(kBlockVectors));

struct CbcVector {
    const char* key;
    const char* cipher;
};

// NIST SP 800-38A F.2.1, F.2.3, F.2.5 (same IV and plaintext for all three).
const char* const kCbcIv = "000102030405060708090a0b0c0d0e0f";
const char* const kCbcPlain =
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";
const CbcVector kCbcVectors[] = {
    {"2b7e151628aed2a6abf7158809cf4f3c",
     "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
     "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
    {"8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b",
     "4f021db243bc633d7178183a9fa071e8b4d9ada9ad7dedf4e5e738763f69145a"
     "571b242012fb7ae07fa9baac3df102e008b0e27988598881d920a9e64f5615cd"},
    {"603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4",
     "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
     "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"},
};

// The cipher always starts from a zero IV; folding the published IV into the first
// block gives the same chain.
std::string XorFirstBlock(std::string data, const std::string& iv) {
    for (int i = 0; i < 16; ++i) data[static_cast<std::size_t>(i)] ^= iv[static_cast<std::size_t>(i)];
    return data;
}

// The hardware switch is process-wide: every path out of a test (a failed ASSERT
// included) puts it back to the default.
struct HardwareSwitch {
    explicit HardwareSwitch(bool allowed) { CAesCipher::SetHardwareAllowed(allowed); }
    ~HardwareSwitch() { CAesCipher::SetHardwareAllowed(true); }
    HardwareSwitch(const HardwareSwitch&) = delete;
    HardwareSwitch& operator=(const HardwareSwitch&) = delete;
};

class AesCbc : public testing::TestWithParam<std::tuple<CbcVector, bool>> {
protected:
    void SetUp() override {
        if (std::get<1>(GetParam()) && !CAesCipher::HardwareAvailable()) GTEST_SKIP() << "no AES instructions";
        m_switch.emplace(std::get<1>(GetParam()));
    }
    std::optional<HardwareSwitch> m_switch;
};

TEST_P(AesCbc, MatchesSp80038a) {
    const CbcVector& v = std::get<0>(GetParam());
    CAesCipher aes = Keyed(v.key);
    const std::string iv = FromHex(kCbcIv);
    std::string buf = XorFirstBlock(FromHex(kCbcPlain), iv);
    aes.ResetChain();
    aes.EncryptCBC(Data(buf), reinterpret_cast<BYTE*>(buf.data()), buf.size());
    EXPECT_EQ(PlainHex(buf), v.cipher);
    aes.ResetChain();
    aes.DecryptCBC(Data(buf), reinterpret_cast<BYTE*>(buf.data()), buf.size());
    EXPECT_EQ(PlainHex(XorFirstBlock(buf, iv)), kCbcPlain);
}

INSTANTIATE_TEST_SUITE_P(Sp80038a, AesCbc, testing::Combine(testing::ValuesIn(kCbcVectors), testing::Bool()));

TEST(AesKey, RefusesOtherLengthsAndKeepsState) {
    CAesCipher aes;
    std::string key(20, 'k');
    for (std::size_t n : {0u, 1u, 15u, 17u, 20u, 31u, 33u}) EXPECT_FALSE(aes.MakeKey(Data(key), n)) << n;
    EXPECT_FALSE(aes.MakeKey(nullptr, 16));
    EXPECT_FALSE(aes.IsKeyReady());
    // Without a key nothing is written.
    std::string buf(16, 'p');
    aes.EncryptCBC(Data(buf), reinterpret_cast<BYTE*>(buf.data()), 16);
    EXPECT_EQ(buf, std::string(16, 'p'));
}

TEST(AesCbcChain, IgnoresPartialBlocksAndContinuesBetweenCalls) {
    CAesCipher aes = Keyed("000102030405060708090a0b0c0d0e0f");
    std::string buf(33, 'a');
    aes.EncryptCBC(Data(buf), reinterpret_cast<BYTE*>(buf.data()), buf.size());
    EXPECT_EQ(buf, std::string(33, 'a'));
    // Two calls of one block each chain like one call of two blocks.
    std::string whole(32, 'x'), split(32, 'x');
    aes.ResetChain();
    aes.EncryptCBC(Data(whole), reinterpret_cast<BYTE*>(whole.data()), 32);
    aes.ResetChain();
    aes.EncryptCBC(Data(split), reinterpret_cast<BYTE*>(split.data()), 16);
    aes.EncryptCBC(Data(split) + 16, reinterpret_cast<BYTE*>(split.data()) + 16, 16);
    EXPECT_EQ(whole, split);
}

TEST(AesCbcChain, HardwareAndPortableAgree) {
    if (!CAesCipher::HardwareAvailable()) GTEST_SKIP() << "no AES instructions";
    std::mt19937 gen(7);
    for (int keyLength : {16, 24, 32}) {
        std::string key(static_cast<std::size_t>(keyLength), '\0'), data(16 * 37, '\0');
        for (char& c : key) c = static_cast<char>(gen());
        for (char& c : data) c = static_cast<char>(gen());
        std::string results[2];
        std::string decrypted[2];
        for (int hw = 0; hw < 2; ++hw) {
            HardwareSwitch allowed(hw == 1);
            CAesCipher aes;
            ASSERT_TRUE(aes.MakeKey(Data(key), key.size()));
            EXPECT_EQ(aes.UsesHardware(), hw == 1);
            results[hw] = data;
            aes.ResetChain();
            aes.EncryptCBC(Data(data), reinterpret_cast<BYTE*>(results[hw].data()), data.size());
            decrypted[hw] = results[hw];
            aes.ResetChain();
            aes.DecryptCBC(Data(results[hw]), reinterpret_cast<BYTE*>(decrypted[hw].data()), data.size());
        }
        EXPECT_EQ(results[0], results[1]) << keyLength;
        EXPECT_EQ(decrypted[0], data) << keyLength;
        EXPECT_EQ(decrypted[1], data) << keyLength;
    }
}

}  // namespace
}  // namespace vutil
