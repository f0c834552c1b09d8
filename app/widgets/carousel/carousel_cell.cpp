#include "app/widgets/carousel/carousel_cell.h"

namespace quorvel {

CarouselCell::CarouselCell() : CarouselCell(platform::CGRect::zero()) {}

CarouselCell::CarouselCell(const platform::CGRect& frame)
    : platform::UIView(frame),
      measure_(std::make_shared<platform::UIView>()),
      measureLabel_(std::make_shared<platform::UILabel>()) {
    addSubview(measure_);
    addSubview(measureLabel_);
}

}  // namespace quorvel
