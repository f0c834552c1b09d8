#pragma once

#include <memory>

namespace platform {
class UIImage;
}

namespace quorvel::shell {

// The window's icon: a tomato-red rounded square with a white timer ring three quarters full, drawn
// by the app's own layer renderer.
class AppIcon {
public:
    static std::shared_ptr<platform::UIImage> image(double pixels = 128);
};

}  // namespace quorvel::shell
