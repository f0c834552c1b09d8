#include "app/core/number_holder.h"

#include "app/core/managed_object_identity.h"

namespace quorvel {

void NumberHolder::awakeFromInsert() {
    NSManagedObject::awakeFromInsert();
    assignUniqueIdentifierIfMissing(*this);
}

std::shared_ptr<NumberHolder> NumberHolder::fetchOrInsert(platform::NSManagedObjectContext& context) {
    const auto found =
        context.executeFetchRequest(platform::NSFetchRequest::fetchRequestWithEntityName("NumberHolder"));
    if (found && !found->empty()) {
        if (auto holder = std::dynamic_pointer_cast<NumberHolder>(found->front())) return holder;
    }
    return std::dynamic_pointer_cast<NumberHolder>(context.insertNewObjectForEntityForName("NumberHolder"));
}

}  // namespace quorvel
