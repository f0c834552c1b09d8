#include "app/core/managed_object_identity.h"

#include <mutex>

#include "app/core/goal_daily.h"
#include "app/core/number_holder.h"
#include "app/core/session.h"
#include "platform/coredata/ns_managed_object_model.h"
#include "platform/foundation/ns_uuid.h"

namespace quorvel {

void assignUniqueIdentifierIfMissing(platform::NSManagedObject& object) {
    const auto current = object.valueForKey("uniqueIdentifier");
    if (const auto* text = current.stringValue(); text && !text->empty()) return;
    object.setValueForKey(platform::NSUUID::UUID().UUIDString(), "uniqueIdentifier");
}

void registerStoreEntityClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        platform::NSManagedObjectModel::registerClass<Session>("Session");
        platform::NSManagedObjectModel::registerClass<NumberHolder>("NumberHolder");
        platform::NSManagedObjectModel::registerClass<GoalDaily>("GoalDaily");
    });
}

}  // namespace quorvel
