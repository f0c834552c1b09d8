#include "analytics/records/apm_user_attribute.h"

#include "analytics/foundation/apm_data_type_validator.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"
#include "analytics/records/apm_upload_milliseconds.h"

namespace analytics {

std::optional<APMUserAttribute> APMUserAttribute::initWithOrigin(std::string origin, std::string name, APMValue value,
                                                                 double lastSetTimestamp) {
    using V = APMDataTypeValidator;
    if (!V::isValidInternalUserAttributeName(name, nullptr) ||
        !V::isValidInternalUserAttributeValue(value, name, nullptr)) {
        return std::nullopt;
    }
    return APMUserAttribute(std::move(origin), std::move(name), std::move(value), lastSetTimestamp);
}

std::shared_ptr<NANOMessageBase> APMUserAttribute::protoUserAttribute() const {
    using Field = apmpb_fields::UserAttribute;
    auto proto = APMPBUserAttribute::initWithBuffer();
    APMNanoSetStringField(proto.get(), Field::kName, name_);
    if (value_.isDouble()) {
        APMNanoSetDouble(proto.get(), Field::kDoubleValue, value_.doubleValue());
    } else if (value_.isInt64()) {
        APMNanoSetInt64(proto.get(), Field::kIntValue, value_.int64Value());
    } else if (const std::string* text = value_.stringValue()) {
        APMNanoSetStringField(proto.get(), Field::kStringValue, *text);
    }
    APMNanoSetInt64(proto.get(), Field::kSetTimestampMillis, APMUploadMilliseconds(lastSetTimestamp_));
    return proto;
}

}  // namespace analytics
