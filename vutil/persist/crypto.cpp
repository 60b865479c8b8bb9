#include "vutil/persist/crypto.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "vutil/core/app_logger.h"
#include "vutil/framework/archive.h"
#include "vutil/framework/exceptions.h"
#include "vutil/persist/aes.h"
#include "vutil/persist/persist_text.h"

namespace vutil {

CCrypto* CCrypto::m_pInstance = nullptr;

namespace {

constexpr BYTE kPad = 0xA4;

void Log(const char* line) {
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(line);
}

// The pass phrase in one-byte pieces, so the built library holds no
// readable run of it; the order table puts it together.
constexpr const char* kPiece0 = "k";
constexpr const char* kPiece1 = "R";
constexpr const char* kPiece2 = "#";
constexpr const char* kPiece3 = "v";
constexpr const char* kPiece4 = "9";
constexpr const char* kPiece5 = "!";
constexpr const char* kPiece6 = "m";
constexpr const char* kPiece7 = "Z";
constexpr const char* kPiece8 = "&";
constexpr const char* kPiece9 = "p";
constexpr const char* kPiece10 = "W";
constexpr const char* kPiece11 = "$";
constexpr const char* kPiece12 = "t";
constexpr const char* kPiece13 = "5";
constexpr const char* kPiece14 = "*";
constexpr const char* kPiece15 = "n";
constexpr const char* kPiece16 = "B";
constexpr const char* kPiece17 = "8";
constexpr const char* kPiece18 = "@";
constexpr const char* kPiece19 = "G";
constexpr const char* kPiece20 = "e";

constexpr const char* const kPhraseOrder[32] = {
    kPiece0, kPiece1,  kPiece2,  kPiece3,  kPiece4,  kPiece5,  kPiece0,  kPiece1,
    kPiece2, kPiece6,  kPiece7,  kPiece8,  kPiece9,  kPiece10, kPiece11, kPiece0,
    kPiece1, kPiece2,  kPiece12, kPiece13, kPiece14, kPiece15, kPiece16, kPiece17,
    kPiece18, kPiece19, kPiece20, kPiece5, kPiece3,  kPiece11, kPiece15, kPiece14};

// Reads a counted byte run without trusting the count: the buffer grows only as
// bytes arrive, so a hostile count ends in end-of-file, not a huge allocation.
void ReadCounted(CArchive& ar, std::size_t count, CByteArray& bytes) {
    constexpr std::size_t kFirstChunk = 64 * 1024;
    bytes.RemoveAll();
    // A byte array is int-indexed; no real blob comes near that, so treat it as data
    // that ran out.
    if (count > static_cast<std::size_t>(INT_MAX)) throw CArchiveException(CArchiveException::endOfFile);
    std::size_t done = 0;
    while (done < count) {
        std::size_t chunk = std::min(count - done, std::max(kFirstChunk, done));
        bytes.SetSize(static_cast<int>(done + chunk));
        ar.ReadExact(bytes.GetData() + done, chunk);
        done += chunk;
    }
}

}  // namespace

CCrypto::CCrypto() = default;
CCrypto::~CCrypto() = default;

CString CCrypto::JoinPassPhrase() {
    CString phrase;
    for (const char* piece : kPhraseOrder) phrase += piece;
    return phrase;
}

namespace {
// Guards creation and deletion only; callers still serialize use of the cipher.
std::mutex& InstanceLock() {
    static std::mutex* lock = new std::mutex;  // lives through unload
    return *lock;
}
}  // namespace

CCrypto* CCrypto::GetInstance() {
    std::lock_guard guard(InstanceLock());
    if (m_pInstance) return m_pInstance;
    m_pInstance = new (std::nothrow) CCrypto;
    if (!m_pInstance) return nullptr;
    m_pInstance->m_pCipher.reset(new (std::nothrow) CAesCipher);
    if (!m_pInstance->DeriveKey(JoinPassPhrase())) {
        delete m_pInstance;
        m_pInstance = nullptr;
        Log("{A54C0FA7-A651-4057-92CB-5146310EB566}");
    }
    return m_pInstance;
}

void CCrypto::DeleteInstance() {
    std::lock_guard guard(InstanceLock());
    delete m_pInstance;
    m_pInstance = nullptr;
}

bool CCrypto::DeriveKey(const CString& passPhrase) {
    if (!m_pCipher) return false;
    m_pCipher->MakeKey(reinterpret_cast<const BYTE*>(passPhrase.GetString()),
                       static_cast<std::size_t>(passPhrase.GetLength()));
    return true;
}

int CCrypto::GetNextEvenBlockSize(int n) {
    const int block = CAesCipher::kBlockSize;
    return n % block == 0 ? n : n + (block - n % block);
}

bool CCrypto::Encrypt(const CString& text, CByteArray& out) {
    out.RemoveAll();
    if (!m_pCipher || text.IsEmpty()) return false;
    const int length = GetNextEvenBlockSize(text.GetLength());
    out.SetSize(length);
    BYTE* buf = out.GetData();
    std::memset(buf, 0, static_cast<std::size_t>(length));
    // The padded working copy is read as a NUL-terminated string: a text with an
    // embedded NUL leaves every byte after it zero, the padding included.
    const std::size_t full = static_cast<std::size_t>(text.GetLength());
    const void* nul = std::memchr(text.GetString(), '\0', full);
    const std::size_t kept = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text.GetString()) : full;
    std::memcpy(buf, text.GetString(), kept);
    if (kept == full) std::memset(buf + full, kPad, static_cast<std::size_t>(length) - full);
    m_pCipher->ResetChain();
    m_pCipher->EncryptCBC(buf, buf, static_cast<std::size_t>(length));
    return true;
}

