#pragma once

#include "platform/coredata/ns_managed_object.h"

namespace quorvel {

// Gives an object without a uniqueIdentifier (absent or empty) a fresh UUID string, so every stored
// record can be told apart across devices.
void assignUniqueIdentifierIfMissing(platform::NSManagedObject& object);

// Registers the classes of the store's entities with the model, once.
void registerStoreEntityClasses();

}  // namespace quorvel
