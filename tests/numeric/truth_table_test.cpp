// CTruthTable: the fixed small tables, a larger one against counting in base L, and
// the argument combinations that produce nothing.

#include <gtest/gtest.h>

#include <vector>

#include "vutil/numeric/truth_table.h"

namespace vutil {
namespace {

using Table = std::vector<double>;

TEST(TruthTableTest, TwoInputs) {
    Table out;
    CTruthTable::Generate(out, 2, 0, 1, 1);
    EXPECT_EQ(out, (Table{0, 0, 0, 1, 1, 0, 1, 1}));
}

TEST(TruthTableTest, RowsCountInBaseL) {
    // Three levels over four columns: row r is r written in base 3, first digit first.
    const Table levels{-1, 0.5, 2};
    Table out;
    CTruthTable::Generate(out, 4, -1, 2, 1.5);
    ASSERT_EQ(out.size(), 81u * 4u);
    for (int r = 0; r < 81; ++r)
        for (int c = 0, weight = 27; c < 4; ++c, weight /= 3)
            ASSERT_EQ(out[r * 4 + c], levels[(r / weight) % 3]) << r << ',' << c;
}

struct Nothing {
    int columns;
    double low, high, step;
};

TEST(TruthTableTest, ArgumentsWithoutATable) {
    const Nothing cases[] = {
        {2, 1, 1, 1},         // low = high
        {2, 1, 1.0005, 1},    // closer than 0.001
        {1, 0, 1, 1},         // two levels, one column
        {0, 0, 1, 1},         // no columns
        {2, 1, 0, 1},         // high below low
        {2, 0, 1, 5},         // L = 1.2: 1.44 rows
        {2, 0, 1, 0},         // no step
        {3, 0, 3, 1},         // four levels over three columns
    };
    for (const Nothing& c : cases) {
        Table out{42};
        CTruthTable::Generate(out, c.columns, c.low, c.high, c.step);
        EXPECT_EQ(out, Table{42}) << c.columns << ' ' << c.low << ' ' << c.high << ' ' << c.step;
    }
}

}  // namespace
}  // namespace vutil
