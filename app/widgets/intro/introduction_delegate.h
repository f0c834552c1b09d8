#pragma once

namespace quorvel {

class BlurIntroductionView;
class IntroductionPanel;

// How an introduction ended.
enum IntroductionFinishType : long {
    // The user scrolled past the last panel onto the closing page.
    IntroductionFinishTypeSwipeOut = 0,
    IntroductionFinishTypeSkipped = 1,
};

// Hears of an introduction's progress. Both messages are optional: the bodies here do nothing.
class IntroductionDelegate {
public:
    virtual ~IntroductionDelegate() = default;
    // A new panel came into view.
    virtual void introduction(BlurIntroductionView& introductionView, IntroductionPanel& panel, long index) {
        (void)introductionView;
        (void)panel;
        (void)index;
    }
    virtual void introduction(BlurIntroductionView& introductionView, IntroductionFinishType finishType) {
        (void)introductionView;
        (void)finishType;
    }
};

}  // namespace quorvel
