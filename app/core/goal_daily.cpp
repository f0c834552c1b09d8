#include "app/core/goal_daily.h"

#include "app/core/managed_object_identity.h"

namespace quorvel {

void GoalDaily::awakeFromInsert() {
    NSManagedObject::awakeFromInsert();
    assignUniqueIdentifierIfMissing(*this);
}

}  // namespace quorvel
