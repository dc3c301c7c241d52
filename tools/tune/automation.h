#pragma once
#include <vector>

namespace tune {

// Piecewise-linear curve through (time, value) points, held flat beyond its ends.
class Automation {
  public:
    struct Point {
        double time;
        double value;
    };

    void add(double time, double value);
    bool empty() const { return points_.empty(); }
    double at(double time, double fallback) const;

  private:
    std::vector<Point> points_;
};

} // namespace tune
