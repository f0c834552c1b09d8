#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/coredata/ns_fetch_request.h"
#include "platform/coredata/ns_managed_object_context.h"

namespace platform {

// Runs a fetch request on a context and keeps its result. Sections and the named cache are
// accepted but not used: every performFetch reads the store afresh.
class NSFetchedResultsController {
public:
    NSFetchedResultsController(NSFetchRequest request, std::shared_ptr<NSManagedObjectContext> context,
                               std::optional<std::string> sectionNameKeyPath,
                               std::optional<std::string> cacheName)
        : request_(std::move(request)),
          context_(std::move(context)),
          sectionNameKeyPath_(std::move(sectionNameKeyPath)),
          cacheName_(std::move(cacheName)) {}

    // On failure the objects of the last successful fetch stay (none before the first).
    bool performFetch(std::shared_ptr<NSError>* error = nullptr) {
        auto objects = context_->executeFetchRequest(request_, error);
        if (!objects) return false;
        fetchedObjects_ = std::move(*objects);
        return true;
    }

    const std::vector<std::shared_ptr<NSManagedObject>>& fetchedObjects() const& { return fetchedObjects_; }
    // A controller about to go hands its objects over without touching each one again.
    std::vector<std::shared_ptr<NSManagedObject>> fetchedObjects() && { return std::move(fetchedObjects_); }
    const NSFetchRequest& fetchRequest() const { return request_; }
    const std::optional<std::string>& cacheName() const { return cacheName_; }

private:
    NSFetchRequest request_;
    std::shared_ptr<NSManagedObjectContext> context_;
    std::optional<std::string> sectionNameKeyPath_;
    std::optional<std::string> cacheName_;
    std::vector<std::shared_ptr<NSManagedObject>> fetchedObjects_;
};

}  // namespace platform
