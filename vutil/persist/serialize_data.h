#pragma once
// SerializeData: archive layouts of standard containers.
//
// Every overload both stores and loads; the archive's mode decides. A container is a
// 32-bit count followed by its elements (sequences in order, sets and maps in their
// own order, a map's pairs as key then value). Loading empties the container first and
// keeps the first of repeated keys. No version marker, no type tag.

#include <algorithm>
#include <list>
#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "vutil/core/text_array.h"
#include "vutil/framework/archive.h"
#include "vutil/framework/cstring.h"
#include "vutil/framework/types.h"

namespace vutil {

class DateTime;

// Value types a map may hold under int, double and std::string keys. Types that own
// their archive layout elsewhere join by specialising this and adding StoreItem /
// LoadItem overloads below.
template <typename V>
struct SerializableMapValue : std::false_type {};
template <> struct SerializableMapValue<bool> : std::true_type {};
template <> struct SerializableMapValue<int> : std::true_type {};
template <> struct SerializableMapValue<double> : std::true_type {};
template <> struct SerializableMapValue<std::string> : std::true_type {};
template <> struct SerializableMapValue<CString> : std::true_type {};
template <> struct SerializableMapValue<DateTime> : std::true_type {};

// Under CString keys an unsigned int value is allowed too (same 32-bit layout as int).
template <typename V>
struct SerializableCStringMapValue : SerializableMapValue<V> {};
template <> struct SerializableCStringMapValue<unsigned int> : std::true_type {};

class SerializeData {
public:
    static void Serialize(CArchive& ar, bool& value);
    static void Serialize(CArchive& ar, std::string& value);

    static void Serialize(CArchive& ar, std::vector<bool>& v);
    static void Serialize(CArchive& ar, std::vector<int>& v) { SerializeSequence(ar, v); }
    static void Serialize(CArchive& ar, std::vector<double>& v) { SerializeSequence(ar, v); }
    static void Serialize(CArchive& ar, std::vector<CString>& v) { SerializeSequence(ar, v); }
    static void Serialize(CArchive& ar, std::vector<std::string>& v) { SerializeSequence(ar, v); }

    static void Serialize(CArchive& ar, std::list<int>& v) { SerializeSequence(ar, v); }
    static void Serialize(CArchive& ar, std::list<double>& v) { SerializeSequence(ar, v); }
    static void Serialize(CArchive& ar, std::list<CString>& v) { SerializeSequence(ar, v); }
    static void Serialize(CArchive& ar, std::list<std::string>& v) { SerializeSequence(ar, v); }

    static void Serialize(CArchive& ar, std::set<int>& s) { SerializeSet(ar, s); }
    static void Serialize(CArchive& ar, std::set<double>& s) { SerializeSet(ar, s); }
    static void Serialize(CArchive& ar, std::set<CString>& s) { SerializeSet(ar, s); }
    static void Serialize(CArchive& ar, std::set<std::string>& s) { SerializeSet(ar, s); }

    template <typename V>
        requires SerializableMapValue<V>::value
    static void Serialize(CArchive& ar, std::map<int, V>& m) { SerializeMap(ar, m); }
    template <typename V>
        requires SerializableMapValue<V>::value
    static void Serialize(CArchive& ar, std::map<double, V>& m) { SerializeMap(ar, m); }
    template <typename V>
        requires SerializableMapValue<V>::value
    static void Serialize(CArchive& ar, std::map<std::string, V>& m) { SerializeMap(ar, m); }
    template <typename V>
        requires SerializableCStringMapValue<V>::value
    static void Serialize(CArchive& ar, std::map<CString, V>& m) { SerializeMap(ar, m); }

    static void Serialize(CArchive& ar, std::map<CString, CString, NoCase>& m) { SerializeMap(ar, m); }
    static void Serialize(CArchive& ar, std::map<unsigned int, CRect>& m) { SerializeMap(ar, m); }

