#include "vutil/persist/address.h"

#include "vutil/framework/archive.h"
#include "vutil/framework/exceptions.h"
#include "vutil/persist/crypto.h"
#include "vutil/persist/serialize_data.h"

namespace vutil {

namespace {
constexpr WORD kAddressVersion = 2;
// The fields a version-1 record carries, in the order it carries them.
constexpr Address::Field kVersion1Fields[] = {
    Address::ADDRESS_STREET, Address::ADDRESS_STREET2, Address::ADDRESS_CITY,  Address::ADDRESS_STATE,
    Address::ADDRESS_ZIP,    Address::ADDRESS_COUNTRY, Address::ADDRESS_PHONE, Address::ADDRESS_FAX,
    Address::ADDRESS_EMAIL,  Address::ADDRESS_NOTES};
}  // namespace

Address::Address() : m_data(ADDRESS_FIELD_COUNT) {}

Address::Address(const Address& other) = default;

Address& Address::operator=(const Address& other) {
    if (this != &other) {
        m_bIsBusiness = other.m_bIsBusiness;
        m_data = other.m_data;
    }
    m_nUniqueID = 0;
    return *this;
}

bool Address::operator==(const Address& other) const {
    return m_bIsBusiness == other.m_bIsBusiness && m_data.front().CompareNoCase(other.m_data.front()) == 0;
}

CString Address::GetData(Field f) const { return m_data.at(static_cast<std::size_t>(f)); }

bool Address::ValidField(Field f) noexcept { return f >= 0 && f < ADDRESS_FIELD_COUNT; }

void Address::SetData(Field f, const CString& s) {
    if (ValidField(f)) m_data[static_cast<std::size_t>(f)] = s;
}

bool Address::ImportData(Field f, const CString& s) {
    if (s.IsEmpty() || !ValidField(f)) return false;
    CString& field = m_data[static_cast<std::size_t>(f)];
    if (!field.IsEmpty()) return false;
    field = s;
    return true;
}

bool Address::Have(const CString& s) const {
    if (s.IsEmpty()) return false;
    for (const CString& field : m_data) {
        if (field.CompareNoCase(s) == 0) return true;
    }
    return false;
}

void Address::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << kAddressVersion << m_nUniqueID;
        SerializeData::Serialize(ar, m_bIsBusiness);
        SerializeData::Serialize(ar, m_data);
        return;
    }
    WORD version = 0;
    ar >> version;
    if (version == 2) {
        ar >> m_nUniqueID;
        SerializeData::Serialize(ar, m_bIsBusiness);
        // The field list has the vector layout, but its count is fixed by the record:
        // any other count is a damaged file, refused before a field is read.
        unsigned int count = 0;
        ar >> count;
        if (count != ADDRESS_FIELD_COUNT) throw CArchiveException(CArchiveException::badIndex);
        for (CString& field : m_data) ar >> field;
    } else if (version == 1) {
        for (Field f : kVersion1Fields) CCrypto::DeserializeEncrypted(m_data[static_cast<std::size_t>(f)], ar);
        ar >> m_nUniqueID;
    }
}

}  // namespace vutil
