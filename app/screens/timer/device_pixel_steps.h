#pragma once

namespace quorvel {

// `value` rounded to the nearest step of a motion that moves something `pointsPerUnit` points per unit
// of `value`, where one step moves it one device pixel. The timer moves the ring's end and the minutes
// ten times a second, in a long session by a small fraction of a pixel each time: in whole pixels the
// screen repaints only when they visibly move. Unrounded when the motion covers no pixel.
double roundedToDevicePixels(double value, double pointsPerUnit);

}  // namespace quorvel
