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
        using Entity = std::shared_ptr<const platform::NSEntityDescription>;
        platform::NSManagedObjectModel::registerClass(
            "Session", [](Entity entity) { return std::make_shared<Session>(std::move(entity)); });
        platform::NSManagedObjectModel::registerClass(
            "NumberHolder", [](Entity entity) { return std::make_shared<NumberHolder>(std::move(entity)); });
        platform::NSManagedObjectModel::registerClass(
            "GoalDaily", [](Entity entity) { return std::make_shared<GoalDaily>(std::move(entity)); });
    });
}

}  // namespace quorvel
