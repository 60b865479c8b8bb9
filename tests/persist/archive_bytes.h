#pragma once
// Storing into and loading from archive bytes held in a std::string.

#include <string>
#include <vector>

#include "vutil/framework/archive.h"
#include "vutil/framework/file.h"

namespace vutil::test {

template <typename F>
std::string StoreBytes(F&& store) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        store(ar);
        ar.Close();
    }
    return std::string(reinterpret_cast<const char*>(file.GetData()), static_cast<std::size_t>(file.GetLength()));
}

// Loads from a private copy so a read past the end is visible to the sanitizer.
template <typename F>
void LoadBytes(const std::string& bytes, F&& load) {
    std::vector<BYTE> copy(bytes.begin(), bytes.end());
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CRewindArchive ar(&file, CArchive::load);
    load(ar);
}

// Hex text without separators, for comparing with openssl's -K style strings.
inline std::string PlainHex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

inline std::string FromHex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

}  // namespace vutil::test
