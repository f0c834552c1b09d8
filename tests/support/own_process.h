#pragma once

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <iostream>
#include <string>

namespace quorvel::testing {

// Runs `body` and ends the process: with status 0 when no check in it failed, else 1 after writing the
// failures to the error output (a process started for one case reports no test events of its own).
[[noreturn]] inline void runBodyThenExit(const std::function<void()>& body) {
    ::testing::TestPartResultArray results;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &results);
        body();
    }
    bool failed = false;
    for (int i = 0; i < results.size(); ++i) {
        if (!results.GetTestPartResult(i).failed()) continue;
        std::cerr << results.GetTestPartResult(i) << '\n';
        failed = true;
    }
    std::exit(failed ? 1 : 0);
}

// Runs `body` in a process of its own, this test program started afresh for the case alone, for a case
// about what a process sets up once and keeps (an audio device that does not open, say): the cases
// run before it in this process cannot have set it up already, nor does the case leave it set up for
// those after it. A failure in the body fails the case and is shown with it.
inline void inOwnProcess(const std::function<void()>& body) {
    const std::string style = GTEST_FLAG_GET(death_test_style);
    // "threadsafe" starts the program again rather than forking this process with what it holds.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(runBodyThenExit(body), ::testing::ExitedWithCode(0), "");
    GTEST_FLAG_SET(death_test_style, style);
}

}  // namespace quorvel::testing
