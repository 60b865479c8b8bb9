#pragma once
// CPerson: a contact with 18 text fields and an ID. The fields are stored encrypted.

#include "vutil/framework/cstring.h"
#include "vutil/framework/types.h"

namespace vutil {

class CArchive;

class CPerson {
public:
    CPerson() = default;
    // Copies all fields; the new object's ID is 0.
    CPerson(const CPerson& other);
    virtual ~CPerson() = default;
    // Copies all fields; the target's ID becomes 0.
    virtual CPerson& operator=(const CPerson& other);
    // First and last names equal ignoring case, and middle initials too when both have one.
    virtual bool operator==(const CPerson& other) const;
    virtual void Serialize(CArchive& ar);
    // Whether a lower-cased copy of any field contains text (callers pass lower case).
    virtual bool Find(const CString& text) const;
    // Fills each empty field from other; the ID stays.
    virtual void UpdateMissingData(const CPerson& other);

    // "Smith, John Q" (last first) or "John Q Smith".
    CString FormName(bool bLastFirst) const;
    // The non-empty phones as "number (h), number (w), number (c), number (f)".
    CString GetPhoneNumbers() const;

    int GetUniqueID() const noexcept { return m_nUniqueID; }
    void SetUniqueID(int id) noexcept { m_nUniqueID = id; }

    const CString& GetFirstName() const noexcept { return m_fields[FirstName]; }
    const CString& GetMI() const noexcept { return m_fields[MI]; }
    const CString& GetLastName() const noexcept { return m_fields[LastName]; }
    const CString& GetStreet() const noexcept { return m_fields[Street]; }
    const CString& GetCity() const noexcept { return m_fields[City]; }
    const CString& GetState() const noexcept { return m_fields[State]; }
    const CString& GetZip() const noexcept { return m_fields[Zip]; }
    const CString& GetCountry() const noexcept { return m_fields[Country]; }
    const CString& GetHomePhone() const noexcept { return m_fields[HomePhone]; }
    const CString& GetWorkPhone() const noexcept { return m_fields[WorkPhone]; }
    const CString& GetCellPhone() const noexcept { return m_fields[CellPhone]; }
    const CString& GetFax() const noexcept { return m_fields[Fax]; }
    const CString& GetEMail() const noexcept { return m_fields[EMail]; }
    const CString& GetWebSite() const noexcept { return m_fields[WebSite]; }
    const CString& GetFacebook() const noexcept { return m_fields[Facebook]; }
    const CString& GetTwitter() const noexcept { return m_fields[Twitter]; }
    const CString& GetCompany() const noexcept { return m_fields[Company]; }
    const CString& GetNotes() const noexcept { return m_fields[Notes]; }

    void SetFirstName(const CString& s) { m_fields[FirstName] = s; }
    void SetMI(const CString& s) { m_fields[MI] = s; }
    void SetLastName(const CString& s) { m_fields[LastName] = s; }
    void SetStreet(const CString& s) { m_fields[Street] = s; }
    void SetCity(const CString& s) { m_fields[City] = s; }
    void SetState(const CString& s) { m_fields[State] = s; }
    void SetZip(const CString& s) { m_fields[Zip] = s; }
    void SetCountry(const CString& s) { m_fields[Country] = s; }
    void SetHomePhone(const CString& s) { m_fields[HomePhone] = s; }
    void SetWorkPhone(const CString& s) { m_fields[WorkPhone] = s; }
    void SetCellPhone(const CString& s) { m_fields[CellPhone] = s; }
    void SetFax(const CString& s) { m_fields[Fax] = s; }
    void SetEMail(const CString& s) { m_fields[EMail] = s; }
    void SetWebSite(const CString& s) { m_fields[WebSite] = s; }
    void SetFacebook(const CString& s) { m_fields[Facebook] = s; }
    void SetTwitter(const CString& s) { m_fields[Twitter] = s; }
    void SetCompany(const CString& s) { m_fields[Company] = s; }
    void SetNotes(const CString& s) { m_fields[Notes] = s; }

    // The phone text of an old record's numeric phone (exchange, line, extension,
    // area and country codes); empty when the exchange is not positive.
    static CString FormatPhone(int country, int area, int exchange, int line, int extension);

private:
    // Field positions; also the order of the newest record layout.
    enum FieldIndex {
        FirstName, MI, LastName, Street, City, State, Zip, Country,
        HomePhone, WorkPhone, CellPhone, Fax, EMail, WebSite, Facebook, Twitter, Company, Notes,
        FieldCount
    };

    void LoadFields(CArchive& ar, WORD version);
    static void ReadPhoneRecord(CArchive& ar, CString& phone);

    int m_nUniqueID = 0;
    CString m_fields[FieldCount];
};

}  // namespace vutil
