#pragma once

#include <memory>

#include "platform/uikit/text/ui_label.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

// The item view of the app's carousels: one tick of a ruler and its number. The owner colours, sizes
// and fills both; the cell only makes them, the tick below the label.
class CarouselCell : public platform::UIView {
public:
    CarouselCell();
    explicit CarouselCell(const platform::CGRect& frame);

    const std::shared_ptr<platform::UIView>& measure() const { return measure_; }
    void setMeasure(std::shared_ptr<platform::UIView> measure) { measure_ = std::move(measure); }
    const std::shared_ptr<platform::UILabel>& measureLabel() const { return measureLabel_; }
    void setMeasureLabel(std::shared_ptr<platform::UILabel> label) { measureLabel_ = std::move(label); }

private:
    std::shared_ptr<platform::UIView> measure_;
    std::shared_ptr<platform::UILabel> measureLabel_;
};

}  // namespace quorvel
