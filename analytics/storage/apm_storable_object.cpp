#include "analytics/storage/apm_storable_object.h"

namespace analytics {

platform::Value APMStorableObjectFromValue(const APMValue& value) {
    if (const std::string* text = value.stringValue()) return *text;
    if (value.isDouble()) return value.doubleValue();
    return value.int64Value();
}

}  // namespace analytics
