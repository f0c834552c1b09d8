#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ensembles/ensemble_state.h"
#include "platform/foundation/value.h"

namespace platform {

// One record's values as a device last changed them.
struct RecordChange {
    std::string entity;
    std::string globalIdentifier;
    RecordRevision revision;  // time and device; the hash is the receiver's to work out
    Value::Dictionary values;
};

// The changes one device exported in one merge: a property list in the device's folder of the cloud.
struct ChangeFile {
    std::string device;
    double time = 0;
    std::vector<RecordChange> changes;

    // Nothing (and why in `error`) when some value has no property-list form, e.g. a date outside
    // the years 1 to 9999.
    std::optional<std::string> serialize(std::string* error = nullptr) const;
    // None, with the reason, for anything but a complete and well-formed file.
    static std::optional<ChangeFile> parse(const std::string& contents, std::string* error);
};

// A hash of a record's values that is the same on every machine.
std::uint64_t hashOfValues(const Value::Dictionary& values);

}  // namespace platform
