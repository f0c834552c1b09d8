#pragma once

#include <memory>
#include <string>

#include "analytics/interpreter/apmp_module.h"
#include "analytics/interpreter/apmp_pixie_logger.h"

namespace analytics {

// The "internal.logger" module: a program's log messages go through the library's logger.
class APMPMessageLogger : public APMPModule {
public:
    static constexpr const char* kModuleName = "internal.logger";

    explicit APMPMessageLogger(std::shared_ptr<APMPixieLogger> logger)
        : APMPModule(kModuleName), logger_(std::move(logger)) {}

    void log(const std::string& message) const {
        if (logger_) logger_->logMessage(message);
    }

private:
    const std::shared_ptr<APMPixieLogger> logger_;
};

}  // namespace analytics
