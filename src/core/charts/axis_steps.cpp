#include "charts/axis_steps.h"

#include <algorithm>
#include <cmath>

namespace velmora {

double AxisStep(double range, int labels) {
  constexpr double kMantissas[] = {1, 2, 5};
  labels = std::max(labels, 1);
  range = std::clamp(range, 0.0, 1e12);
  for (double power = 1;; power *= 10) {
    for (const double mantissa : kMantissas) {
      if (range <= labels * mantissa * power) return mantissa * power;
    }
  }
}

double AxisTop(double highest, double step) { return (std::floor(std::max(highest, 0.0) / step + 1e-9) + 1) * step; }

}  // namespace velmora
