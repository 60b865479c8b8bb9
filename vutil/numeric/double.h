#pragma once
// Comparison of doubles within a tolerance.

namespace vutil {

class CDouble {
public:
    // |a - b| < tolerance, strictly; false when the difference is NaN.
    static bool IsEqual(double a, double b, double tolerance);
};

}  // namespace vutil
