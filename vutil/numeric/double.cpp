#include "vutil/numeric/double.h"

#include <cmath>

namespace vutil {

bool CDouble::IsEqual(double a, double b, double tolerance) { return std::fabs(a - b) < tolerance; }

}  // namespace vutil
