#include "vutil/persist/person.h"

#include <span>

#include "vutil/framework/archive.h"
#include "vutil/persist/crypto.h"
#include "vutil/text/number_text_conv.h"

namespace vutil {

namespace {
constexpr WORD kPersonVersion = 9;
}  // namespace

CPerson::CPerson(const CPerson& other) {
    for (int i = 0; i < FieldCount; ++i) m_fields[i] = other.m_fields[i];
}

CPerson& CPerson::operator=(const CPerson& other) {
    if (this != &other) {
        for (int i = 0; i < FieldCount; ++i) m_fields[i] = other.m_fields[i];
    }
    m_nUniqueID = 0;
    return *this;
}

bool CPerson::operator==(const CPerson& other) const {
    if (m_fields[FirstName].CompareNoCase(other.m_fields[FirstName]) != 0) return false;
    if (m_fields[LastName].CompareNoCase(other.m_fields[LastName]) != 0) return false;
    if (!m_fields[MI].IsEmpty() && !other.m_fields[MI].IsEmpty()) {
        return m_fields[MI].CompareNoCase(other.m_fields[MI]) == 0;
    }
    return true;
}

bool CPerson::Find(const CString& text) const {
    if (text.IsEmpty()) return false;
    for (const CString& field : m_fields) {
        CString lower(field);
        if (lower.MakeLower().Find(text) >= 0) return true;
    }
    return false;
}

void CPerson::UpdateMissingData(const CPerson& other) {
    for (int i = 0; i < FieldCount; ++i) {
        if (m_fields[i].IsEmpty() && !other.m_fields[i].IsEmpty()) m_fields[i] = other.m_fields[i];
    }
}

CString CPerson::FormName(bool bLastFirst) const {
    const CString& first = m_fields[FirstName];
    const CString& mi = m_fields[MI];
    const CString& last = m_fields[LastName];
    CString name;
    auto append = [&name](const CString& part, const char* separator) {
        if (part.IsEmpty()) return;
        if (!name.IsEmpty()) name += separator;
        name += part;
    };
    if (bLastFirst) {
        name = last;
        append(first, ", ");
        append(mi, " ");
    } else {
        name = first;
        append(mi, " ");
        append(last, " ");
    }
    return name;
}

CString CPerson::GetPhoneNumbers() const {
    struct Phone {
        FieldIndex field;
        const char* suffix;
    };
    static constexpr Phone kPhones[] = {
        {HomePhone, " (h)"}, {WorkPhone, " (w)"}, {CellPhone, " (c)"}, {Fax, " (f)"}};
    CString out;
    for (const Phone& p : kPhones) {
        const CString& number = m_fields[p.field];
        if (number.IsEmpty()) continue;
        if (!out.IsEmpty()) out += ", ";
        out += number;
        out += p.suffix;
    }
    return out;
}

CString CPerson::FormatPhone(int country, int area, int exchange, int line, int extension) {
    if (exchange <= 0) return CString();
    CString local = CNumberTextConv::NumberToString(exchange, false, 3, "0") + " " + CNumberTextConv::NumberToString(line, false, 4, "0");
    if (extension > 0) local += " ext. " + CNumberTextConv::NumberToString(extension, false, 0, "");
    if (area <= 0) return local;
    CString phone;
    if (country > 1) phone.Format("+%d %d %s", country, area, local);
    else phone.Format("1 (%d) %s", area, local);
    return phone;
}

void CPerson::ReadPhoneRecord(CArchive& ar, CString& phone) {
    WORD ignored = 0;
    int country = 0, area = 0, exchange = 0, line = 0, extension = 0;
    ar >> ignored >> country >> area >> exchange >> line >> extension;
    phone = FormatPhone(country, area, exchange, line, extension);
}

void CPerson::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << kPersonVersion;
        for (const CString& field : m_fields) CCrypto::SerializeEncrypted(field, ar);
        ar << m_nUniqueID;
        return;
    }
    WORD version = 0;
    ar >> version;
    LoadFields(ar, version);
    if (version >= 4) ar >> m_nUniqueID;
}

void CPerson::LoadFields(CArchive& ar, WORD version) {
    // Older layouts, field by field. kSkip is a string read and thrown away; kPhones
    // stands for the four numeric phone records of version 5.
    constexpr int kSkip = -1;
    constexpr int kPhones = -2;
    static constexpr int kVersion1[] = {FirstName, LastName,  Street,    City, State, Zip,
                                        HomePhone, WorkPhone, CellPhone, Fax,  EMail, Notes};
    static constexpr int kVersion2[] = {FirstName, MI,        LastName,  Street, City,  State,   Zip,     Country,
                                        HomePhone, WorkPhone, CellPhone, Fax,    EMail, WebSite, Company, Notes};
    static constexpr int kVersion5[] = {FirstName, MI,    LastName, Street,  City,   State, Zip,
                                        Country,   kPhones, EMail,  WebSite, Company, Notes};
    static constexpr int kVersion7[] = {FirstName, MI,        LastName,  Street, City,  State,   Zip,     Country, HomePhone,
                                        WorkPhone, CellPhone, Fax,       EMail,  WebSite, Company, kSkip, Notes};
    static constexpr int kVersion8[] = {FirstName, MI,        LastName, Street,  City,     State,   Zip,
                                        Country,   HomePhone, WorkPhone, CellPhone, Fax,   EMail,   WebSite,
                                        Facebook,  Twitter,   Company,  kSkip,   Notes};
    std::span<const int> layout;
    bool encrypted = true;
    switch (version) {
    case 0:
        return;
    case 1:
        encrypted = false;
        layout = kVersion1;
        break;
    case 2:
        encrypted = false;
        layout = kVersion2;
        break;
    case 3:
    case 4:
    case 6:
        // Same fields as version 2, encrypted.
        layout = kVersion2;
        break;
    case 5:
        layout = kVersion5;
        break;
    case 7:
        layout = kVersion7;
        break;
    case 8:
        layout = kVersion8;
        break;
    default:
        // The newest layout, also for versions newer than this code knows.
        for (CString& field : m_fields) CCrypto::DeserializeEncrypted(field, ar);
        return;
    }
    for (int step : layout) {
        if (step == kPhones) {
            for (FieldIndex phone : {HomePhone, WorkPhone, CellPhone, Fax}) ReadPhoneRecord(ar, m_fields[phone]);
        } else if (step == kSkip) {
            CString discarded;
            CCrypto::DeserializeEncrypted(discarded, ar);
        } else if (encrypted) {
            CCrypto::DeserializeEncrypted(m_fields[step], ar);
        } else {
            ar >> m_fields[step];
        }
    }
}

}  // namespace vutil
