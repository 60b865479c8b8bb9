// Loads each record type from arbitrary bytes, then uses what was loaded: every
// accessor, the comparisons and copies, and a store and reload that must give the
// same record back. A record cut short or refused keeps a usable value too.

#include <cstdint>
#include <cstdlib>

#include "vutil/core/text_array.h"
#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"
#include "vutil/framework/archive.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"
#include "vutil/persist/address.h"
#include "vutil/persist/person.h"
#include "vutil/persist/version_number.h"

namespace {

using namespace vutil;

void Check(bool ok) {
    if (!ok) std::abort();
}

template <typename Record>
void LoadFrom(const std::uint8_t* data, std::size_t size, Record& r) {
    CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
    CArchive ar(&file, CArchive::load, 256);
    try {
        r.Serialize(ar);
    } catch (const CArchiveException&) {
    }
}

// Stores r and loads the bytes into back.
template <typename Record>
void Reload(Record& r, Record& back) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        r.Serialize(ar);
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    back.Serialize(ar);
}

// Encrypted text keeps what comes before a NUL and drops trailing pad bytes, so only
// other texts come back whole.
bool SurvivesEncryption(const CString& s) {
    return s.Find('\0') < 0 && (s.IsEmpty() || static_cast<BYTE>(s[s.GetLength() - 1]) != 0xA4);
}

void UseAddress(Address& a) {
    Check(a.GetDataFieldCount() == Address::ADDRESS_FIELD_COUNT);
    (void)a.GetIsBusiness();
    (void)a.GetUniqueID();
    Address back;
    Reload(a, back);
    Check(back.GetUniqueID() == a.GetUniqueID() && back.GetIsBusiness() == a.GetIsBusiness());
    for (int f = 0; f < a.GetDataFieldCount(); ++f) {
        const auto field = static_cast<Address::Field>(f);
        const CString text = a.GetData(field);
        Check(back.GetData(field) == text);
        Check(text.IsEmpty() || a.Have(text));
        Check(!a.ImportData(field, text));  // empty text, or a field that holds it
    }
    Address copy(a), assigned;
    assigned = a;
    Check(copy == a && assigned == a && assigned.GetUniqueID() == 0);
    copy.SetData(Address::ADDRESS_NOTES, "n");
    Check(copy.GetData(Address::ADDRESS_NOTES) == CString("n"));
}

void UsePerson(CPerson& p) {
    using G = const CString& (CPerson::*)() const noexcept;
    static constexpr G kGetters[] = {
        &CPerson::GetFirstName, &CPerson::GetMI,        &CPerson::GetLastName,  &CPerson::GetStreet,
        &CPerson::GetCity,      &CPerson::GetState,     &CPerson::GetZip,       &CPerson::GetCountry,
        &CPerson::GetHomePhone, &CPerson::GetWorkPhone, &CPerson::GetCellPhone, &CPerson::GetFax,
        &CPerson::GetEMail,     &CPerson::GetWebSite,   &CPerson::GetFacebook,  &CPerson::GetTwitter,
        &CPerson::GetCompany,   &CPerson::GetNotes};
    CPerson back;
    Reload(p, back);
    Check(back.GetUniqueID() == p.GetUniqueID());
    for (G get : kGetters) {
        const CString& text = (p.*get)();
        Check((back.*get)() == text || !SurvivesEncryption(text));
        CString lower(text);
        lower.MakeLower();
        Check(lower.IsEmpty() || p.Find(lower));
    }
    (void)p.FormName(true);
    (void)p.FormName(false);
    (void)p.GetPhoneNumbers();
    CPerson copy(p), empty;
    Check(copy == p && copy.GetUniqueID() == 0);
    empty.UpdateMissingData(p);
    Check(empty.GetNotes() == p.GetNotes());
}

void UseTextArray(TextArray& a) {
    TextArray back;
    Reload(a, back);
    Check(back == a);
    for (unsigned int i = 0; i < a.GetCount(); ++i) Check(a.GetAt(i) == back.GetAt(i));
    (void)a.GetFirst();
    (void)a.GetLast();
    std::vector<CString> items;
    a.CopyToVector(items);
    Check(items.size() == a.GetCount());
}

void UseDateTime(DateTime& t) {
    DateTime back;
    Reload(t, back);
    Check(back.GetDayNumber() == t.GetDayNumber() && back.GetHour() == t.GetHour() &&
          back.GetMinute() == t.GetMinute() && back.GetSecond() == t.GetSecond());
    (void)t.IsValid();
    (void)t.CompareDate(back);
    (void)t.CompareTime(back);
    (void)(t < back);
    if (t.IsValidDate()) {
        int y = 0, m = 0, d = 0;
        t.GetDate(y, m, d);
        Check(t.GetYear() == y && t.GetMonth() == m && t.GetDay() == d);
        Check(t.GetDayOfWeek() >= 1 && t.GetDayOfWeek() <= 7);
        (void)DateTime::ConvertDateToText(t, true, true, true, true);
        (void)DateTime::ConvertDateToText(t, false, false, false, false);
        std::int64_t seconds = 0;
        t.Get(seconds);
    }
    if (t.IsValidTime()) (void)DateTime::ConvertTimeToText(t, true);
}

void UseDateEntry(DateEntry& e) {
    DateEntry back;
    Reload(e, back);
    Check(back.GetOccurrence() == e.GetOccurrence() && back.GetYearType() == e.GetYearType() &&
          back.GetWeekDay() == e.GetWeekDay() && back.GetDay() == e.GetDay() &&
          back.GetDayOfWeek() == e.GetDayOfWeek() && back.GetBeforeAfterDayOfWeek() == e.GetBeforeAfterDayOfWeek() &&
          back.GetMonth() == e.GetMonth() && back.GetYear() == e.GetYear() && back.GetID() == e.GetID() &&
          back.GetDesc() == e.GetDesc());
    if (e.IsValid()) {
        DateTime when;
        e.GetDateFor(2024, when);
        (void)e.IsMatch(29, 2, 2024);
    }
}

void UseVersion(CVersionNumber& v) {
    CVersionNumber back;
    Reload(v, back);
    Check(back == v && !(back < v) && !(back > v));
    Check(CVersionNumber(v.GetString()) == v || v.GetMajor() < 0 || v.GetMinor() < 0 || v.GetSub() < 0);
}

template <typename Record>
void Exercise(const std::uint8_t* data, std::size_t size, void (*use)(Record&)) {
    Record r;
    LoadFrom(data, size, r);
    use(r);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Exercise<Address>(data, size, UseAddress);
    Exercise<CPerson>(data, size, UsePerson);
    Exercise<TextArray>(data, size, UseTextArray);
    Exercise<DateTime>(data, size, UseDateTime);
    Exercise<DateEntry>(data, size, UseDateEntry);
    Exercise<CVersionNumber>(data, size, UseVersion);
    return 0;
}
