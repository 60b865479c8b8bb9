#pragma once
// CAesCipher: the AES block cipher (16-byte blocks; 16, 24 or 32-byte keys with 10, 12
// or 14 rounds) and its CBC chaining, as CCrypto uses it.
//
// Portable C++ with lookup tables built at compile time. On x86-64 processors with the
// AES instructions a hardware path is taken instead; both give the same bytes.

#include <cstddef>
#include <cstdint>

#include "vutil/framework/types.h"

namespace vutil {

class CAesCipher {
public:
    static constexpr int kBlockSize = 16;
    static constexpr int kMaxRounds = 14;

    CAesCipher() = default;

    // Expands the key for both directions and clears the chaining blocks. Keys of any
    // length but 16, 24 or 32 bytes (or none) are refused and change nothing.
    bool MakeKey(const BYTE* key, std::size_t length);

    bool IsKeyReady() const noexcept { return m_bKeyReady; }
    int GetKeyLength() const noexcept { return m_nKeyLength; }
    int GetBlockSize() const noexcept { return m_nBlockSize; }
    int GetRounds() const noexcept { return m_nRounds; }

    // Single blocks, no chaining. Nothing happens before a key is made.
    void EncryptBlock(const BYTE in[16], BYTE out[16]) const;
    void DecryptBlock(const BYTE in[16], BYTE out[16]) const;

    // Restarts the chain from the initial block (all zeros).
    void ResetChain() noexcept;
    // CBC over n bytes, continuing the current chain. in and out may be the same
    // buffer. Does nothing without a key or when n is 0 or not a multiple of 16.
    void EncryptCBC(const BYTE* in, BYTE* out, std::size_t n);
    void DecryptCBC(const BYTE* in, BYTE* out, std::size_t n);

    // Whether the processor's AES instructions are in use; tests switch them off to
    // compare both paths.
    static bool HardwareAvailable() noexcept;
    static void SetHardwareAllowed(bool allowed) noexcept;
    bool UsesHardware() const noexcept;

private:
    void PortableEncrypt(const BYTE in[16], BYTE out[16]) const;
    void PortableDecrypt(const BYTE in[16], BYTE out[16]) const;

    bool m_bKeyReady = false;
    std::uint32_t m_encKeys[4 * (kMaxRounds + 1)] = {};
    std::uint32_t m_decKeys[4 * (kMaxRounds + 1)] = {};
    int m_nKeyLength = 0;
    int m_nBlockSize = 0;
    int m_nRounds = 0;
    BYTE m_chainInit[kBlockSize] = {};
    BYTE m_chain[kBlockSize] = {};
    // The round keys again as bytes, in the order the AES instructions take them.
    alignas(16) BYTE m_hwEnc[kMaxRounds + 1][kBlockSize] = {};
    alignas(16) BYTE m_hwDec[kMaxRounds + 1][kBlockSize] = {};
};

}  // namespace vutil
