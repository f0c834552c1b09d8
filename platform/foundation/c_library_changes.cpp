#include "platform/foundation/c_library_changes.h"

#include <algorithm>
#include <array>
#include <optional>

namespace platform {

namespace {

using Answer = CLibraryChanges::Answer;
using Change = CLibraryChanges::Change;

constexpr std::time_t kDay = 86'400;

Answer answerAt(std::time_t instant) {
    std::tm local{};
    if (!localtime_r(&instant, &local)) return {0, false};
    return {local.tm_gmtoff, local.tm_isdst > 0};
}

// Days from 1970-01-01 to 1 January of `year`.
std::time_t daysToYear(long year) {
    const long before = year - 1;
    const long leapDays = before / 4 - before / 100 + before / 400 - (1969 / 4 - 1969 / 100 + 1969 / 400);
    return (year - 1970) * 365 + leapDays;
}

bool isLeap(long year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

constexpr std::size_t kYearKinds = 28;

// A rule places its changes by the weekday the year starts on and whether it is a leap year: years alike
// in both change at the same moments after their start. Before 1970 the C library places them as in
// 1970, so those years are kinds of their own.
std::size_t kindOf(long year) {
    const std::time_t days = daysToYear(year);
    const auto weekday = static_cast<std::size_t>(((days + 4) % 7 + 7) % 7);
    return (year < 1970 ? 14 : 0) + weekday * 2 + (isLeap(year) ? 1 : 0);
}

long yearOf(std::time_t instant) {
    long year = 1970 + static_cast<long>(instant / (kDay * 366));
    while (daysToYear(year + 1) * kDay <= instant) ++year;
    while (daysToYear(year) * kDay > instant) --year;
    return year;
}

// A year as the C library answered it: its first answer, then its changes counted from its start.
struct YearPattern {
    Answer atStart;
    std::vector<Change> changes;
};

class Search {
public:
    Search(std::time_t first, std::time_t step) : found_{{first, answerAt(first)}}, step_(step) {}

    // Notes the answer at `instant`, known to be the last answer until just before it.
    void noteAt(std::time_t instant) {
        if (const Answer answer = answerAt(instant); answer != found_.back().answer)
            found_.push_back({instant, answer});
    }

    // Samples a step apart from `from` to `to`, finding each change between two samples to the second.
    void walk(std::time_t from, std::time_t to) {
        std::time_t low = from;
        while (low < to) {
            const std::time_t next = std::min(low + step_, to);
            // More than one change may lie between two samples.
            while (answerAt(next) != found_.back().answer) {
                std::time_t high = next;
                while (high - low > 1) {
                    const std::time_t middle = low + (high - low) / 2;
                    (answerAt(middle) == found_.back().answer ? low : high) = middle;
                }
                found_.push_back({high, answerAt(high)});
                low = high;
            }
            low = next;
        }
    }

    // Walks the year from `start` to just before `end` and returns what it found there.
    YearPattern walkYear(std::time_t start, std::time_t end) {
        noteAt(start);
        const std::size_t before = found_.size();
        YearPattern pattern{found_.back().answer, {}};
        walk(start, end - 1);
        for (std::size_t i = before; i < found_.size(); ++i)
            pattern.changes.push_back({found_[i].at - start, found_[i].answer});
        return pattern;
    }

    // Takes the year from `start` to just before `end` to change as `pattern` says, when the C library
    // agrees at each change and within each stretch between them.
    bool repeatYear(const YearPattern& pattern, std::time_t start, std::time_t end) {
        std::vector<Change> year{{start, pattern.atStart}};
        for (const Change& change : pattern.changes) year.push_back({start + change.at, change.answer});
        for (std::size_t i = 0; i < year.size(); ++i) {
            const std::time_t stretchEnd = i + 1 < year.size() ? year[i + 1].at : end;
            for (std::time_t probe :
                 {year[i].at, year[i].at + (stretchEnd - year[i].at) / 2, stretchEnd - 1}) {
                if (answerAt(probe) != year[i].answer) return false;
            }
        }
        for (const Change& change : year) {
            if (change.answer != found_.back().answer) found_.push_back(change);
        }
        return true;
    }

    std::vector<Change> take() { return std::move(found_); }

private:
    std::vector<Change> found_;
    std::time_t step_;
};

}  // namespace

std::vector<Change> CLibraryChanges::between(std::time_t first, std::time_t last,
                                             const std::vector<std::time_t>& fileTransitions,
                                             std::time_t step) {
    Search search(first, step);
    // Between the file's own transitions the C library's answer stands still.
    std::time_t ruleFrom = first;
    for (const std::time_t transition : fileTransitions) {
        if (transition <= first) continue;
        if (transition > last) break;
        search.noteAt(transition);
        ruleFrom = transition;
    }
    if (!fileTransitions.empty() && fileTransitions.back() > last) ruleFrom = last;

    long year = yearOf(ruleFrom) + 1;
    search.walk(ruleFrom, std::min(last, daysToYear(year) * kDay));
    std::array<std::optional<YearPattern>, kYearKinds> patterns;
    for (; daysToYear(year) * kDay < last; ++year) {
        const std::time_t start = daysToYear(year) * kDay;
        const std::time_t end = std::min(last, daysToYear(year + 1) * kDay);
        std::optional<YearPattern>& pattern = patterns[kindOf(year)];
        if (!pattern || !search.repeatYear(*pattern, start, end)) pattern = search.walkYear(start, end);
    }
    search.noteAt(last);
    return search.take();
}

}  // namespace platform
