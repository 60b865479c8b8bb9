#include "vutil/persist/aes.h"

#include <array>
#include <atomic>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VUTIL_AES_HW 1
#include <emmintrin.h>
#include <wmmintrin.h>
#endif

namespace vutil {

namespace {

using Table = std::array<std::uint32_t, 256>;

constexpr BYTE XTime(BYTE b) { return static_cast<BYTE>((b << 1) ^ ((b & 0x80) ? 0x1B : 0)); }

constexpr BYTE Mul(BYTE a, BYTE b) {
    BYTE r = 0;
    while (b) {
        if (b & 1) r ^= a;
        a = XTime(a);
        b >>= 1;
    }
    return r;
}

// The S-box from its definition: multiplicative inverse in GF(2^8), then the affine map.
constexpr std::array<BYTE, 256> MakeSBox() {
    // Walk the powers of the generator 3 and, in step, of its inverse: p = 3^i and
    // q = 3^-i, so q is the multiplicative inverse of p. 255 steps, cheap enough for
    // every compiler's constant evaluation.
    std::array<BYTE, 256> s{};
    BYTE p = 1, q = 1;
    do {
        p = static_cast<BYTE>(p ^ (p << 1) ^ ((p & 0x80) ? 0x1B : 0));
        q = static_cast<BYTE>(q ^ (q << 1));
        q = static_cast<BYTE>(q ^ (q << 2));
        q = static_cast<BYTE>(q ^ (q << 4));
        if (q & 0x80) q = static_cast<BYTE>(q ^ 0x09);
        BYTE r = q;
        for (int i = 1; i < 5; ++i) r = static_cast<BYTE>(r ^ ((q << i) | (q >> (8 - i))));
        s[p] = static_cast<BYTE>(r ^ 0x63);
    } while (p != 1);
    s[0] = 0x63;  // zero has no inverse
    return s;
}

constexpr std::array<BYTE, 256> kSBox = MakeSBox();

constexpr std::array<BYTE, 256> MakeInvSBox() {
    std::array<BYTE, 256> s{};
    for (int x = 0; x < 256; ++x) s[kSBox[static_cast<std::size_t>(x)]] = static_cast<BYTE>(x);
    return s;
}

constexpr std::array<BYTE, 256> kInvSBox = MakeInvSBox();

constexpr std::uint32_t Word(BYTE a, BYTE b, BYTE c, BYTE d) {
    return (std::uint32_t{a} << 24) | (std::uint32_t{b} << 16) | (std::uint32_t{c} << 8) | d;
}

constexpr std::uint32_t RotR(std::uint32_t w, int n) { return (w >> n) | (w << (32 - n)); }

// Round tables: one column of MixColumns (or InvMixColumns) applied to S(x), rotated
// for each of the four input rows.
constexpr Table MakeTable(bool inverse, int rot) {
    Table t{};
    for (int x = 0; x < 256; ++x) {
        std::uint32_t w;
        if (!inverse) {
            BYTE s = kSBox[static_cast<std::size_t>(x)];
            w = Word(Mul(s, 2), s, s, Mul(s, 3));
        } else {
            BYTE s = kInvSBox[static_cast<std::size_t>(x)];
            w = Word(Mul(s, 14), Mul(s, 9), Mul(s, 13), Mul(s, 11));
        }
        t[static_cast<std::size_t>(x)] = rot ? RotR(w, rot) : w;
    }
    return t;
}

constexpr Table kTe0 = MakeTable(false, 0), kTe1 = MakeTable(false, 8), kTe2 = MakeTable(false, 16),
                kTe3 = MakeTable(false, 24);
constexpr Table kTd0 = MakeTable(true, 0), kTd1 = MakeTable(true, 8), kTd2 = MakeTable(true, 16),
                kTd3 = MakeTable(true, 24);

inline std::uint32_t Load32(const BYTE* p) { return Word(p[0], p[1], p[2], p[3]); }
inline void Store32(BYTE* p, std::uint32_t w) {
    p[0] = static_cast<BYTE>(w >> 24);
    p[1] = static_cast<BYTE>(w >> 16);
    p[2] = static_cast<BYTE>(w >> 8);
    p[3] = static_cast<BYTE>(w);
}
inline std::size_t B(std::uint32_t w, int shift) { return (w >> shift) & 0xFF; }

std::uint32_t SubWord(std::uint32_t w) {
    return Word(kSBox[B(w, 24)], kSBox[B(w, 16)], kSBox[B(w, 8)], kSBox[B(w, 0)]);
}

std::atomic<bool> g_hardwareAllowed{true};

#ifdef VUTIL_AES_HW
bool CpuHasAes() {
    static const bool has = __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse2");
    return has;
}

__attribute__((target("aes,sse2"))) void HwEncryptCBC(const BYTE (*rk)[16], int rounds, BYTE* chain,
                                                       const BYTE* in, BYTE* out, std::size_t n) {
    __m128i keys[15];
    for (int i = 0; i <= rounds; ++i) keys[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(rk[i]));
    __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chain));
    for (std::size_t off = 0; off < n; off += 16) {
        __m128i x = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + off)), c);
        x = _mm_xor_si128(x, keys[0]);
        for (int r = 1; r < rounds; ++r) x = _mm_aesenc_si128(x, keys[r]);
        c = _mm_aesenclast_si128(x, keys[rounds]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + off), c);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(chain), c);
}

