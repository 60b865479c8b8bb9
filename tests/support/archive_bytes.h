#pragma once
// Storing into and loading from archive bytes held in a std::string.

#include <string>
#include <vector>

#include "vutil/framework/archive.h"
#include "vutil/framework/file.h"

namespace vutil::test {

template <typename F>
std::string StoreBytes(F&& store, int bufferSize = 4096) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store, bufferSize);
        store(ar);
        ar.Close();
    }
    return std::string(reinterpret_cast<const char*>(file.GetData()), static_cast<std::size_t>(file.GetLength()));
}

// Loads from a private copy so a read past the end is visible to the sanitizer.
template <typename F>
void LoadBytes(const std::string& bytes, F&& load, int bufferSize = 4096) {
    std::vector<BYTE> copy(bytes.begin(), bytes.end());
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CRewindArchive ar(&file, CArchive::load, bufferSize);
    load(ar);
}

// A record's own Serialize, both ways. Serialize is not const, so a const record or a
// temporary is stored through a copy (which a record may not copy whole: a person's ID
// stays behind).
template <typename Record>
std::string StoreRecord(Record& r) {
    return StoreBytes([&](CArchive& ar) { r.Serialize(ar); });
}

template <typename Record>
std::string StoreRecord(const Record& r) {
    Record copy(r);
    return StoreRecord(copy);
}

template <typename Record>
void LoadRecord(const std::string& bytes, Record& r) {
    LoadBytes(bytes, [&](CArchive& ar) { r.Serialize(ar); });
}

}  // namespace vutil::test
