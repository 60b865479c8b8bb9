#include "vutil/persist/serialize_data.h"

#include "vutil/persist/crypto.h"

namespace vutil {

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
    v.reserve(std::min(n, kMaxReserve));
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