// Decryption has no chain dependency between blocks, so four run side by side.
__attribute__((target("aes,sse2"))) void HwDecryptCBC(const BYTE (*rk)[16], int rounds, BYTE* chain,
                                                       const BYTE* in, BYTE* out, std::size_t n) {
    __m128i keys[15];
    for (int i = 0; i <= rounds; ++i) keys[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(rk[i]));
    __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chain));
    std::size_t off = 0;
    for (; off + 64 <= n; off += 64) {
        __m128i in0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + off));
        __m128i in1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + off + 16));
        __m128i in2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + off + 32));
        __m128i in3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + off + 48));
        __m128i x0 = _mm_xor_si128(in0, keys[0]), x1 = _mm_xor_si128(in1, keys[0]);
        __m128i x2 = _mm_xor_si128(in2, keys[0]), x3 = _mm_xor_si128(in3, keys[0]);
        for (int r = 1; r < rounds; ++r) {
            x0 = _mm_aesdec_si128(x0, keys[r]);
            x1 = _mm_aesdec_si128(x1, keys[r]);
            x2 = _mm_aesdec_si128(x2, keys[r]);
            x3 = _mm_aesdec_si128(x3, keys[r]);
        }
        x0 = _mm_xor_si128(_mm_aesdeclast_si128(x0, keys[rounds]), c);
        x1 = _mm_xor_si128(_mm_aesdeclast_si128(x1, keys[rounds]), in0);
        x2 = _mm_xor_si128(_mm_aesdeclast_si128(x2, keys[rounds]), in1);
        x3 = _mm_xor_si128(_mm_aesdeclast_si128(x3, keys[rounds]), in2);
        c = in3;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + off), x0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + off + 16), x1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + off + 32), x2);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + off + 48), x3);
    }
    for (; off < n; off += 16) {
        __m128i cin = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + off));
        __m128i x = _mm_xor_si128(cin, keys[0]);
        for (int r = 1; r < rounds; ++r) x = _mm_aesdec_si128(x, keys[r]);
        x = _mm_xor_si128(_mm_aesdeclast_si128(x, keys[rounds]), c);
        c = cin;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + off), x);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(chain), c);
}
#else
bool CpuHasAes() { return false; }
#endif

}  // namespace

bool CAesCipher::HardwareAvailable() noexcept { return CpuHasAes(); }

void CAesCipher::SetHardwareAllowed(bool allowed) noexcept { g_hardwareAllowed.store(allowed); }

bool CAesCipher::UsesHardware() const noexcept { return m_bKeyReady && g_hardwareAllowed.load() && CpuHasAes(); }

