#include "analytics/storage/apm_perform_transaction.h"

namespace analytics {

bool APMPerformTransaction(APMDatabase& database, APMErrorOut error,
                           const std::function<bool(APMErrorOut)>& work) {
    std::shared_ptr<platform::NSError> failure;
    if (database.performTransaction([&] { return work(&failure); })) return true;
    if (error) *error = failure ? failure : apm_errorWithCode(2, "Transaction failed");
    return false;
}

}  // namespace analytics
