#include "app/core/session.h"

#include "app/core/managed_object_identity.h"

namespace quorvel {

void Session::awakeFromInsert() {
    NSManagedObject::awakeFromInsert();
    assignUniqueIdentifierIfMissing(*this);
}

std::string Session::uniqueIdentifier() const {
    const auto value = valueForKey("uniqueIdentifier");
    return value.stringValue() ? *value.stringValue() : std::string();
}

}  // namespace quorvel