bool CAesCipher::MakeKey(const BYTE* key, std::size_t length) {
    if (!key || (length != 16 && length != 24 && length != 32)) return false;
    const int nk = static_cast<int>(length / 4);
    const int rounds = nk + 6;
    const int total = 4 * (rounds + 1);

    std::uint32_t* w = m_encKeys;
    for (int i = 0; i < nk; ++i) w[i] = Load32(key + 4 * i);
    BYTE rcon = 1;
    for (int i = nk; i < total; ++i) {
        std::uint32_t t = w[i - 1];
        if (i % nk == 0) {
            t = SubWord((t << 8) | (t >> 24)) ^ (std::uint32_t{rcon} << 24);
            rcon = XTime(rcon);
        } else if (nk > 6 && i % nk == 4) {
            t = SubWord(t);
        }
        w[i] = w[i - nk] ^ t;
    }

    // Equivalent inverse cipher: round keys in reverse, InvMixColumns on the inner ones.
    for (int r = 0; r <= rounds; ++r) {
        for (int c = 0; c < 4; ++c) {
            std::uint32_t k = w[4 * (rounds - r) + c];
            if (r > 0 && r < rounds) {
                k = kTd0[kSBox[B(k, 24)]] ^ kTd1[kSBox[B(k, 16)]] ^ kTd2[kSBox[B(k, 8)]] ^ kTd3[kSBox[B(k, 0)]];
            }
            m_decKeys[4 * r + c] = k;
        }
    }

    for (int r = 0; r <= rounds; ++r) {
        for (int c = 0; c < 4; ++c) {
            Store32(m_hwEnc[r] + 4 * c, w[4 * r + c]);
            Store32(m_hwDec[r] + 4 * c, m_decKeys[4 * r + c]);
        }
    }

    m_nKeyLength = static_cast<int>(length);
    m_nBlockSize = kBlockSize;
    m_nRounds = rounds;
    std::memset(m_chainInit, 0, sizeof m_chainInit);
    std::memset(m_chain, 0, sizeof m_chain);
    m_bKeyReady = true;
    return true;
}

