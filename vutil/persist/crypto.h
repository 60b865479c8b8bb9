#pragma once
// CCrypto: the process-wide AES key that encrypts sensitive strings in archives and
// settings, and the text forms of the resulting bytes.
//
// The key is a fixed pass phrase built into the library, used as raw AES key bytes.
// Every Encrypt and Decrypt call restarts CBC from the zero IV, so equal texts give
// equal bytes. Not thread-safe: callers serialize all use (the chain is shared state).

#include <memory>

#include "vutil/framework/collections.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class CArchive;
class CAesCipher;

class CCrypto {
public:
    static CCrypto* m_pInstance;

    // Created on first use; null when it cannot be created.
    static CCrypto* GetInstance();
    static void DeleteInstance();

    // Pads with 0xA4 to a multiple of 16 and encrypts; false for an empty text.
    bool Encrypt(const CString& text, CByteArray& out);
    // The plaintext up to its first NUL, trailing 0xA4 bytes removed. A length that is
    // not a multiple of 16 decrypts to the empty text.
    bool Decrypt(const CByteArray& data, CString& text);
    // Through the singleton; without one `text` is left as it is.
    static bool Decrypt(const unsigned char* data, int length, CString& text);

    // The encrypted string blob: a 16-bit flag, then either the counted ciphertext
    // (flag 1) or the plain CString (flag 0).
    static void SerializeEncrypted(const CString& text, CArchive& ar);
    static void DeserializeEncrypted(CString& text, CArchive& ar);

    // Decimal byte values separated by ", ".
    static void ConvertByteArrayToString(const CByteArray& bytes, CString& text);
    static void ConvertStringToByteArray(const CString& text, CByteArray& bytes);

protected:
    CCrypto();
    virtual ~CCrypto();
    CCrypto(const CCrypto&) = delete;
    CCrypto& operator=(const CCrypto&) = delete;

    // False only when there is no cipher object; an unusable key length leaves the
    // cipher without a key.
    bool DeriveKey(const CString& passPhrase);
    static int GetNextEvenBlockSize(int n);
    // The built-in pass phrase, assembled from its pieces.
    static CString JoinPassPhrase();

    std::unique_ptr<CAesCipher> m_pCipher;
};

}  // namespace vutil
