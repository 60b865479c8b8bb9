#pragma once
// Full-factorial tables of input combinations.

#include <vector>

namespace vutil {

class CTruthTable {
public:
    // Fills out with every combination of the values low, low + step, ... <= high over
    // `columns` columns, row-major, the first column changing slowest. Leaves out
    // untouched when the arguments describe no table.
    static void Generate(std::vector<double>& out, int columns, double low, double high, double step);
};

}  // namespace vutil