void CAesCipher::PortableEncrypt(const BYTE in[16], BYTE out[16]) const {
    const std::uint32_t* rk = m_encKeys;
    std::uint32_t s0 = Load32(in) ^ rk[0], s1 = Load32(in + 4) ^ rk[1];
    std::uint32_t s2 = Load32(in + 8) ^ rk[2], s3 = Load32(in + 12) ^ rk[3];
    for (int r = 1; r < m_nRounds; ++r) {
        rk += 4;
        std::uint32_t t0 = kTe0[B(s0, 24)] ^ kTe1[B(s1, 16)] ^ kTe2[B(s2, 8)] ^ kTe3[B(s3, 0)] ^ rk[0];
        std::uint32_t t1 = kTe0[B(s1, 24)] ^ kTe1[B(s2, 16)] ^ kTe2[B(s3, 8)] ^ kTe3[B(s0, 0)] ^ rk[1];
        std::uint32_t t2 = kTe0[B(s2, 24)] ^ kTe1[B(s3, 16)] ^ kTe2[B(s0, 8)] ^ kTe3[B(s1, 0)] ^ rk[2];
        std::uint32_t t3 = kTe0[B(s3, 24)] ^ kTe1[B(s0, 16)] ^ kTe2[B(s1, 8)] ^ kTe3[B(s2, 0)] ^ rk[3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk += 4;
    const auto& S = kSBox;
    Store32(out, Word(S[B(s0, 24)], S[B(s1, 16)], S[B(s2, 8)], S[B(s3, 0)]) ^ rk[0]);
    Store32(out + 4, Word(S[B(s1, 24)], S[B(s2, 16)], S[B(s3, 8)], S[B(s0, 0)]) ^ rk[1]);
    Store32(out + 8, Word(S[B(s2, 24)], S[B(s3, 16)], S[B(s0, 8)], S[B(s1, 0)]) ^ rk[2]);
    Store32(out + 12, Word(S[B(s3, 24)], S[B(s0, 16)], S[B(s1, 8)], S[B(s2, 0)]) ^ rk[3]);
}

void CAesCipher::PortableDecrypt(const BYTE in[16], BYTE out[16]) const {
    const std::uint32_t* rk = m_decKeys;
    std::uint32_t s0 = Load32(in) ^ rk[0], s1 = Load32(in + 4) ^ rk[1];
    std::uint32_t s2 = Load32(in + 8) ^ rk[2], s3 = Load32(in + 12) ^ rk[3];
    for (int r = 1; r < m_nRounds; ++r) {
        rk += 4;
        std::uint32_t t0 = kTd0[B(s0, 24)] ^ kTd1[B(s3, 16)] ^ kTd2[B(s2, 8)] ^ kTd3[B(s1, 0)] ^ rk[0];
        std::uint32_t t1 = kTd0[B(s1, 24)] ^ kTd1[B(s0, 16)] ^ kTd2[B(s3, 8)] ^ kTd3[B(s2, 0)] ^ rk[1];
        std::uint32_t t2 = kTd0[B(s2, 24)] ^ kTd1[B(s1, 16)] ^ kTd2[B(s0, 8)] ^ kTd3[B(s3, 0)] ^ rk[2];
        std::uint32_t t3 = kTd0[B(s3, 24)] ^ kTd1[B(s2, 16)] ^ kTd2[B(s1, 8)] ^ kTd3[B(s0, 0)] ^ rk[3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk += 4;
    const auto& S = kInvSBox;
    Store32(out, Word(S[B(s0, 24)], S[B(s3, 16)], S[B(s2, 8)], S[B(s1, 0)]) ^ rk[0]);
    Store32(out + 4, Word(S[B(s1, 24)], S[B(s0, 16)], S[B(s3, 8)], S[B(s2, 0)]) ^ rk[1]);
    Store32(out + 8, Word(S[B(s2, 24)], S[B(s1, 16)], S[B(s0, 8)], S[B(s3, 0)]) ^ rk[2]);
    Store32(out + 12, Word(S[B(s3, 24)], S[B(s2, 16)], S[B(s1, 8)], S[B(s0, 0)]) ^ rk[3]);
}

void CAesCipher::EncryptBlock(const BYTE in[16], BYTE out[16]) const {
    if (m_bKeyReady) PortableEncrypt(in, out);
}

void CAesCipher::DecryptBlock(const BYTE in[16], BYTE out[16]) const {
    if (m_bKeyReady) PortableDecrypt(in, out);
}

void CAesCipher::ResetChain() noexcept { std::memcpy(m_chain, m_chainInit, sizeof m_chain); }

void CAesCipher::EncryptCBC(const BYTE* in, BYTE* out, std::size_t n) {
    if (!m_bKeyReady || m_nBlockSize == 0 || n == 0 || n % static_cast<std::size_t>(m_nBlockSize) != 0) return;
#ifdef VUTIL_AES_HW
    if (UsesHardware()) {
        HwEncryptCBC(m_hwEnc, m_nRounds, m_chain, in, out, n);
        return;
    }
#endif
    for (std::size_t off = 0; off < n; off += kBlockSize) {
        BYTE x[kBlockSize];
        for (int i = 0; i < kBlockSize; ++i) x[i] = static_cast<BYTE>(in[off + static_cast<std::size_t>(i)] ^ m_chain[i]);
        PortableEncrypt(x, m_chain);
        std::memcpy(out + off, m_chain, kBlockSize);
    }
}

void CAesCipher::DecryptCBC(const BYTE* in, BYTE* out, std::size_t n) {
    if (!m_bKeyReady || m_nBlockSize == 0 || n == 0 || n % static_cast<std::size_t>(m_nBlockSize) != 0) return;
#ifdef VUTIL_AES_HW
    if (UsesHardware()) {
        HwDecryptCBC(m_hwDec, m_nRounds, m_chain, in, out, n);
        return;
    }
#endif
    for (std::size_t off = 0; off < n; off += kBlockSize) {
        BYTE cin[kBlockSize];
        BYTE x[kBlockSize];
        std::memcpy(cin, in + off, kBlockSize);  // in and out may overlap
        PortableDecrypt(cin, x);
        for (int i = 0; i < kBlockSize; ++i) out[off + static_cast<std::size_t>(i)] = static_cast<BYTE>(x[i] ^ m_chain[i]);
        std::memcpy(m_chain, cin, kBlockSize);
    }
}

}  // namespace vutil
