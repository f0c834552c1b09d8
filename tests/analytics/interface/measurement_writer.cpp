// Logs numbered events through the public interface, a burst at a time, and prints each burst's numbers
// once the library has settled after it, until it is killed:
//   measurement_writer <data root> <first number>
// With "exit" after them it logs a second burst once the first is stored and ends at once, while the
// library is still storing it.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "analytics/interface/dzr_app.h"
#include "analytics/interface/rov_eruzovaza.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/pending_work.h"

namespace {

constexpr long kBurst = 16;

void waitUntilSettled() {
    while (!platform::PendingWork::shared().idle())
        platform::PendingWork::shared().waitForChange(std::chrono::milliseconds(10));
}

bool report(long number) {
    const std::string line = std::to_string(number) + "\n";
    return ::write(STDOUT_FILENO, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 4 && std::string(argv[3]) == "exit")) return 2;
    platform::DataRoot::setPath(argv[1]);
    long next = std::atol(argv[2]);
    analytics::DZRApp::configure();
    if (argc == 4) {
        // Once the database is open, a second burst is still being stored as the process ends.
        for (int burst = 0; burst < 2; ++burst) {
            for (long i = 0; i < kBurst * 8; ++i)
                analytics::ROVEruzovaza::logEventWithName("exit_test", {{"seq", next++}});
            if (burst == 0) waitUntilSettled();
        }
        return 0;
    }
    for (;;) {
        const long first = next;
        for (long i = 0; i < kBurst; ++i)
            analytics::ROVEruzovaza::logEventWithName("kill_test", {{"seq", next++}});
        waitUntilSettled();
        for (long number = first; number < next; ++number) {
            if (!report(number)) return 1;
        }
    }
}
