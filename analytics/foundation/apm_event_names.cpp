#include "analytics/foundation/apm_event_names.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include "analytics/monitor/apm_monitor.h"

namespace analytics {

namespace {

constexpr std::array<std::string_view, 20> kEventsAcceptingItems = {"add_payment_info",
                                                                    "add_shipping_info",
                                                                    "add_to_cart",
                                                                    "add_to_wishlist",
                                                                    "begin_checkout",
                                                                    "purchase",
                                                                    "refund",
                                                                    "remove_from_cart",
                                                                    "select_item",
                                                                    "select_promotion",
                                                                    "view_cart",
                                                                    "view_item",
                                                                    "view_item_list",
                                                                    "view_promotion",
                                                                    "ecommerce_purchase",
                                                                    "checkout_progress",
                                                                    "purchase_refund",
                                                                    "select_content",
                                                                    "set_checkout_option",
                                                                    "view_search_results"};

constexpr std::array<std::string_view, 33> kStandardItemParameterNames = {
    "affiliation",     "coupon",         "creative_name",
    "creative_slot",   "currency",       "discount",
    "index",           "item_id",        "item_brand",
    "item_category",   "item_category2", "item_category3",
    "item_category4",  "item_category5", "item_list_name",
    "item_list_id",    "item_name",      "item_variant",
    "location_id",     "payment_type",   "price",
    "promotion_id",    "promotion_name", "quantity",
    "shipping",        "shipping_tier",  "tax",
    "transaction_id",  "value",          "checkout_step",
    "checkout_option", "item_list",      "item_location_id"};

constexpr std::array<std::string_view, 5> kRevenueEventNames = {"ecommerce_purchase", "_f", "_iap",
                                                                "purchase", "refund"};

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

const APMNameTable& APMPublicToInternalEventNames() {
    // Never destroyed: a thread may still look names up while the process exits.
    static const auto* table = new APMNameTable{
        {"adunit_exposure", "_xu"},
        {"ad_activeview", "_aa"},
        {"ad_click", "_ac"},
        {"ad_exposure", "_xa"},
        {"ad_impression", "_ai"},
        {"ad_query", "_aq"},
        {"ad_reward", "_ar"},
        {"app_background", "_ab"},
        {"app_clear_data", "_cd"},
        {"app_exception", "_ae"},
        {"app_remove", "_ui"},
        {"app_store_refund", "_asr"},
        {"app_store_subscription_cancel", "_asse"},
        {"app_store_subscription_convert", "_assc"},
        {"app_store_subscription_renew", "_assr"},
        {"app_update", "_au"},
        {"app_upgrade", "_ug"},
        {"error", "_err"},
        {"dazaraze_campaign", "_cmp"},
        {"first_open", "_f"},
        {"first_visit", "_v"},
        {"va_campaign", "_cmp"},
        {"va_extra_parameter", "_ep"},
        {"in_app_purchase", "_iap"},
        {"notification_dismiss", "_nd"},
        {"notification_foreground", "_nf"},
        {"notification_open", "_no"},
        {"notification_receive", "_nr"},
        {"os_update", "_ou"},
        {"screen_view", "_vs"},
        {"session_start", "_s"},
        {"session_start_with_rollout", "_ssr"},
        {"user_engagement", "_e"},
    };
    return *table;
}

const APMNameTable& APMInternalToPublicEventNames() {
    static const auto* table = [] {
        auto* inverse = new APMNameTable;
        for (const auto& [publicName, internalName] : APMPublicToInternalEventNames()) {
            // Of the two public names of "_cmp" the inverse keeps the "va_" one.
            auto [entry, added] = inverse->emplace(internalName, publicName);
            if (!added && publicName.starts_with("va_")) entry->second = publicName;
        }
        return inverse;
    }();
    return *table;
}

const APMNameTable& APMAdImpressionEventNames() {
    static const auto* table = new APMNameTable{{"ad_impression", "_ai"}};
    return *table;
}

const std::unordered_map<std::int64_t, std::string>& APMErrorCodeNames() {
    static const auto* table = new std::unordered_map<std::int64_t, std::string>{
        {0, "NoError"},
        {1, "InvalidVMPAppID"},
        {2, "InvalidEventName"},
        {3, "InvalidParameterName"},
        {4, "InvalidParameterValue"},
        {5, "ParameterLimitReached"},
        {6, "InvalidUserPropertyName"},
        {7, "UserPropertyValueTooLong"},
        {8, "EventLimitReached"},
        {9, "UserPropertyLimitReached"},
        {10, "ConversionEventLimitReached"},
        {11, "EventIsBlocked"},
        {12, "UserPropertyIsBlocked"},
        {13, "EventNameIsReserved"},
        {14, "ParameterNameIsReserved"},
        {15, "UserPropertyNameIsReserved"},
        {16, "PublicEventLimitReached"},
        {17, "TooManyExtraParamEvents"},
        {18, "ValueIsNotNumeric"},
        {19, "CurrencyCodeIsMissingOrInvalid"},
        {20, "InvalidArrayParamName"},
        {21, "InvalidArrayParamEventName"},
        {22, "InvalidArrayParamNesting"},
        {23, "CustomParamsInArrayElement"},
    };
    return *table;
}

bool APMIsPublicName(const std::string& name) {
    if (name.empty()) {
        APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::SilentError, 18003,
                                                   "Cannot check the name. Name is empty");
        return false;
    }
    return name.front() != '_';
}

bool APMIsErrorEvent(const std::string& eventName) {
    if (eventName.empty()) {
        APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::SilentError, 18004,
                                                   "Cannot check the event name. Name is empty");
        return false;
    }
    return eventName == "_err";
}

bool APMIsNotErrorEventName(const std::string& name) {
    return name != "_err";
}

bool APMIsSubscriptionEvent(const std::string& eventName, const APMValue::Parameters& parameters) {
    if (eventName == "_assc" || eventName == "_assr") return true;
    if (eventName != "_iap") return false;
    const auto subscription = parameters.find("subscription");
    return subscription != parameters.end() && subscription->second.int64Value() == 1;
}

bool APMEventAcceptsItems(const std::string& eventName) {
    return contains(kEventsAcceptingItems, eventName);
}

bool APMIsStandardItemParameterName(const std::string& name) {
    return contains(kStandardItemParameterNames, name);
}

bool APMIsRevenueEventName(const std::string& eventName) {
    return contains(kRevenueEventNames, eventName);
}

std::int32_t APMEventItemCount(const APMValue::Parameters* parameters) {
    if (!parameters) return 0;
    std::size_t count = 0;
    for (const auto& [name, value] : *parameters) {
        if (const APMValue::Array* array = value.arrayValue()) count += array->size();
    }
    return static_cast<std::int32_t>(std::min<std::size_t>(count, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace analytics
