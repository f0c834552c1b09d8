#include "analytics/storage/apm_queued_bundle.h"

#include <algorithm>
#include <limits>

#include "analytics/messages/nano_field_access.h"
#include "platform/vuziriutilities/vul_gzip.h"

namespace analytics {

using Bundle = apmpb_fields::MeasurementBundle;

std::optional<APMQueuedBundle> APMQueuedBundleFromRecord(const platform::Value::Dictionary& record,
                                                         APMErrorOut error) {
    if (!APMCheckCondition(!record.empty(), error, 3, "Cannot process empty rowData")) return std::nullopt;
    const auto data = record.find("data");
    const platform::Value::Data* compressed = data == record.end() ? nullptr : data->second.dataValue();
    if (!APMCheckCondition(compressed && !compressed->empty(), error, 3,
                           "Cannot decompress an empty bundle data"))
        return std::nullopt;
    std::shared_ptr<platform::NSError> inflateError;
    const auto encoding = platform::vul_dataByInflatingGzippedData(*compressed, &inflateError);
    if (encoding.empty()) {
        APMSetError(
            error, 2,
            inflateError ? inflateError->localizedDescription() : "Decompressed bundle data is empty");
        return std::nullopt;
    }
    auto bundle = APMPBMeasurementBundle::initWithBuffer(encoding);
    if (!APMCheckNotNil(bundle, error, 2, "Unable to parse bundle from decompressed data"))
        return std::nullopt;

    const auto retryCount = record.find("retry_count");
    if (retryCount != record.end() && retryCount->second.intValue().value_or(0) >= 1) {
        // Counts stop at the largest 32-bit number; a larger stored one is read as that.
        const auto count =
            std::min<std::int64_t>(*retryCount->second.intValue(), std::numeric_limits<std::int32_t>::max());
        APMNanoSetInt32(bundle.get(), Bundle::kUploadRetryCount, static_cast<std::int32_t>(count));
    }
    const auto rowID = record.find("rowid");
    if (rowID == record.end() || !rowID->second.intValue()) return std::nullopt;
    return APMQueuedBundle{std::move(bundle), *rowID->second.intValue(), encoding.size()};
}

}  // namespace analytics
