// Loads every record type and every SerializeData container from the same arbitrary
// bytes; each load gets its own archive and may end in an end-of-file exception.

#include <cstdint>

#include "vutil/core/text_array.h"
#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"
#include "vutil/framework/archive.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"
#include "vutil/persist/address.h"
#include "vutil/persist/crypto.h"
#include "vutil/persist/person.h"
#include "vutil/persist/serialize_data.h"
#include "vutil/persist/version_number.h"

namespace {

using namespace vutil;

template <typename F>
void Load(const std::uint8_t* data, std::size_t size, F&& load) {
    CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
    CArchive ar(&file, CArchive::load, 256);
    try {
        load(ar);
    } catch (const CArchiveException&) {
    }
}

template <typename T>
void Container(const std::uint8_t* data, std::size_t size) {
    Load(data, size, [](CArchive& ar) {
        T value{};
        SerializeData::Serialize(ar, value);
    });
}

template <typename R>
void Record(const std::uint8_t* data, std::size_t size) {
    Load(data, size, [](CArchive& ar) {
        R r;
        r.Serialize(ar);
        R copy(r);
        (void)copy;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Record<TextArray>(data, size);
    Record<DateTime>(data, size);
    Record<DateEntry>(data, size);
    Record<CVersionNumber>(data, size);
    Record<Address>(data, size);
    Record<CPerson>(data, size);
    Load(data, size, [](CArchive& ar) {
        CString s;
        CCrypto::DeserializeEncrypted(s, ar);
    });
    Load(data, size, [](CArchive& ar) {
        std::map<int, CString> m;
        SerializeData::SerializeEncrypted(ar, m);
    });

    Container<bool>(data, size);
    Container<std::string>(data, size);
    Container<std::vector<bool>>(data, size);
    Container<std::vector<int>>(data, size);
    Container<std::vector<double>>(data, size);
    Container<std::vector<CString>>(data, size);
    Container<std::vector<std::string>>(data, size);
    Container<std::list<int>>(data, size);
    Container<std::list<double>>(data, size);
    Container<std::list<CString>>(data, size);
    Container<std::list<std::string>>(data, size);
    Container<std::set<int>>(data, size);
    Container<std::set<double>>(data, size);
    Container<std::set<CString>>(data, size);
    Container<std::set<std::string>>(data, size);
    Container<std::map<int, bool>>(data, size);
    Container<std::map<int, int>>(data, size);
    Container<std::map<int, double>>(data, size);
    Container<std::map<int, std::string>>(data, size);
    Container<std::map<int, CString>>(data, size);
    Container<std::map<int, DateTime>>(data, size);
    Container<std::map<double, bool>>(data, size);
    Container<std::map<double, int>>(data, size);
    Container<std::map<double, double>>(data, size);
    Container<std::map<double, std::string>>(data, size);
    Container<std::map<double, CString>>(data, size);
    Container<std::map<double, DateTime>>(data, size);
    Container<std::map<std::string, bool>>(data, size);
    Container<std::map<std::string, int>>(data, size);
    Container<std::map<std::string, double>>(data, size);
    Container<std::map<std::string, std::string>>(data, size);
    Container<std::map<std::string, CString>>(data, size);
    Container<std::map<std::string, DateTime>>(data, size);
    Container<std::map<CString, bool>>(data, size);
    Container<std::map<CString, int>>(data, size);
    Container<std::map<CString, unsigned int>>(data, size);
    Container<std::map<CString, double>>(data, size);
    Container<std::map<CString, std::string>>(data, size);
    Container<std::map<CString, CString>>(data, size);
    Container<std::map<CString, DateTime>>(data, size);
    Container<std::map<CString, CString, NoCase>>(data, size);
    Container<std::map<unsigned int, CRect>>(data, size);
    return 0;
}
