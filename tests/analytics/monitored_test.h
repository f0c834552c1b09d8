#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/foundation/clock.h"
#include "tests/support/temp_data_root.h"

namespace quorvel::testing {

// A fresh data root and the virtual clock. The library's monitor logs on a queue of its own; it finishes
// that work before the case ends, so no line runs into the next case or into the process's exit.
class MonitoredTest : public ::testing::Test {
protected:
    void TearDown() override { clock->runUntilIdle(); }

    TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
};

}  // namespace quorvel::testing
