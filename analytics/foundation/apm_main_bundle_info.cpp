#include "analytics/foundation/apm_main_bundle_info.h"

#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/property_list.h"

namespace analytics {

platform::Value::Dictionary APMMainBundleInfoDictionary() {
    const auto path = platform::NSBundle::mainBundle()->pathForResource("Info", "plist");
    if (!path) return {};
    const auto contents = platform::PropertyList::readFile(*path);
    if (!contents || !contents->dictionaryValue()) return {};
    return *contents->dictionaryValue();
}

}  // namespace analytics
