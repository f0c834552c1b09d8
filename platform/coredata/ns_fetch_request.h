#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/coredata/ns_predicate.h"
#include "platform/coredata/ns_sort_descriptor.h"

namespace platform {

// What to fetch: the objects of one entity, optionally filtered and sorted. A fetch of property values
// reads only the properties to fetch (all of them when none are named). Pending changes are the
// context's inserted objects not yet saved.
struct NSFetchRequest {
    std::string entityName;
    std::shared_ptr<NSPredicate> predicate;
    std::vector<NSSortDescriptor> sortDescriptors;
    std::vector<std::string> propertiesToFetch;
    bool includesPendingChanges = true;

    static NSFetchRequest fetchRequestWithEntityName(std::string name) {
        return {std::move(name), nullptr, {}, {}, true};
    }
};

}  // namespace platform
