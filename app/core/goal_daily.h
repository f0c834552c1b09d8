#pragma once

#include "platform/coredata/ns_managed_object.h"

namespace quorvel {

// An entity of the model that nothing reads or writes yet; its records still get an identifier.
class GoalDaily : public platform::NSManagedObject {
public:
    using NSManagedObject::NSManagedObject;

    void awakeFromInsert() override;
};

}  // namespace quorvel
