#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"

namespace platform {

// Solves the frames of a few rectangles tied together by linear equations with priorities.
//
// Each rectangle has four unknowns: min x, min y, width and height. Equations are taken from the
// highest priority down (in the order they were added within one priority): one that contradicts the
// equations taken before it is left out, one that they already imply changes nothing. Whatever is still
// free at the end keeps its current value, preferring to keep sizes and move positions, so a view with
// only a width constraint stays where it was.
class LayoutEngine {
public:
    enum Component { kMinX = 0, kMinY = 1, kWidth = 2, kHeight = 3 };
    struct Term {
        int variable;
        double coefficient;
    };

    // Returns the rectangle's index; its variables are 4·index + Component.
    int addRect(const CGRect& current);
    static int variable(int rect, Component component) { return 4 * rect + component; }

    // sum(coefficient · variable) = constant, at `priority` (1000 is required).
    void addEquation(std::vector<Term> terms, double constant, float priority);

    // Solves and returns each rectangle's frame, in the order they were added.
    std::vector<CGRect> solve();
    // Equations left out by the last solve because they contradicted stronger ones.
    size_t droppedCount() const { return dropped_; }

private:
    struct Equation {
        std::vector<Term> terms;
        double constant;
        float priority;
        size_t order;
    };
    // pivot = sum(terms over free variables) + constant
    struct Row {
        int pivot;
        std::vector<Term> terms;
        double constant;
    };

    bool accept(const Equation& equation);
    void substituteEverywhere(const Row& row);
    int choosePivot(const std::vector<Term>& terms) const;

    std::vector<double> current_;
    std::vector<Equation> equations_;
    std::vector<Row> rows_;
    std::vector<int> rowOfPivot_;  // variable → row index, or -1 while the variable is free
    size_t dropped_ = 0;
};

}  // namespace platform
