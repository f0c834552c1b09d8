#pragma once

namespace quorvel {

// How a carousel lays its items out along its path. Values outside 0…11 are kept but have no layout of
// their own: their items get the base transform.
enum class ItemCarouselType : long {
    linear = 0,
    rotary = 1,
    invertedRotary = 2,
    cylinder = 3,
    invertedCylinder = 4,
    wheel = 5,
    invertedWheel = 6,
    coverFlow = 7,
    coverFlow2 = 8,
    timeMachine = 9,
    invertedTimeMachine = 10,
    custom = 11,
};

}  // namespace quorvel
