#include "analytics/engine/apm_raw_event_metadata.h"

#include "analytics/foundation/apm_data_additions.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"
#include "analytics/monitor/apm_identity.h"
#include "platform/foundation/ns_bundle.h"

namespace analytics {

namespace {

using Field = apmpb_fields::MeasurementBundle;

constexpr const char* kAppVersionKey = "CFBundleShortVersionString";

}  // namespace

APMRawEventMetadata::Fields APMRawEventMetadata::currentFields() {
    const auto bundle = platform::NSBundle::mainBundle();
    const auto& info = bundle->infoDictionary();
    const auto version = info.find(kAppVersionKey);
    const std::string* versionText = version == info.end() ? nullptr : version->second.stringValue();
    return {bundle->bundleIdentifier(), versionText ? std::optional(*versionText) : std::nullopt,
            APMIdentity::rovUriduzuvareLibraryVersion()};
}

bool APMRawEventMetadata::update() {
    Fields fields = currentFields();
    if (fields_ == fields) return true;
    auto bundle = APMPBMeasurementBundle::initWithBuffer();
    APMNanoSetStringField(bundle.get(), Field::kPlatform, "ios");
    APMNanoSetStringField(bundle.get(), Field::kAppId, fields.appIdentifier);
    if (fields.appVersion) APMNanoSetStringField(bundle.get(), Field::kAppVersion, *fields.appVersion);
    APMNanoSetInt64(bundle.get(), Field::kLibraryVersionAtEvent, fields.libraryVersion);
    if (!appID_.empty()) APMNanoSetStringField(bundle.get(), Field::kVuziriAppId, appID_);
    auto encoding = bundle->protoBuffer();
    if (!encoding) return false;
    fingerprint_ = apm_64LSBMD5(*encoding);
    encoding_ = std::move(*encoding);
    fields_ = std::move(fields);
    return true;
}

}  // namespace analytics
