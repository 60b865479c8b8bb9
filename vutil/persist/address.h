#pragma once
// Address: a postal and contact address of 15 text fields, a business flag and an ID.

#include <vector>

#include "vutil/framework/cstring.h"

namespace vutil {

class CArchive;

class Address {
public:
    // Field numbers are part of the archive layout: old records fill 1-9 and 14, and
    // equality looks at field 0 only.
    enum Field {
        ADDRESS_NAME = 0,
        ADDRESS_STREET = 1,
        ADDRESS_STREET2 = 2,
        ADDRESS_CITY = 3,
        ADDRESS_STATE = 4,
        ADDRESS_ZIP = 5,
        ADDRESS_COUNTRY = 6,
        ADDRESS_PHONE = 7,
        ADDRESS_FAX = 8,
        ADDRESS_EMAIL = 9,
        ADDRESS_WEBSITE = 10,
        ADDRESS_CELLPHONE = 11,
        ADDRESS_CONTACT = 12,
        ADDRESS_TITLE = 13,
        ADDRESS_NOTES = 14,
        ADDRESS_FIELD_COUNT = 15
    };

    Address();
    Address(const Address& other);
    // Copies the flag and the fields; the target's ID becomes 0.
    Address& operator=(const Address& other);

    // Same business flag and the same field 0, ignoring case.
    bool operator==(const Address& other) const;

    bool GetIsBusiness() const noexcept { return m_bIsBusiness; }
    void SetIsBusiness(bool b) noexcept { m_bIsBusiness = b; }
    int GetUniqueID() const noexcept { return m_nUniqueID; }
    void SetUniqueID(int id) noexcept { m_nUniqueID = id; }

    int GetDataFieldCount() const noexcept { return static_cast<int>(m_data.size()); }
    // Throws std::out_of_range for a field at or beyond the count.
    CString GetData(Field f) const;
    void SetData(Field f, const CString& s);
    // Fills an empty field only: false for empty s or a field that already holds text.
    bool ImportData(Field f, const CString& s);
    // Whether any field equals s, ignoring case; false for an empty s.
    bool Have(const CString& s) const;

    // A stored field list of any length but 15 ends in CArchiveException(badIndex).
    void Serialize(CArchive& ar);

private:
    static bool ValidField(Field f) noexcept;

    bool m_bIsBusiness = false;
    int m_nUniqueID = 0;
    std::vector<CString> m_data;  // always ADDRESS_FIELD_COUNT entries
};

}  // namespace vutil
