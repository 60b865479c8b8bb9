#include "vutil/numeric/truth_table.h"

#include <cmath>
#include <cstddef>
#include <new>

namespace vutil {

void CTruthTable::Generate(std::vector<double>& out, int columns, double low, double high, double step) {
    if (columns <= 0 || std::fabs(low - high) < 0.001 || high < low) return;
    // A step that is not positive would never reach high.
    if (!(step > 0)) return;
    const double levels = (high - low) / step + 1;
    if (levels == 1 || !(std::trunc(levels) <= static_cast<double>(columns))) return;
    const double rows = std::trunc(std::pow(levels, columns));
    if (rows <= 1) return;
    // Beyond what memory can hold the table is an out-of-memory failure, not an
    // out-of-range conversion.
    const double cells = rows * columns;
    if (!(cells < static_cast<double>(out.max_size()))) throw std::bad_alloc();
    const auto rowCount = static_cast<std::size_t>(rows);
    const auto width = static_cast<std::size_t>(columns);
    const auto levelCount = static_cast<std::size_t>(levels);

    std::vector<double> values;
    for (double v = low; v <= high; v += step) {
        values.push_back(v);
        if (v + step == v) break;  // too small a step to advance: stop rather than spin
    }

    out.resize(rowCount * width);
    std::size_t block = rowCount;
    for (std::size_t c = 0; c < width; ++c) {
        block /= levelCount;
        std::size_t k = 0;
        for (std::size_t r = 0; r < rowCount; ++r) {
            if (r > 0 && block != 0 && r % block == 0 && ++k == values.size()) k = 0;
            out[r * width + c] = values[k];
        }
    }
}

}  // namespace vutil
