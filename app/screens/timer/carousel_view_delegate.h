#pragma once

namespace quorvel {

// The timer screen as the minute ring's owner. The ring only checks that one is set: without it a turn
// clicks but changes nothing.
class CarouselViewDelegate {
public:
    virtual ~CarouselViewDelegate() = default;

    virtual void minuteRingDidTurn(double minutes) = 0;
};

}  // namespace quorvel
