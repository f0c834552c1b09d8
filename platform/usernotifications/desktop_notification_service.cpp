#include "platform/usernotifications/desktop_notification_service.h"

#include <libnotify/notify.h>

#include "platform/foundation/mutex.h"

namespace platform {

namespace {

constexpr const char* kApplicationName = "Quorvel";

Mutex serviceMutex;

}  // namespace

bool DesktopNotificationService::show(const std::string& title, const std::string& body, const Sound& sound,
                                      std::string* error) {
    MutexLock lock(serviceMutex);
    if (!notify_is_initted() && !notify_init(kApplicationName)) {
        if (error) *error = "libnotify could not start";
        return false;
    }
    // The service insists on a summary line; an untitled notification shows the app's name.
    NotifyNotification* notification =
        notify_notification_new(title.empty() ? kApplicationName : title.c_str(), body.c_str(), nullptr);
    if (sound.enabled) {
        if (sound.file.empty()) {
            notify_notification_set_hint(notification, "sound-name",
                                         g_variant_new_string("message-new-instant"));
        } else {
            notify_notification_set_hint(notification, "sound-file",
                                         g_variant_new_string(sound.file.c_str()));
        }
    } else {
        notify_notification_set_hint(notification, "suppress-sound", g_variant_new_boolean(TRUE));
    }
    GError* failure = nullptr;
    const bool shown = notify_notification_show(notification, &failure);
    if (!shown && error) *error = failure ? failure->message : "the notification service did not answer";
    if (failure) g_error_free(failure);
    g_object_unref(notification);
    return shown;
}

}  // namespace platform