bool CCrypto::Decrypt(const CByteArray& data, CString& text) {
    text.Empty();
    if (!m_pCipher || data.IsEmpty()) return false;
    const std::size_t n = static_cast<std::size_t>(data.GetSize());
    std::vector<BYTE> in;
    try {
        in.assign(data.GetData(), data.GetData() + n);
    } catch (const std::bad_alloc&) {
        Log("{A1E73FAF-F317-4216-9803-A9809A418468}");
        return false;
    }
    std::vector<BYTE> plain;
    try {
        plain.assign(n + 1, 0);
    } catch (const std::bad_alloc&) {
        Log("{0DC5A914-853C-436F-AF7A-DA0C7853557F}");
        return false;
    }
    m_pCipher->ResetChain();
    m_pCipher->DecryptCBC(in.data(), plain.data(), n);
    std::size_t end = std::strlen(reinterpret_cast<const char*>(plain.data()));
    while (end > 0 && plain[end - 1] == kPad) --end;
    text = CString(reinterpret_cast<const char*>(plain.data()), static_cast<int>(end));
    return true;
}

bool CCrypto::Decrypt(const unsigned char* data, int length, CString& text) {
    CByteArray bytes;
    if (data && length > 0) {
        bytes.SetSize(length);
        std::memcpy(bytes.GetData(), data, static_cast<std::size_t>(length));
    }
    CCrypto* crypto = GetInstance();
    return crypto && crypto->Decrypt(bytes, text);
}

void CCrypto::SerializeEncrypted(const CString& text, CArchive& ar) {
    CByteArray bytes;
    WORD flag = 0;
    if (!text.IsEmpty()) {
        if (CCrypto* crypto = GetInstance()) flag = crypto->Encrypt(text, bytes) ? 1 : 0;
    }
    ar << flag;
    if (flag != 1) {
        ar << text;
        return;
    }
    const auto count = static_cast<std::uint32_t>(bytes.GetSize());
    if (count < 0xFFFF) {
        ar << static_cast<WORD>(count);
    } else {
        ar << static_cast<WORD>(0xFFFF) << count;
    }
    ar.Write(bytes.GetData(), count);
}

void CCrypto::DeserializeEncrypted(CString& text, CArchive& ar) {
    WORD flag = 0;
    ar >> flag;
    if (flag != 1) {
        ar >> text;
        return;
    }
    WORD shortCount = 0;
    ar >> shortCount;
    std::uint32_t count = shortCount;
    if (shortCount == 0xFFFF) ar >> count;
    CByteArray bytes;
    ReadCounted(ar, count, bytes);
    if (CCrypto* crypto = GetInstance()) crypto->Decrypt(bytes, text);
}

void CCrypto::ConvertByteArrayToString(const CByteArray& bytes, CString& text) {
    text = persist_text::BytesToDecimalText(bytes, ", ");
}

void CCrypto::ConvertStringToByteArray(const CString& text, CByteArray& bytes) {
    persist_text::DecimalTextToBytes(text, ", ", bytes);
}

}  // namespace vutil
