#include "platform/ensembles/cde_notifications.h"

namespace platform {

const NSNotificationName CDEMonitoredManagedObjectContextDidSaveNotification =
    "CDEMonitoredManagedObjectContextDidSaveNotification";
const NSNotificationName CDEICloudFileSystemDidDownloadFilesNotification =
    "CDEICloudFileSystemDidDownloadFilesNotification";
const NSNotificationName CDEICloudFileSystemDidMakeDownloadProgressNotification =
    "CDEICloudFileSystemDidMakeDownloadProgressNotification";

}  // namespace platform
