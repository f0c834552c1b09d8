#pragma once

#include <memory>

namespace platform {
class UIView;
}

namespace quorvel::testing {

// The scenes the layer renderer's tests and its benchmark draw, put together from the same pieces: a
// coral window, images drawn into image contexts, a progress ring, a rotated layer and a card turned in
// perspective.
class SceneBuilder {
public:
    // 320 × 400 points, for a person to look at: a title and a wrapped text, a play button with a
    // shadow inside the ring, a titled button over an image, an image view, a rotated layer and a card.
    static std::shared_ptr<platform::UIView> showcase();
    // A phone-sized window, 375 × 812 points, laid out: about 60 layers (rounded cards with borders and
    // shadows, the ring, the rotated layer and the card, buttons with images) and 20 labels.
    static std::shared_ptr<platform::UIView> phoneWindow();
};

}  // namespace quorvel::testing
