#pragma once

#include <functional>

#include "analytics/monitor/apm_error_additions.h"
#include "analytics/storage/apm_database.h"

namespace analytics {

// Runs `work` in one transaction of the database, handing it the error out-parameter: committed when it
// answers true, undone otherwise. A failure of the transaction itself is code 2 when `work` left none.
bool APMPerformTransaction(APMDatabase& database, APMErrorOut error,
                           const std::function<bool(APMErrorOut)>& work);

}  // namespace analytics
