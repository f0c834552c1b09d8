// Starts the notification centre from arbitrary bytes as its pending-requests file, as a damaged disk or
// a hand edit may leave it: it lists the requests, stores one more and arms its clock without a crash or
// a spin, and a second start lists the very same requests (nothing was lost in the store between).
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_folder.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"
#include "platform/usernotifications/un_time_interval_notification_trigger.h"
#include "platform/usernotifications/un_user_notification_center.h"

namespace {

using platform::UNUserNotificationCenter;

struct Listed {
    std::string identifier, title, body;
    bool operator==(const Listed&) const = default;
};

std::vector<Listed> pendingOf(UNUserNotificationCenter& center, platform::VirtualClock& clock) {
    std::vector<Listed> listed;
    center.getPendingNotificationRequestsWithCompletionHandler([&](auto requests) {
        for (const auto& request : requests)
            listed.push_back({request->identifier(), request->content().title(), request->content().body()});
    });
    clock.runUntilIdle();
    return listed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const quorvel::fuzzing::FuzzFolder scratch("pending-notifications-fuzz");
    static const auto clock = [] {
        platform::DataRoot::setPath(scratch.path());
        return platform::VirtualClock::install();
    }();
    std::filesystem::remove_all(scratch.path() / "Library");
    const auto file = platform::PendingNotificationStore::file();
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    platform::Console::Capture quiet;
    const auto first = std::make_shared<UNUserNotificationCenter>();
    pendingOf(*first, *clock);
    platform::UNMutableNotificationContent content;
    content.setTitle("Fuzz");
    content.setBody("one more");
    bool added = false;
    first->addNotificationRequest(
        platform::UNNotificationRequest::requestWithIdentifier(
            "fuzz-new", content, platform::UNTimeIntervalNotificationTrigger::triggerWithTimeInterval(60, false)),
        [&](auto error) { added = !error; });
    const auto listed = pendingOf(*first, *clock);
    if (!added || std::ranges::count(listed, Listed{"fuzz-new", "Fuzz", "one more"}) != 1) std::abort();

    const auto second = std::make_shared<UNUserNotificationCenter>();
    if (pendingOf(*second, *clock) != listed) std::abort();
    return 0;
}
