#pragma once

#include <memory>

#include "app/widgets/reveal/reveal_utility_button.h"
#include "app/widgets/reveal/reveal_utility_view.h"

namespace quorvel {

// The clipping frame of one item's button: its width follows the drag while the button inside keeps
// the item's width.
class RevealUtilityButtonView : public RevealUtilityView {
public:
    RevealUtilityButtonView(const platform::CGRect& frame, std::shared_ptr<RevealUtilityButton> button);

    const std::shared_ptr<RevealUtilityButton>& button() const { return button_; }

private:
    std::shared_ptr<RevealUtilityButton> button_;
};

}  // namespace quorvel
