#include "platform/uikit/application/desktop_url_opener.h"

#include <gio/gio.h>

#include "platform/foundation/console.h"

namespace platform {

bool DesktopURLOpener::canOpenScheme(const std::string& scheme) const {
    GAppInfo* handler = g_app_info_get_default_for_uri_scheme(scheme.c_str());
    if (!handler) return false;
    g_object_unref(handler);
    return true;
}

bool DesktopURLOpener::openURL(const std::string& url) {
    GError* error = nullptr;
    bool started = g_app_info_launch_default_for_uri(url.c_str(), nullptr, &error);
    if (error) {
        Console::print("Could not open " + url + ": " + error->message);
        g_error_free(error);
    }
    return started;
}

}  // namespace platform
