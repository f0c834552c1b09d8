#include "analytics/interpreter/apmp_pixie_logger.h"

#include "analytics/monitor/apm_monitor.h"

namespace analytics {

void APMPixieLogger::logMessage(const std::string& message) const {
    APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::Debug, kMessageCode, "Program log", message);
}

}  // namespace analytics
