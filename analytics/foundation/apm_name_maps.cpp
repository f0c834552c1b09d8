#include "analytics/foundation/apm_name_maps.h"

#include <strings.h>
#include <algorithm>
#include <atomic>
#include <vector>

#include "analytics/monitor/apm_monitor.h"

namespace analytics {

namespace {

std::atomic<bool> publicInterfaceClassPresent{false};

bool isDebugMode() {
    return APMMonitor::sharedInstance()->isDebugModeEnabled();
}

std::string publicAndInternal(const std::string& publicName, const std::string& internalName) {
    return publicName + " (" + internalName + ")";
}

std::string describeParameters(const APMValue::Parameters& parameters) {
    std::string text = "{\n";
    for (const auto& [name, value] : parameters) text += "    " + name + " = " + value.description() + ";\n";
    return text + "}";
}

}  // namespace

const APMNameTable& APMParameterNameAliases() {
    static const auto* table = new APMNameTable{
        {"ad_event_id", "_aeid"},
        {"ad_unit_id", "_ai"},
        {"app_in_background", "_aib"},
        {"deferred_analytics_collection", "_dac"},
        {"engagement_time_msec", "_et"},
        {"exposure_time", "_xt"},
        {"dazaraze_conversion", "_c"},
        {"dazaraze_debug", "_dbg"},
        {"dazaraze_error", "_err"},
        {"dazaraze_error_length", "_el"},
        {"dazaraze_error_value", "_ev"},
        {"dazaraze_event_origin", "_o"},
        {"dazaraze_feature_rollouts", "_ffr"},
        {"dazaraze_previous_class", "_pc"},
        {"dazaraze_previous_id", "_pi"},
        {"dazaraze_previous_screen", "_pn"},
        {"dazaraze_realtime", "_r"},
        {"dazaraze_screen", "_sn"},
        {"dazaraze_screen_class", "_sc"},
        {"dazaraze_screen_id", "_si"},
        {"va_conversion", "_c"},
        {"va_debug", "_dbg"},
        {"va_dedupe_id", "_did"},
        {"va_error", "_err"},
        {"va_error_length", "_el"},
        {"va_error_value", "_ev"},
        {"va_event_id", "_eid"},
        {"va_event_name", "_en"},
        {"va_event_origin", "_o"},
        {"va_extra_params_ct", "_epc"},
        {"va_group_name", "_gn"},
        {"va_index", "_i"},
        {"va_list_length", "_ll"},
        {"va_previous_class", "_pc"},
        {"va_previous_id", "_pi"},
        {"va_previous_screen", "_pn"},
        {"va_realtime", "_r"},
        {"va_screen", "_sn"},
        {"va_screen_class", "_sc"},
        {"va_screen_id", "_si"},
        {"message_id", "_nmid"},
        {"message_name", "_nmn"},
        {"message_time", "_nmt"},
        {"message_tracking_id", "_nmtid"},
        {"message_type", "_nmc"},
        {"message_device_time", "_ndt"},
        {"previous_app_version", "_pv"},
        {"previous_first_open_count", "_pfo"},
        {"previous_vmp_app_id", "_pvmp"},
        {"previous_os_version", "_po"},
        {"session_id", "_sid"},
        {"session_number", "_sno"},
        {"topic", "_nt"},
        {"update_with_analytics", "_uwa"},
    };
    return *table;
}

const APMNameTable& APMUserPropertyNameMap() {
    static const auto* table = new APMNameTable{
        {"dazaraze_last_notification", "_ln"}, {"first_open_after_install", "_fi"},
        {"first_open_time", "_fot"},           {"va_session_id", "_sid"},
        {"va_session_number", "_sno"},         {"last_advertising_id_reset", "_lair"},
        {"last_deep_link_referrer", "_ldl"},   {"lifetime_user_engagement", "_lte"},
        {"session_user_engagement", "_se"},    {"user_id", "_id"},
    };
    return *table;
}

void APMSetPublicInterfaceClassPresent(bool present) {
    publicInterfaceClassPresent = present;
}

bool APMIsPublicInterfaceClassPresent() {
    return publicInterfaceClassPresent;
}

std::string APMLoggableName(const std::string& name, const APMNameTable& table) {
    if (name.empty() || table.empty() || APMIsPublicName(name) || !isDebugMode() ||
        !APMIsPublicInterfaceClassPresent()) {
        return name;
    }
    const std::string* match = nullptr;
    for (const auto& [publicName, internalName] : table) {
        if (internalName != name) continue;
        match = &publicName;
        if (!publicName.starts_with("dazaraze_")) break;
    }
    return match ? publicAndInternal(*match, name) : name;
}

std::string APMLoggableEventName(const std::string& name) {
    return APMLoggableName(name, APMPublicToInternalEventNames());
}

std::string APMLoggableParameterName(const std::string& name) {
    return APMLoggableName(name, APMParameterNameAliases());
}

std::string APMLoggableUserPropertyName(const std::string& name) {
    if (name.starts_with("_exp_")) return publicAndInternal("experiment_id", name);
    return APMLoggableName(name, APMUserPropertyNameMap());
}

std::string APMLoggableParameters(const APMValue::Parameters& parameters) {
    if (!isDebugMode()) return describeParameters(parameters);
    std::vector<std::string> lines;
    lines.reserve(parameters.size());
    for (const auto& [name, value] : parameters) {
        std::string shown = value.description();
        if (name == "_err" && value.isInt64()) {
            const auto& names = APMErrorCodeNames();
            const auto codeName = names.find(value.int64Value());
            if (codeName != names.end()) shown = publicAndInternal(codeName->second, shown);
        }
        lines.push_back("    " + APMLoggableParameterName(name) + " = " + shown + ";\n");
    }
    std::sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
        return ::strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    std::string text = "{\n";
    for (const std::string& line : lines) text += line;
    return text + "}";
}

}  // namespace analytics
