#include "automation.h"

#include <algorithm>

namespace tune {

void Automation::add(double time, double value) {
    Point p{time, value};
    // Keep points ordered; equal times keep insertion order so a jump can be written as two points.
    auto it = std::upper_bound(points_.begin(), points_.end(), p,
                               [](const Point &a, const Point &b) { return a.time < b.time; });
    points_.insert(it, p);
}

double Automation::at(double time, double fallback) const {
    if (points_.empty()) return fallback;
    if (time <= points_.front().time) return points_.front().value;
    if (time >= points_.back().time) return points_.back().value;
    auto it = std::upper_bound(points_.begin(), points_.end(), time,
                               [](double t, const Point &p) { return t < p.time; });
    const Point &b = *it;
    const Point &a = *(it - 1);
    if (b.time <= a.time) return b.value;
    double x = (time - a.time) / (b.time - a.time);
    return a.value + (b.value - a.value) * x;
}

} // namespace tune
