#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/coredata/ns_managed_object.h"
#include "platform/foundation/ns_date.h"

namespace quorvel {

// One stored focus session: when it was stored, its length in whole minutes, its SessionType raw value.
class Session : public platform::NSManagedObject {
public:
    using NSManagedObject::NSManagedObject;

    void awakeFromInsert() override;

    std::optional<platform::NSDate> timestamp() const { return valueForKey("timestamp").dateValue(); }
    void setTimestamp(platform::NSDate date) { setValueForKey(date, "timestamp"); }
    std::int64_t duration() const { return valueForKey("duration").intValue().value_or(0); }
    void setDuration(std::int64_t minutes) { setValueForKey(minutes, "duration"); }
    std::int64_t type() const { return valueForKey("type").intValue().value_or(0); }
    void setType(std::int64_t raw) { setValueForKey(raw, "type"); }
    std::string uniqueIdentifier() const;
    void setUniqueIdentifier(const std::string& id) { setValueForKey(id, "uniqueIdentifier"); }
};

}  // namespace quorvel