    // Values go through CCrypto's encrypted string blob.
    static void SerializeEncrypted(CArchive& ar, std::map<int, CString>& m);

protected:
    // The two directions of the std::string overload: the text up to its first NUL,
    // written and read as a CString.
    static void Serializestring(CArchive& ar, const std::string& value);
    static void Deserialize(CArchive& ar, std::string& value);

private:
    static void StoreItem(CArchive& ar, bool v);
    static void LoadItem(CArchive& ar, bool& v);
    static void StoreItem(CArchive& ar, int v) { ar << v; }
    static void LoadItem(CArchive& ar, int& v) { ar >> v; }
    static void StoreItem(CArchive& ar, unsigned int v) { ar << v; }
    static void LoadItem(CArchive& ar, unsigned int& v) { ar >> v; }
    static void StoreItem(CArchive& ar, double v) { ar << v; }
    static void LoadItem(CArchive& ar, double& v) { ar >> v; }
    static void StoreItem(CArchive& ar, const CString& v) { ar << v; }
    // Reads straight into the string's own storage; the hot path of every loader.
    static void LoadItem(CArchive& ar, CString& v);
    static void StoreItem(CArchive& ar, const std::string& v) { Serializestring(ar, v); }
    static void LoadItem(CArchive& ar, std::string& v) { Deserialize(ar, v); }
    static void StoreItem(CArchive& ar, const CRect& v);
    static void LoadItem(CArchive& ar, CRect& v);
    // The DateTime record (version, then its four raw fields).
    static void StoreItem(CArchive& ar, const DateTime& v);
    static void LoadItem(CArchive& ar, DateTime& v);

    static void StoreCount(CArchive& ar, std::size_t n) { ar << static_cast<unsigned int>(n); }
    static unsigned int LoadCount(CArchive& ar) {
        unsigned int n = 0;
        ar >> n;
        return n;
    }
    // Room to reserve up front for n elements of Element. The count is untrusted and
    // the file may be a pipe with no length to compare it against, so only a small
    // fixed amount is reserved; beyond it the container grows with the elements that
    // really arrive, keeping memory proportional to the bytes read.
    template <typename Element>
    static std::size_t ReserveFor(unsigned int n) {
        constexpr std::size_t kReserveBytes = 64 * 1024;
        return std::min<std::size_t>(n, kReserveBytes / sizeof(Element));
    }

    template <typename Seq>
    static void SerializeSequence(CArchive& ar, Seq& seq) {
        if (ar.IsStoring()) {
            StoreCount(ar, seq.size());
            for (const auto& item : seq) StoreItem(ar, item);
            return;
        }
        seq.clear();
        const unsigned int n = LoadCount(ar);
        if constexpr (requires { seq.reserve(n); }) seq.reserve(ReserveFor<typename Seq::value_type>(n));
        for (unsigned int i = 0; i < n; ++i) {
            if constexpr (std::is_trivially_copyable_v<typename Seq::value_type>) {
                // Read first, so the container grows only for an element that arrived.
                typename Seq::value_type item{};
                LoadItem(ar, item);
                seq.push_back(item);
                continue;
            }
            // Read in place, with no temporary to move for every element; an element
            // cut short by the end of the data is taken out again.
            seq.emplace_back();
            try {
                LoadItem(ar, seq.back());
            } catch (...) {
                seq.pop_back();
                throw;
            }
        }
    }

    template <typename Set>
    static void SerializeSet(CArchive& ar, Set& set) {
        if (ar.IsStoring()) {
            StoreCount(ar, set.size());
            for (const auto& item : set) StoreItem(ar, item);
            return;
        }
        set.clear();
        const unsigned int n = LoadCount(ar);
        for (unsigned int i = 0; i < n; ++i) {
            typename Set::value_type item{};
            LoadItem(ar, item);
            set.emplace_hint(set.end(), std::move(item));
        }
    }

    template <typename Map>
    static void SerializeMap(CArchive& ar, Map& map) {
        if (ar.IsStoring()) {
            StoreCount(ar, map.size());
            for (const auto& [key, value] : map) {
                StoreItem(ar, key);
                StoreItem(ar, value);
            }
            return;
        }
        map.clear();
        const unsigned int n = LoadCount(ar);
        for (unsigned int i = 0; i < n; ++i) {
            typename Map::key_type key{};
            typename Map::mapped_type value{};
            LoadItem(ar, key);
            LoadItem(ar, value);
            // Stored data arrives in key order, so the end is the right hint; a
            // repeated key leaves the first value in place.
            map.emplace_hint(map.end(), std::move(key), std::move(value));
        }
    }
};

}  // namespace vutil
