#include "analytics/foundation/apm_application_state.h"

#include "analytics/foundation/apm_string_additions.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_process_info.h"

namespace analytics {

bool APMIsActivePrewarmLaunch() {
    const auto value = platform::NSProcessInfo::processInfo().environmentValue("ActivePrewarm");
    return value && apm_boolValue(*value);
}

bool APMAppUsesSceneManifest() {
    return platform::NSBundle::mainBundle()->infoDictionary().contains("UIApplicationSceneManifest");
}

}  // namespace analytics
