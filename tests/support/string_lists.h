#pragma once
// String lists built from literals and read back as std::vector<std::string>, so that a
// whole list compares in one expectation.

#include <string>
#include <vector>

#include "vutil/core/text_array.h"
#include "vutil/framework/collections.h"

namespace vutil::test {

using Strings = std::vector<std::string>;

inline TextArray ArrayOf(const Strings& items) {
    TextArray array;
    for (const auto& s : items) array.Add(CString(s));
    return array;
}

inline CStringList ListOf(const Strings& items) {
    CStringList list;
    for (const auto& s : items) list.AddTail(CString(s));
    return list;
}

inline Strings Items(const CStringList& list) {
    Strings out;
    for (POSITION pos = list.GetHeadPosition(); pos;) out.push_back(list.GetNext(pos).str());
    return out;
}

inline Strings Items(const CStringArray& array) {
    Strings out;
    for (int i = 0; i < array.GetSize(); ++i) out.push_back(array[i].str());
    return out;
}

inline Strings Items(const TextArray& array) {
    Strings out;
    for (const auto& s : array) out.push_back(s.str());
    return out;
}

}  // namespace vutil::test
