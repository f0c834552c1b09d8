#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "analytics/messages/proto/apm_messages.h"
#include "analytics/monitor/apm_error_additions.h"
#include "platform/foundation/value.h"

namespace analytics {

// One bundle of the upload queue: the decoded bundle (its retry count written into it when 1 or more),
// its row, and the size of its encoding before compression, which upload size limits count.
struct APMQueuedBundle {
    std::shared_ptr<APMPBMeasurementBundle> bundle;
    std::int64_t rowID = 0;
    std::size_t uncompressedSize = 0;
};

// A queue row (rowid, data, retry_count) inflated and decoded; nothing for a row without its rowid.
std::optional<APMQueuedBundle> APMQueuedBundleFromRecord(const platform::Value::Dictionary& record,
                                                         APMErrorOut error);

}  // namespace analytics
