#pragma once

#include <cstdint>
#include <memory>

#include "platform/coredata/ns_managed_object.h"
#include "platform/coredata/ns_managed_object_context.h"

namespace quorvel {

// The one record whose number changes each time a session is stored.
class NumberHolder : public platform::NSManagedObject {
public:
    using NSManagedObject::NSManagedObject;

    void awakeFromInsert() override;

    std::uint64_t number() const { return valueForKey("number").uintValue().value_or(0); }
    void setNumber(std::uint64_t number) { setValueForKey(number, "number"); }

    // The context's first NumberHolder, or a new one inserted (not saved) when there is none or the
    // fetch fails. Null only when the context cannot insert one (no model).
    static std::shared_ptr<NumberHolder> fetchOrInsert(platform::NSManagedObjectContext& context);
};

}  // namespace quorvel
