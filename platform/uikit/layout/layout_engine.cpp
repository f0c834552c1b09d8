#include "platform/uikit/layout/layout_engine.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr double kZero = 1e-9;
// Points: a residual this small is rounding, not a contradiction.
constexpr double kTolerance = 1e-6;

// Adds `scale` × `from` into `into`, merging terms on the same variable and dropping those that cancel.
void addScaled(std::vector<LayoutEngine::Term>& into, const std::vector<LayoutEngine::Term>& from,
               double scale) {
    for (const auto& t : from) {
        auto it =
            std::find_if(into.begin(), into.end(), [&](const auto& u) { return u.variable == t.variable; });
        if (it == into.end()) {
            into.push_back({t.variable, t.coefficient * scale});
        } else {
            it->coefficient += t.coefficient * scale;
        }
    }
    std::erase_if(into, [](const auto& t) { return std::abs(t.coefficient) < kZero; });
}

}  // namespace

int LayoutEngine::addRect(const CGRect& current) {
    CGRect r = current.isNull() ? CGRect::zero() : current.standardized();
    current_.insert(current_.end(), {r.origin.x, r.origin.y, r.size.width, r.size.height});
    rowOfPivot_.insert(rowOfPivot_.end(), 4, -1);
    return static_cast<int>(current_.size() / 4) - 1;
}

void LayoutEngine::addEquation(std::vector<Term> terms, double constant, float priority) {
    equations_.push_back({std::move(terms), constant, priority, equations_.size()});
}

int LayoutEngine::choosePivot(const std::vector<Term>& terms) const {
    // Positions before sizes; among equals, the later rectangle, so a chain resolves towards its end.
    int best = -1;
    for (const auto& t : terms) {
        if (best < 0) {
            best = t.variable;
            continue;
        }
        bool tPosition = t.variable % 4 < 2, bestPosition = best % 4 < 2;
        if (tPosition != bestPosition) {
            if (tPosition) best = t.variable;
        } else if (t.variable > best) {
            best = t.variable;
        }
    }
    return best;
}

void LayoutEngine::substituteEverywhere(const Row& row) {
    for (auto& other : rows_) {
        auto it = std::find_if(other.terms.begin(), other.terms.end(),
                               [&](const auto& t) { return t.variable == row.pivot; });
        if (it == other.terms.end()) continue;
        double c = it->coefficient;
        other.terms.erase(it);
        addScaled(other.terms, row.terms, c);
        other.constant += c * row.constant;
    }
}

bool LayoutEngine::accept(const Equation& equation) {
    // Rewrite over the free variables: sum(free terms) = constant'.
    std::vector<Term> terms;
    double constant = equation.constant;
    for (const auto& t : equation.terms) {
        if (std::abs(t.coefficient) < kZero) continue;
        int row = rowOfPivot_[t.variable];
        if (row < 0) {
            addScaled(terms, {t}, 1);
        } else {
            addScaled(terms, rows_[row].terms, t.coefficient);
            constant -= t.coefficient * rows_[row].constant;
        }
    }
    if (terms.empty()) return std::abs(constant) < kTolerance;  // implied, or contradicting

    int pivot = choosePivot(terms);
    double pc = 0;
    Row row{pivot, {}, constant};
    for (const auto& t : terms) {
        if (t.variable == pivot) {
            pc = t.coefficient;
        } else {
            row.terms.push_back(t);
        }
    }
    for (auto& t : row.terms) t.coefficient = -t.coefficient / pc;
    row.constant = constant / pc;
    substituteEverywhere(row);
    rowOfPivot_[pivot] = static_cast<int>(rows_.size());
    rows_.push_back(std::move(row));
    return true;
}

std::vector<CGRect> LayoutEngine::solve() {
    rows_.clear();
    std::fill(rowOfPivot_.begin(), rowOfPivot_.end(), -1);
    dropped_ = 0;
    std::vector<const Equation*> ordered;
    ordered.reserve(equations_.size());
    for (const auto& e : equations_) ordered.push_back(&e);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Equation* a, const Equation* b) { return a->priority > b->priority; });
    for (const Equation* e : ordered) {
        if (!accept(*e)) ++dropped_;
    }

    std::vector<double> values = current_;
    for (const auto& row : rows_) {
        double v = row.constant;
        for (const auto& t : row.terms) v += t.coefficient * current_[t.variable];
        values[row.pivot] = v;
    }
    std::vector<CGRect> frames;
    frames.reserve(values.size() / 4);
    for (size_t i = 0; i + 3 < values.size(); i += 4) {
        frames.emplace_back(values[i], values[i + 1], values[i + 2], values[i + 3]);
    }
    return frames;
}

}  // namespace platform
