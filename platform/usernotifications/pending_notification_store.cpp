#include "platform/usernotifications/pending_notification_store.h"

#include <system_error>

#include "platform/foundation/console.h"
#include "platform/foundation/damaged_file.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/iso8601_date.h"
#include "platform/foundation/property_list.h"
#include "platform/foundation/value.h"
#include "platform/usernotifications/un_calendar_notification_trigger.h"
#include "platform/usernotifications/un_time_interval_notification_trigger.h"

namespace platform {

namespace {

constexpr std::int64_t kFormat = 1;

struct CalendarField {
    const char* key;
    std::optional<std::int64_t> NSDateComponents::*field;
};
constexpr CalendarField kCalendarFields[] = {
    {"year", &NSDateComponents::year},     {"month", &NSDateComponents::month},
    {"day", &NSDateComponents::day},       {"weekday", &NSDateComponents::weekday},
    {"hour", &NSDateComponents::hour},     {"minute", &NSDateComponents::minute},
    {"second", &NSDateComponents::second},
};

Value archiveTrigger(const UNNotificationTrigger& trigger) {
    Value::Dictionary out{{"repeats", Value(trigger.repeats())}};
    if (auto interval = dynamic_cast<const UNTimeIntervalNotificationTrigger*>(&trigger)) {
        out["kind"] = Value("timeInterval");
        out["timeInterval"] = Value(interval->timeInterval());
    } else if (auto calendar = dynamic_cast<const UNCalendarNotificationTrigger*>(&trigger)) {
        out["kind"] = Value("calendar");
        for (const auto& [key, field] : kCalendarFields) {
            if (const auto& value = calendar->dateComponents().*field) out[key] = Value(*value);
        }
    }
    return Value(std::move(out));
}

// A date past the last one the file can hold (an interval of 10^12 s) is kept as that one: it never
// comes anyway, and one such request must not keep the others from being stored.
NSDate storableDate(NSDate date) {
    static const NSDate latest = *Iso8601Date::parse("9999-12-31T23:59:59Z");
    return date > latest ? latest : date;
}

Value archive(const PendingNotification& entry) {
    const auto& request = *entry.request;
    Value::Dictionary out{{"identifier", Value(request.identifier())},
                          {"title", Value(request.content().title())},
                          {"body", Value(request.content().body())},
                          {"fireDate", Value(storableDate(entry.fireDate))}};
    if (const auto& sound = request.content().sound())
        out["sound"] = Value(sound->isDefault() ? "" : sound->name());
    if (request.trigger()) out["trigger"] = archiveTrigger(*request.trigger());
    return Value(std::move(out));
}

// The entry under `key`, or null.
const Value* entryIn(const Value::Dictionary& dictionary, const char* key) {
    const auto found = dictionary.find(key);
    return found == dictionary.end() ? nullptr : &found->second;
}

const std::string* stringIn(const Value::Dictionary& dictionary, const char* key) {
    const Value* entry = entryIn(dictionary, key);
    return entry ? entry->stringValue() : nullptr;
}

// Null for an entry of a kind this build does not know.
std::shared_ptr<UNNotificationTrigger> unarchiveTrigger(const Value::Dictionary& dictionary) {
    const Value* repeats = entryIn(dictionary, "repeats");
    const auto* kind = stringIn(dictionary, "kind");
    if (!repeats || repeats->kind() != Value::Kind::Bool || !kind) return nullptr;
    const bool repeating = repeats->boolValue().value_or(false);
    if (*kind == "timeInterval") {
        const Value* interval = entryIn(dictionary, "timeInterval");
        if (!interval || interval->kind() != Value::Kind::Double) return nullptr;
        return UNTimeIntervalNotificationTrigger::triggerWithTimeInterval(*interval->doubleValue(),
                                                                          repeating);
    }
    if (*kind == "calendar") {
        NSDateComponents components;
        for (const auto& [key, field] : kCalendarFields) {
            if (const auto found = dictionary.find(key); found != dictionary.end()) {
                const auto value = found->second.intValue();
                if (!value) return nullptr;
                components.*field = *value;
            }
        }
        return UNCalendarNotificationTrigger::triggerWithDateMatchingComponents(components, repeating);
    }
    return nullptr;
}

std::optional<PendingNotification> unarchive(const Value& value) {
    const auto* dictionary = value.dictionaryValue();
    if (!dictionary) return std::nullopt;
    const auto* identifier = stringIn(*dictionary, "identifier");
    const auto* title = stringIn(*dictionary, "title");
    const auto* body = stringIn(*dictionary, "body");
    const Value* fireDate = entryIn(*dictionary, "fireDate");
    if (!identifier || !title || !body || !fireDate || fireDate->kind() != Value::Kind::Date)
        return std::nullopt;
    UNMutableNotificationContent content;
    content.setTitle(*title);
    content.setBody(*body);
    if (dictionary->contains("sound")) {
        const auto* sound = stringIn(*dictionary, "sound");
        if (!sound) return std::nullopt;
        content.setSound(sound->empty() ? UNNotificationSound::defaultSound()
                                        : UNNotificationSound::soundNamed(*sound));
    }
    std::shared_ptr<UNNotificationTrigger> trigger;
    if (const auto found = dictionary->find("trigger"); found != dictionary->end()) {
        const auto* triggerDictionary = found->second.dictionaryValue();
        trigger = triggerDictionary ? unarchiveTrigger(*triggerDictionary) : nullptr;
        if (!trigger) return std::nullopt;
    }
    return PendingNotification{UNNotificationRequest::requestWithIdentifier(*identifier, content, trigger),
                               *fireDate->dateValue()};
}

}  // namespace

std::filesystem::path PendingNotificationStore::file() {
    return DataRoot::library() / "UserNotifications" / "PendingRequests.plist";
}

std::vector<PendingNotification> PendingNotificationStore::load() {
    const auto path = file();
    std::error_code code;
    if (!std::filesystem::exists(path, code)) return {};
    std::string problem;
    const auto contents = PropertyList::readFile(path, &problem);
    const auto* top = contents ? contents->dictionaryValue() : nullptr;
    const auto requests = top && top->contains("requests") ? top->at("requests").arrayValue() : nullptr;
    if (!requests) {
        if (contents) problem = "no list of requests";
        DamagedFile::setAside(path, "UNUserNotificationCenter: the pending requests file", problem,
                              "no request is pending");
        return {};
    }
    std::vector<PendingNotification> pending;
    for (const auto& entry : *requests) {
        // A request an earlier version wrote with text that is not UTF-8 could not be written on, and
        // would stop every later save of the others.
        if (auto request = PropertyList::isWritable(entry) ? unarchive(entry) : std::nullopt) {
            pending.push_back(std::move(*request));
        } else {
            Console::print("UNUserNotificationCenter: skipped a pending request that cannot be read");
        }
    }
    return pending;
}

bool PendingNotificationStore::save(const std::vector<PendingNotification>& pending) {
    Value::Array requests;
    for (const auto& entry : pending) requests.push_back(archive(entry));
    const Value contents(
        Value::Dictionary{{"format", Value(kFormat)}, {"requests", Value(std::move(requests))}});
    if (PropertyList::writeFileAtomically(file(), contents)) return true;
    Console::print("UNUserNotificationCenter: cannot write " + file().string());
    return false;
}

}  // namespace platform
