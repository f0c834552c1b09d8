#pragma once

#include <string>

#include "analytics/foundation/apm_data_additions.h"
#include "analytics/records/apm_event.h"

namespace analytics {

// An event as its raw-event row holds it: the bytes of its `data` column (APMRawEventBlob), its name,
// its time and whether it is real-time. Made from the record on the thread that made the record, while
// its parameters are still in that thread's caches, so storing it reads none of them again.
struct APMRawEventRow {
    explicit APMRawEventRow(const APMEvent& event);

    APMBytes data;
    std::string name;
    double timestamp;
    bool isRealtime;
};

}  // namespace analytics
