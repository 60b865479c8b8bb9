// vutil archive dump: shows what an archive file holds, either as the primitives it
// can recognise (strings, encrypted strings, 16- and 32-bit numbers) or as a run of
// records of one known type.

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "command.h"
#include "vutil/core/text_array.h"
#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"
#include "vutil/framework/archive.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"
#include "vutil/persist/address.h"
#include "vutil/persist/crypto.h"
#include "vutil/persist/person.h"
#include "vutil/persist/version_number.h"

namespace {

using vutil::BYTE;
using vutil::CString;

std::string Quote(const char* p, std::size_t n) {
    std::string out = "\"";
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(p[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out + "\"";
}

std::string Quote(const CString& s) { return Quote(s.GetString(), static_cast<std::size_t>(s.GetLength())); }

bool Printable(unsigned char c) { return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r' || c == '\n' || c >= 0xA0; }

unsigned U16(const std::vector<BYTE>& d, std::size_t o) { return d[o] | (d[o + 1] << 8); }
std::uint32_t U32(const std::vector<BYTE>& d, std::size_t o) {
    return d[o] | (d[o + 1] << 8) | (d[o + 2] << 16) | (static_cast<std::uint32_t>(d[o + 3]) << 24);
}

// A length-prefixed string of printable bytes at o: its total size, or 0.
std::size_t StringAt(const std::vector<BYTE>& d, std::size_t o, std::size_t& textStart, std::size_t& textLength) {
    const std::size_t size = d.size();
    std::size_t p = o, n = 0;
    if (p >= size) return 0;
    n = d[p++];
    if (n == 0xFF) {
        if (p + 2 > size) return 0;
        n = U16(d, p);
        p += 2;
        if (n == 0xFFFF) {
            if (p + 4 > size) return 0;
            n = U32(d, p);
            p += 4;
        }
    }
    if (n == 0 || n > size - p) return 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!Printable(d[p + i])) return 0;
    }
    textStart = p;
    textLength = n;
    return p + n - o;
}

void DumpPrimitives(const std::vector<BYTE>& d) {
    std::size_t o = 0;
    const std::size_t size = d.size();
    char head[32];
    while (o < size) {
        std::snprintf(head, sizeof head, "%08zX  ", o);
        std::cout << head;
        const std::size_t left = size - o;
        // Encrypted string blob: flag 1, a 16-bit count of whole blocks, the blocks.
        if (left >= 4 && U16(d, o) == 1) {
            std::size_t count = U16(d, o + 2);
            if (count > 0 && count < 0xFFFF && count % 16 == 0 && count <= left - 4) {
                CString text;
                vutil::CCrypto::Decrypt(d.data() + o + 4, static_cast<int>(count), text);
                std::cout << "encrypted " << Quote(text) << " (" << count << " bytes)\n";
                o += 4 + count;
                continue;
            }
        }
        std::size_t start = 0, length = 0;
        if (std::size_t n = StringAt(d, o, start, length)) {
            std::cout << "string    " << Quote(reinterpret_cast<const char*>(d.data()) + start, length) << "\n";
            o += n;
            continue;
        }
        if (left >= 4) {
            std::uint32_t v = U32(d, o);
            // A small 16-bit value followed by more data reads as a marker or version.
            if ((v >> 16) != 0 && (v & 0xFFFF) <= 0xFF) {
                std::cout << "u16       " << (v & 0xFFFF) << "\n";
                o += 2;
            } else {
                std::cout << "i32       " << static_cast<std::int32_t>(v) << "\n";
                o += 4;
            }
        } else if (left >= 2) {
            std::cout << "u16       " << U16(d, o) << "\n";
            o += 2;
        } else {
            std::cout << "byte      " << static_cast<unsigned>(d[o]) << "\n";
            o += 1;
        }
    }
}

void PrintTextArray(vutil::TextArray& a) {
    std::cout << "TextArray, " << a.GetCount() << " items\n";
    unsigned i = 0;
    for (const CString& s : a) std::cout << "  [" << i++ << "] " << Quote(s) << "\n";
}

// The raw stored values, each with its calendar reading where it has one.
void PrintDateTime(vutil::DateTime& t) {
    char buf[64];
    std::cout << "DateTime day " << t.GetDayNumber();
    if (t.IsValidDate()) {
        int y = 0, m = 0, d = 0;
        t.GetDate(y, m, d);
        std::snprintf(buf, sizeof buf, " (%04d-%02d-%02d)", y, m, d);
        std::cout << buf;
    } else {
        std::cout << (t.GetDayNumber() == 0 ? " (no date)" : " (out of range)");
    }
    if (t.IsValidTime()) {
        std::snprintf(buf, sizeof buf, ", %02d:%02d:%02d", t.GetHour(), t.GetMinute(), t.GetSecond());
    } else if (t.GetHour() == -1 && t.GetMinute() == -1 && t.GetSecond() == -1) {
        std::snprintf(buf, sizeof buf, ", no time");
    } else {
        std::snprintf(buf, sizeof buf, ", time %d:%d:%d (out of range)", t.GetHour(), t.GetMinute(), t.GetSecond());
    }
    std::cout << buf << "\n";
}

void PrintDateEntry(vutil::DateEntry& e) {
    std::cout << "DateEntry id " << e.GetID() << " " << Quote(e.GetDesc()) << "\n";
    std::cout << "  occurrence " << static_cast<int>(e.GetOccurrence()) << ", year type "
              << static_cast<int>(e.GetYearType()) << ", weekday " << (e.GetWeekDay() ? "yes" : "no") << "\n";
    std::cout << "  day " << e.GetDay() << ", day of week " << e.GetDayOfWeek() << ", before/after "
              << e.GetBeforeAfterDayOfWeek() << ", month " << e.GetMonth() << ", year " << e.GetYear() << "\n";
}

void PrintVersion(vutil::CVersionNumber& v) { std::cout << "CVersionNumber " << v.GetString().GetString() << "\n"; }

void PrintAddress(vutil::Address& a) {
    std::cout << "Address id " << a.GetUniqueID() << (a.GetIsBusiness() ? ", business" : "") << "\n";
    for (int f = 0; f < a.GetDataFieldCount(); ++f) {
        CString s = a.GetData(static_cast<vutil::Address::Field>(f));
        if (!s.IsEmpty()) std::cout << "  [" << f << "] " << Quote(s) << "\n";
    }
}

void PrintPerson(vutil::CPerson& p) {
    using G = const CString& (vutil::CPerson::*)() const noexcept;
    static const std::pair<const char*, G> fields[] = {
        {"first name", &vutil::CPerson::GetFirstName}, {"middle initial", &vutil::CPerson::GetMI},
        {"last name", &vutil::CPerson::GetLastName},   {"street", &vutil::CPerson::GetStreet},
        {"city", &vutil::CPerson::GetCity},            {"state", &vutil::CPerson::GetState},
        {"zip", &vutil::CPerson::GetZip},              {"country", &vutil::CPerson::GetCountry},
        {"home phone", &vutil::CPerson::GetHomePhone}, {"work phone", &vutil::CPerson::GetWorkPhone},
        {"cell phone", &vutil::CPerson::GetCellPhone}, {"fax", &vutil::CPerson::GetFax},
        {"e-mail", &vutil::CPerson::GetEMail},         {"web site", &vutil::CPerson::GetWebSite},
        {"facebook", &vutil::CPerson::GetFacebook},    {"twitter", &vutil::CPerson::GetTwitter},
        {"company", &vutil::CPerson::GetCompany},      {"notes", &vutil::CPerson::GetNotes}};
    std::cout << "CPerson id " << p.GetUniqueID() << "\n";
    for (const auto& [name, get] : fields) {
        const CString& s = (p.*get)();
        if (!s.IsEmpty()) std::cout << "  " << name << ": " << Quote(s) << "\n";
    }
}

// Loads records one after another; each gets its own archive so the file position
// after Flush tells where the next begins.
template <typename Record>
int DumpRecords(vutil::CMemFile& file, void (*print)(Record&)) {
    while (file.GetPosition() < file.GetLength()) {
        Record r;
        const auto at = file.GetPosition();
        try {
            vutil::CArchive ar(&file, vutil::CArchive::load);
            r.Serialize(ar);
            ar.Flush();
        } catch (const vutil::CArchiveException& e) {
            if (e.m_cause == vutil::CArchiveException::endOfFile) {
                std::cout << "truncated record at offset " << at << "\n";
            } else {
                std::cout << "damaged record at offset " << at << " ("
                          << (e.m_cause == vutil::CArchiveException::badIndex ? "invalid file format"
                                                                               : "a length no string can have")
                          << ")\n";
            }
            return 1;
        }
        print(r);
    }
    return 0;
}

int RunArchive(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "dump") return vutil::cli::UsageError("archive", "expected 'dump <file>'");
    std::string path, as;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--as") {
            if (i + 1 == args.size()) return vutil::cli::UsageError("archive", "--as needs a record type");
            as = args[++i];
        } else if (args[i].size() > 2 && args[i].compare(0, 2, "--") == 0) {
            return vutil::cli::UsageError("archive", "unknown option '" + args[i] + "'");
        } else if (path.empty()) {
            path = args[i];
        } else {
            return vutil::cli::UsageError("archive", "unexpected '" + args[i] + "'");
        }
    }
    if (path.empty()) return vutil::cli::UsageError("archive", "no file given");
    static const char* const kTypes[] = {"textarray", "datetime", "dateentry", "version", "address", "person"};
    if (!as.empty() && std::find(std::begin(kTypes), std::end(kTypes), as) == std::end(kTypes)) {
        return vutil::cli::UsageError("archive", "unknown record type '" + as +
                                                    "' (textarray, datetime, dateentry, version, address, person)");
    }

    // Read to the end rather than trusting a length: a pipe or /dev/stdin has none.
    std::vector<BYTE> data;
    vutil::CFile in;
    vutil::CFileException error;
    if (!in.Open(path.c_str(), vutil::CFile::modeRead | vutil::CFile::typeBinary | vutil::CFile::shareDenyNone, &error)) {
        return vutil::cli::SystemError("archive", "cannot open '" + path + "'", static_cast<unsigned long>(error.m_lOsError));
    }
    try {
        BYTE chunk[65536];
        for (vutil::UINT n; (n = in.Read(chunk, sizeof chunk)) > 0;) data.insert(data.end(), chunk, chunk + n);
    } catch (const vutil::CFileException& e) {
        return vutil::cli::SystemError("archive", "cannot read '" + path + "'", static_cast<unsigned long>(e.m_lOsError));
    }
    if (data.size() > 0xFFFFFFFFu) return vutil::cli::UsageError("archive", "'" + path + "' is larger than 4 GB");

    if (as.empty()) {
        DumpPrimitives(data);
        return 0;
    }
    vutil::CMemFile file(data.data(), static_cast<vutil::UINT>(data.size()));
    if (as == "textarray") return DumpRecords<vutil::TextArray>(file, PrintTextArray);
    if (as == "datetime") return DumpRecords<vutil::DateTime>(file, PrintDateTime);
    if (as == "dateentry") return DumpRecords<vutil::DateEntry>(file, PrintDateEntry);
    if (as == "version") return DumpRecords<vutil::CVersionNumber>(file, PrintVersion);
    if (as == "address") return DumpRecords<vutil::Address>(file, PrintAddress);
    return DumpRecords<vutil::CPerson>(file, PrintPerson);
}

vutil::cli::Register reg({"archive", "dump <file> [--as textarray|datetime|dateentry|version|address|person]",
                          "show the strings, numbers and encrypted strings of an archive file, or its records",
                          RunArchive});

}  // namespace
