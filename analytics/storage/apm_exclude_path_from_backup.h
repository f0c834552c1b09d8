#pragma once

#include <memory>
#include <string>

#include "platform/foundation/ns_error.h"

namespace analytics {

// The extended attribute that marks a file as left out of device backups.
extern const char* const kAPMExcludedFromBackupAttribute;

// Marks the file at `path` as excluded from backup; on failure fills `error` (when given) and answers false.
bool APMExcludePathFromBackup(const std::string& path, std::shared_ptr<platform::NSError>* error);

}  // namespace analytics
