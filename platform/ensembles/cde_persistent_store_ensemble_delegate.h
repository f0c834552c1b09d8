#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/coredata/ns_managed_object.h"
#include "platform/foundation/ns_notification_center.h"

namespace platform {

class CDEPersistentStoreEnsemble;

// What an ensemble asks of the app. Both are called on the ensemble's own queue.
class CDEPersistentStoreEnsembleDelegate {
public:
    virtual ~CDEPersistentStoreEnsembleDelegate() = default;

    // A merge saved changes to the store; `notification` is its context's did-save notification.
    virtual void persistentStoreEnsembleDidSaveMergeChangesWithNotification(
        CDEPersistentStoreEnsemble& ensemble, const NSNotification& notification) = 0;
    // One identifier per object, in order, naming the record on every device.
    virtual std::vector<std::string> persistentStoreEnsembleGlobalIdentifiersForManagedObjects(
        CDEPersistentStoreEnsemble& ensemble,
        const std::vector<std::shared_ptr<NSManagedObject>>& objects) = 0;
};

}  // namespace platform
