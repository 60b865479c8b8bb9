#include "vutil/persist/serialize_data.h"

#include <climits>
#include <cstdint>

#include "vutil/framework/exceptions.h"

#include "vutil/persist/crypto.h"

namespace vutil {

namespace {
// Strings up to this size are read in one piece; longer ones arrive in growing chunks
// so a hostile length costs no more memory than the bytes really there.
constexpr std::uint64_t kDirectRead = 64 * 1024;
}  // namespace

void SerializeData::LoadItem(CArchive& ar, CString& v) {
    bool wide = false;
    const std::uint64_t n = ar.ReadStringLength(wide);
    // A CString's length is an int; a longer one is not data this library wrote.
    if (n > static_cast<std::uint64_t>(INT_MAX)) throw CArchiveException(CArchiveException::genericException);
    std::string& s = v.str();
    if (!wide && n <= kDirectRead) {
        s.resize(static_cast<std::size_t>(n));
        if (n) ar.ReadExact(s.data(), static_cast<std::size_t>(n));
        return;
    }
    const std::uint64_t bytes = wide ? n * 2 : n;
    std::string data;
    std::uint64_t done = 0;
    while (done < bytes) {
        const std::uint64_t chunk = std::min<std::uint64_t>(bytes - done, std::max<std::uint64_t>(kDirectRead, done));
        data.resize(static_cast<std::size_t>(done + chunk));
        ar.ReadExact(data.data() + done, static_cast<std::size_t>(chunk));
        done += chunk;
    }
    if (!wide) {
        s = std::move(data);
        return;
    }
    std::vector<std::uint16_t> units(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<std::uint16_t>(static_cast<BYTE>(data[2 * i]) | (static_cast<BYTE>(data[2 * i + 1]) << 8));
    }
    v = NarrowFromUtf16(units.data(), units.size());
}

void SerializeData::StoreItem(CArchive& ar, bool v) { ar << static_cast<WORD>(v ? 1 : 0); }

void SerializeData::LoadItem(CArchive& ar, bool& v) {
    WORD w = 0;
    ar >> w;
    v = w == 1;
}

void SerializeData::StoreItem(CArchive& ar, const CRect& v) { ar << v.left << v.top << v.right << v.bottom; }

void SerializeData::LoadItem(CArchive& ar, CRect& v) { ar >> v.left >> v.top >> v.right >> v.bottom; }

void SerializeData::Serialize(CArchive& ar, bool& value) {
    if (ar.IsStoring()) StoreItem(ar, value);
    else LoadItem(ar, value);
}

void SerializeData::Serialize(CArchive& ar, std::string& value) {
    if (ar.IsStoring()) Serializestring(ar, value);
    else Deserialize(ar, value);
}

void SerializeData::Serializestring(CArchive& ar, const std::string& value) { ar << CString(value.c_str()); }

void SerializeData::Deserialize(CArchive& ar, std::string& value) {
    CString text;
    ar >> text;
    value = text.GetString();
}

void SerializeData::Serialize(CArchive& ar, std::vector<bool>& v) {
    if (ar.IsStoring()) {
        StoreCount(ar, v.size());
        for (bool b : v) StoreItem(ar, b);
        return;
    }
    v.clear();
    const unsigned int n = LoadCount(ar);
    v.reserve(ReserveFor<bool>(n));
    for (unsigned int i = 0; i < n; ++i) {
        bool b = false;
        LoadItem(ar, b);
        v.push_back(b);
    }
}

void SerializeData::SerializeEncrypted(CArchive& ar, std::map<int, CString>& m) {
    if (ar.IsStoring()) {
        StoreCount(ar, m.size());
        for (const auto& [key, value] : m) {
            ar << key;
            CCrypto::SerializeEncrypted(value, ar);
        }
        return;
    }
    m.clear();
    const unsigned int n = LoadCount(ar);
    for (unsigned int i = 0; i < n; ++i) {
        int key = 0;
        CString value;
        ar >> key;
        CCrypto::DeserializeEncrypted(value, ar);
        m.emplace_hint(m.end(), key, std::move(value));
    }
}

}  // namespace vutil
