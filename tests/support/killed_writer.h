#pragma once

#include <set>
#include <string>
#include <vector>

namespace quorvel::testing {

// Where a writer is killed: once it has reported `afterReports` writes, `delayMicroseconds` later, so
// the kill lands at a different moment inside the next write from one run to the next.
struct KillPoint {
    long afterReports = 1;
    long delayMicroseconds = 0;
};

// `runs` kill points drawn from `seed`: the same seed gives the same points on every machine.
std::vector<KillPoint> randomKillPoints(unsigned seed, int runs, long maxReports, long maxDelayMicroseconds);

// Starts `program` with `arguments`, reads the numbers it reports on its standard output (one a line,
// each after its write returned) and kills it with SIGKILL at `point`. Returns every number it
// reported, also those reported between the last counted one and the kill; a writer that ends on its
// own fails the test.
std::set<long> runWriterAndKill(const std::string& program, const std::vector<std::string>& arguments,
                                KillPoint point);
inline std::set<long> runWriterAndKill(const std::string& program, const std::vector<std::string>& arguments,
                                       long killAfter) {
    return runWriterAndKill(program, arguments, KillPoint{killAfter, 0});
}

// Runs `program` to its end, expecting success, and returns the numbers it reported.
std::set<long> runWriterToEnd(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace quorvel::testing
