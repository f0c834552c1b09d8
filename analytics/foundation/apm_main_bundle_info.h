#pragma once

#include "platform/foundation/value.h"

namespace analytics {

// The main bundle's information property list (its Info.plist); empty when missing or unreadable.
platform::Value::Dictionary APMMainBundleInfoDictionary();

}  // namespace analytics
