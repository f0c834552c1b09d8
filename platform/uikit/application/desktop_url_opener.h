#pragma once

#include "platform/uikit/application/url_opener.h"

namespace platform {

// Opens links with the desktop's default handler for their scheme, as the desktop's own launcher does.
class DesktopURLOpener : public URLOpener {
public:
    bool canOpenScheme(const std::string& scheme) const override;
    bool openURL(const std::string& url) override;
};

}  // namespace platform
