#pragma once
// Axis steps of the charts: whole numbers, at least 1, and no more labels than fit.

namespace velmora {

// The smallest of 1, 2, 5, 10, 20, 50, ... that keeps `range` within `labels` steps.
double AxisStep(double range, int labels);
// The top of an axis from 0: the first whole step above `highest`, so the highest bar or point
// stays clear of the plot's edge.
double AxisTop(double highest, double step);

}  // namespace velmora
