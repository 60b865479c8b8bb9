// CGeographyUtils: sizes, ends and the entries that stand out in each list.

#include <gtest/gtest.h>

#include <string>

#include "vutil/numeric/geography_utils.h"

namespace vutil {
namespace {

TextArray Subdivisions(const char* country) {
    TextArray out;
    CGeographyUtils::GetStatesProvinces(country, out);
    return out;
}

struct ListCase {
    const char* country;
    unsigned int count;
    const char* first;
    const char* last;
};

TEST(GeographyUtilsTest, SubdivisionLists) {
    const ListCase cases[] = {
        {"United States", 51, "Alabama", "Wyoming"},
        {"Canada", 13, "Alberta", "Yukon Territory"},
        {"Netherlands", 12, "Drenthe", "Zuid-Holland"},
        {"United Kingdom", 116, "Bedfordshire", "Wrexham"},
        {"Australia", 8, "Australian Capital Territory", "Western Australia"},
        {"Austria", 10, "Bundeslaender", "Wien"},
        {"Germany", 16, "Baden-W\xFCrttemberg", "Th\xFCringen"},
        {"Belgium", 10, "Antwerpen", "Luxembourg"},
        {"The Bahamas", 22, "Acklins and Crooked Islands", "Rum Cay"},
    };
    for (const ListCase& c : cases) {
        TextArray out;
        out.Add(CString("kept"));
        CGeographyUtils::GetStatesProvinces(c.country, out);
        ASSERT_EQ(out.GetCount(), c.count + 1) << c.country;
        EXPECT_EQ(out.GetAt(0), "kept");
        EXPECT_EQ(out.GetAt(1), c.first) << c.country;
        EXPECT_EQ(out.GetLast(), c.last) << c.country;
    }
}

TEST(GeographyUtilsTest, SubdivisionsThatStandOut) {
    const TextArray belgium = Subdivisions("Belgium");
    EXPECT_EQ(belgium.GetAt(8), std::string("Li\xE8" "ge").c_str());
    EXPECT_EQ(belgium.GetAt(8).GetLength(), 5);
    bool found = false;
    Subdivisions("Netherlands").Find("Limburg", true, found);
    EXPECT_TRUE(found);

    const TextArray uk = Subdivisions("United Kingdom");
    unsigned int at = uk.Find("Rhondda", true, found);
    ASSERT_TRUE(found);
    EXPECT_EQ(uk.GetAt(at + 1), "Cynon");
    EXPECT_EQ(uk.GetAt(at + 2), "Taff");
    EXPECT_EQ(uk.GetAt(at + 3), "Swansea");

    for (const char* nothing : {"New Zealand", "Virgin Islands", "united states", "Canada ", "", "France"})
        EXPECT_EQ(Subdivisions(nothing).GetCount(), 0u) << nothing;
}

TEST(GeographyUtilsTest, CountriesAndTerritories) {
    TextArray countries;
    CGeographyUtils::GetCountries(countries);
    ASSERT_EQ(countries.GetCount(), 264u);
    EXPECT_EQ(countries.GetFirst(), "Afghanistan");
    EXPECT_EQ(countries.GetLast(), "Zimbabwe");
    for (unsigned int i = 1; i < countries.GetCount(); ++i)
        EXPECT_LT(countries.GetAt(i - 1).Compare(countries.GetAt(i)), 0) << i;  // ascending bytes
    for (const char* name : {"Arctic Ocean", "Gaza Strip", "Spratly Islands", "Cocos (Keeling) Islands",
                             "Cote d'Ivoire", "Falkland Islands (Islas Malvinas)", "Timor-Leste"}) {
        bool found = false;
        countries.Find(name, true, found);
        EXPECT_TRUE(found) << name;
    }
    CGeographyUtils::GetCountries(countries);
    EXPECT_EQ(countries.GetCount(), 528u);
    EXPECT_EQ(countries.GetAt(264), "Afghanistan");

    TextArray territories;
    CGeographyUtils::GetUSTerritories(territories);
    ASSERT_EQ(territories.GetCount(), 16u);
    EXPECT_EQ(territories.GetFirst(), "Puerto Rico");
    EXPECT_EQ(territories.GetAt(1), "U.S. Virgin Islands");
    EXPECT_EQ(territories.GetLast(), "Bajo Nuevo Bank");
}

TEST(GeographyUtilsTest, Abbreviations) {
    // The 64 codes name the United States list and then the Canadian one, in order.
    TextArray names = Subdivisions("United States");
    CGeographyUtils::GetStatesProvinces("Canada", names);
    const char* const codes[] = {"AL", "AK", "AZ", "AR", "CA", "CO", "CT", "DE", "DC", "FL", "GA", "HI", "ID",
                                 "IL", "IN", "IA", "KS", "KY", "LA", "ME", "MD", "MA", "MI", "MN", "MS", "MO",
                                 "MT", "NE", "NV", "NH", "NJ", "NM", "NY", "NC", "ND", "OH", "OK", "OR", "PA",
                                 "RI", "SC", "SD", "TN", "TX", "UT", "VT", "VA", "WA", "WV", "WI", "WY", "AB",
                                 "BC", "MB", "NB", "NL", "NT", "NS", "NU", "ON", "PE", "QC", "SK", "YT"};
    ASSERT_EQ(names.GetCount(), std::size(codes));
    for (unsigned int i = 0; i < names.GetCount(); ++i)
        EXPECT_EQ(CGeographyUtils::GetFullStateProvinceFromAbbrev(codes[i]), names.GetAt(i)) << codes[i];
    EXPECT_EQ(CGeographyUtils::GetFullStateProvinceFromAbbrev("QC"), "Quebec");
    for (const char* unknown : {"PR", "al", "Al", "", "ALA", "GU"})
        EXPECT_TRUE(CGeographyUtils::GetFullStateProvinceFromAbbrev(unknown).IsEmpty()) << unknown;
}

}  // namespace
}  // namespace vutil
