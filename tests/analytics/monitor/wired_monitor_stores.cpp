// The monitor tests make their monitors directly; this program hands them the library's stores first,
// as the library does when it starts.
#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_user_defaults.h"

namespace {

[[maybe_unused]] const bool storesWired =
    (analytics::APMMonitor::wireStores(&analytics::APMUserDefaults::monitorStores), true);

}  // namespace
