#include "app/widgets/reveal/reveal_utility_button_view.h"

namespace quorvel {

RevealUtilityButtonView::RevealUtilityButtonView(const platform::CGRect& frame,
                                                 std::shared_ptr<RevealUtilityButton> button)
    : RevealUtilityView(frame), button_(std::move(button)) {
    setClipsToBounds(true);
    if (button_) addSubview(button_);
}

}  // namespace quorvel
