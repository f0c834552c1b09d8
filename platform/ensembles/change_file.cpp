#include "platform/ensembles/change_file.h"

#include <cstdio>

#include "platform/foundation/property_list.h"

namespace platform {

namespace {

void mix(std::uint64_t& hash, const std::string& text) {
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    hash ^= 0xff;  // separates "ab","c" from "a","bc"
    hash *= 1099511628211ull;
}

std::string canonical(const Value& value) {
    char number[40];
    switch (value.kind()) {
        case Value::Kind::Null:
            return "n";
        case Value::Kind::Int:
        case Value::Kind::UInt:
            if (auto i = value.intValue()) return std::string("i") + std::to_string(*i);
            return std::string("u") + std::to_string(*value.uintValue());
        case Value::Kind::Double:
            std::snprintf(number, sizeof number, "d%.17g", *value.doubleValue());
            return number;
        case Value::Kind::Date:
            std::snprintf(number, sizeof number, "t%.17g",
                          value.dateValue()->timeIntervalSinceReferenceDate());
            return number;
        case Value::Kind::String:
            return std::string("s") + *value.stringValue();
        case Value::Kind::Bool:
            return *value.boolValue() ? "b1" : "b0";
        default:
            return "?";
    }
}

const std::string* stringAt(const Value::Dictionary& dictionary, const std::string& key) {
    const auto found = dictionary.find(key);
    return found == dictionary.end() ? nullptr : found->second.stringValue();
}

std::optional<double> timeAt(const Value::Dictionary& dictionary, const std::string& key) {
    const auto found = dictionary.find(key);
    if (found == dictionary.end()) return std::nullopt;
    if (auto date = found->second.dateValue()) return date->timeIntervalSinceReferenceDate();
    return std::nullopt;
}

std::optional<ChangeFile> refuse(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return std::nullopt;
}

}  // namespace

std::uint64_t hashOfValues(const Value::Dictionary& values) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const auto& [key, value] : values) {
        if (value.isNull()) continue;  // a null never travels, so it must not make a difference here
        mix(hash, key);
        mix(hash, canonical(value));
    }
    return hash;
}

std::optional<std::string> ChangeFile::serialize(std::string* error) const {
    Value::Array list;
    list.reserve(changes.size());
    for (const auto& change : changes) {
        list.push_back(Value::Dictionary{{"entity", change.entity},
                                         {"id", change.globalIdentifier},
                                         {"time", NSDate(change.revision.time)},
                                         {"device", change.revision.device},
                                         {"values", change.values}});
    }
    return PropertyList::serializeBinary(Value::Dictionary{
        {"format", 1}, {"device", device}, {"time", NSDate(time)}, {"changes", std::move(list)}}, error);
}

std::optional<ChangeFile> ChangeFile::parse(const std::string& contents, std::string* error) {
    std::string reason;
    const auto value = PropertyList::parse(contents, &reason);
    if (!value) return refuse(error, reason);
    // An older machine may have written XML with text that is not UTF-8: nothing written here could
    // carry it on, so the file is refused as a whole rather than half imported.
    if (!PropertyList::isWritable(*value, &reason)) return refuse(error, reason);
    const auto* root = value->dictionaryValue();
    if (!root) return refuse(error, "not a dictionary");
    ChangeFile file;
    const auto* device = stringAt(*root, "device");
    const auto time = timeAt(*root, "time");
    const auto format = root->find("format");
    const auto changes = root->find("changes");
    if (!device || device->empty() || !time || format == root->end() || format->second.intValue() != 1 ||
        changes == root->end() || !changes->second.arrayValue())
        return refuse(error, "missing or unknown header");
    file.device = *device;
    file.time = *time;
    for (const auto& item : *changes->second.arrayValue()) {
        const auto* change = item.dictionaryValue();
        if (!change) return refuse(error, "a change that is not a dictionary");
        const auto* entity = stringAt(*change, "entity");
        const auto* id = stringAt(*change, "id");
        const auto* by = stringAt(*change, "device");
        const auto at = timeAt(*change, "time");
        const auto values = change->find("values");
        if (!entity || !id || id->empty() || !by || !at || values == change->end() ||
            !values->second.dictionaryValue())
            return refuse(error, "an incomplete change");
        file.changes.push_back(
            RecordChange{*entity, *id, RecordRevision{0, *at, *by}, *values->second.dictionaryValue()});
    }
    return file;
}

}  // namespace platform
