#pragma once

#include <memory>

#include "app/screens/timer/circular_progress.h"
#include "app/screens/timer/progress_button.h"
#include "app/screens/timer/rotation_observable.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// The square that holds the progress ring, with the play/pause button in its middle. Made only by the
// storyboard. Its ring is a white 2-point arc on a clear track, redrawn on every drawing pass so it
// follows every size change. Main thread.
class ProgressView : public platform::UIView, public RotationObservable {
public:
    ProgressView();
    ~ProgressView() override;

    std::shared_ptr<ProgressButton> progressButton() const { return progressButton_.lock(); }
    void setProgressButton(const std::shared_ptr<ProgressButton>& button) { progressButton_ = button; }
    const std::shared_ptr<CircularProgress>& progressViewDisplay() const { return progressViewDisplay_; }
    // Restyles the ring it is given: full, white, 2 points wide.
    void setProgressViewDisplay(std::shared_ptr<CircularProgress> ring);

    void drawRect(const platform::CGRect& rect) override;

    Split splitStatus() const override { return splitStatus_; }
    // Keeps the split and resizes the ring to the side the layout tables give, centred.
    void updateForRotation(platform::UIDeviceOrientation orientation, Split split) override;

private:
    void redrawRing();

    std::weak_ptr<ProgressButton> progressButton_;
    std::shared_ptr<CircularProgress> progressViewDisplay_;
    Split splitStatus_ = Split::fullSize;
};

}  // namespace quorvel
