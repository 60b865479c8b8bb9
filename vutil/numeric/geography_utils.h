#pragma once
// Fixed reference lists for address entry: countries and territories, first-level
// subdivisions of some countries, and United States and Canadian postal codes.
// Names are Windows-1252 text compiled into the library.

#include "vutil/core/text_array.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class CGeographyUtils {
public:
    CGeographyUtils() = default;
    CGeographyUtils(const CGeographyUtils&) = default;
    // There is nothing to copy.
    CGeographyUtils& operator=(const CGeographyUtils&) { return *this; }

    // Each appends to out without emptying it.
    static void GetCountries(TextArray& out);
    static void GetUSTerritories(TextArray& out);
    // The subdivisions of a country named exactly (case-sensitively); other names, and
    // countries listed without subdivisions, append nothing.
    static void GetStatesProvinces(const CString& country, TextArray& out);
    // The full name for a two-letter upper-case code; empty when the code is unknown.
    static CString GetFullStateProvinceFromAbbrev(const CString& abbreviation);
};

}  // namespace vutil
