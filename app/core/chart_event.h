#pragma once

#include <cstdint>

#include "app/core/timer_vocabulary.h"

namespace quorvel {

// What the statistics screen reports: a touch on one of its graphs with the pomodoros it shows, or the
// orientation it was laid out in.
class ChartEvent {
public:
    enum class Graph { bar, line };

    static ChartEvent graphTouch(Graph graph, std::int64_t pomodoros) { return ChartEvent(graph, pomodoros); }
    static ChartEvent orientation(Rotation rotation) { return ChartEvent(rotation); }

    bool isOrientation() const { return isOrientation_; }
    Graph graph() const { return graph_; }
    std::int64_t pomodoros() const { return pomodoros_; }
    Rotation rotation() const { return rotation_; }

private:
    ChartEvent(Graph graph, std::int64_t pomodoros) : graph_(graph), pomodoros_(pomodoros) {}
    explicit ChartEvent(Rotation rotation) : isOrientation_(true), rotation_(rotation) {}

    bool isOrientation_ = false;
    Graph graph_ = Graph::bar;
    std::int64_t pomodoros_ = 0;
    Rotation rotation_ = Rotation::portrait;
};

}  // namespace quorvel
