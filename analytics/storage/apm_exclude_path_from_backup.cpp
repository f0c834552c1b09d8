#include "analytics/storage/apm_exclude_path_from_backup.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstring>

namespace analytics {

const char* const kAPMExcludedFromBackupAttribute = "user.quorvel.excluded-from-backup";

bool APMExcludePathFromBackup(const std::string& path, std::shared_ptr<platform::NSError>* error) {
    if (::setxattr(path.c_str(), kAPMExcludedFromBackupAttribute, "1", 1, 0) == 0) return true;
    const int code = errno;
    if (error) {
        *error = platform::NSError::errorWithDomain(
            "NSPOSIXErrorDomain", code,
            {{platform::NSLocalizedDescriptionKey,
              "Cannot exclude " + path + " from backup: " + std::strerror(code)}});
    }
    return false;
}

}  // namespace analytics
