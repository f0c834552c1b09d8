#pragma once

namespace platform {

// One value of a chart: where it sits on the x axis and how high it is.
class ChartDataEntry {
public:
    ChartDataEntry(double x, double y) : x_(x), y_(y) {}
    virtual ~ChartDataEntry() = default;

    double x() const { return x_; }
    double y() const { return y_; }

    bool operator==(const ChartDataEntry& other) const { return x_ == other.x_ && y_ == other.y_; }

private:
    double x_;
    double y_;
};

}  // namespace platform
