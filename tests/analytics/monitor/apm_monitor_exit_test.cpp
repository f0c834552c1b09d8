#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "analytics/engine/apm_measurement.h"
#include "analytics/messages/apmpb_flag.h"
#include "analytics/messages/apmpb_flag_monitor.h"
#include "analytics/monitor/apm_monitor.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_process_info.h"
#include "platform/foundation/ns_user_defaults.h"
#include "tests/support/own_process.h"

using namespace analytics;

// The process may end while the monitor still has its start-up work and samples queued; whatever that
// work uses must still be alive then (the sanitizer build reports it otherwise). The case runs in a
// process of its own and ends it without waiting, so the queue runs into the exit. Its data root is one
// folder in the working directory, reused by every run, since the queue may still write there after
// anything the case could do to remove it.
TEST(MonitorAtExit, QueuedWorkMayRunIntoTheExit) {
    quorvel::testing::inOwnProcess([] {
        ::unsetenv("QUORVEL_STORE_INSTALLATION");
        platform::NSProcessInfo::processInfo().setArguments({"quorvel"});
        const auto root = std::filesystem::current_path() / "monitor-at-exit-root";
        std::filesystem::remove_all(root);
        platform::DataRoot::setPath(root);
        platform::NSUserDefaults::resetAllForTesting();

        auto monitor = APMMeasurement::monitor();
        for (int n = 0; n < 300; ++n) monitor->logWithLevel(5, 1, "queued at exit " + std::to_string(n % 7), n);
        SUCCEED();
    });
}

// Flags are built, and their failures reported, on background queues too.
TEST(MonitorAtExit, FlagReportsMayRunIntoTheExit) {
    quorvel::testing::inOwnProcess([] {
        const std::string capture(64, 'x');  // a sink too large for the function's inline storage
        APMPBFlagMonitor::setLogSink([capture](int, int, const std::string&, const std::string&) {});
        std::thread([] {
            for (;;) APMPBFlagMake(std::monostate{}, NanoNumber::withInt(1));
        }).detach();
        SUCCEED();
    });
}
