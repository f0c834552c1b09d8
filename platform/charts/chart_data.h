#pragma once

#include <memory>
#include <vector>

#include "platform/charts/chart_data_set.h"

namespace platform {

// What a chart view shows: its data sets, with the ranges over all of them.
class ChartData {
public:
    explicit ChartData(std::shared_ptr<ChartDataSet> dataSet);
    virtual ~ChartData() = default;

    const std::vector<std::shared_ptr<ChartDataSet>>& dataSets() const { return dataSets_; }
    long dataSetCount() const { return long(dataSets_.size()); }
    long entryCount() const;
    // Over the data sets that have drawable entries; 0 when none has.
    double xMin() const { return range().xMin; }
    double xMax() const { return range().xMax; }
    double yMin() const { return range().yMin; }
    double yMax() const { return range().yMax; }

private:
    struct Range {
        double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    };
    Range range() const;

    std::vector<std::shared_ptr<ChartDataSet>> dataSets_;
};

}  // namespace platform
