#pragma once

#include <set>
#include <string>
#include <vector>

namespace quorvel::testing {

// Starts `program` with `arguments`, reads the numbers it reports on its standard output (one a line,
// each after its write returned) and kills it with SIGKILL once it has reported `killAfter` of them,
// in the middle of its next write. Returns every number it reported; a writer that ends on its own
// fails the test.
std::set<long> runWriterAndKill(const std::string& program, const std::vector<std::string>& arguments,
                                long killAfter);

}  // namespace quorvel::testing
