#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/coredata/ns_predicate.h"
#include "platform/coredata/ns_sort_descriptor.h"

namespace platform {

// What to fetch: the objects of one entity, optionally filtered and sorted.
struct NSFetchRequest {
    std::string entityName;
    std::shared_ptr<NSPredicate> predicate;
    std::vector<NSSortDescriptor> sortDescriptors;

    static NSFetchRequest fetchRequestWithEntityName(std::string name) {
        return {std::move(name), nullptr, {}};
    }
};

}  // namespace platform
