#pragma once

#include "platform/foundation/ns_notification_center.h"

namespace platform {

// Posted (no object) after a save of any context over an ensemble's store, on the saving thread.
extern const NSNotificationName CDEMonitoredManagedObjectContextDidSaveNotification;
// Posted (no object) on the main thread when other devices' files have arrived in the cloud folder.
extern const NSNotificationName CDEICloudFileSystemDidDownloadFilesNotification;
// Posted (no object) on the main thread while such files are arriving, before the one above.
extern const NSNotificationName CDEICloudFileSystemDidMakeDownloadProgressNotification;

}  // namespace platform
