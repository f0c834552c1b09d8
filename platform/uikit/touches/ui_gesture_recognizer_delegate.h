#pragma once

namespace platform {

class UIGestureRecognizer;
class UITouch;

// What a recogniser asks its delegate. The defaults are the answers of a delegate that has no opinion.
class UIGestureRecognizerDelegate {
public:
    virtual ~UIGestureRecognizerDelegate() = default;

    // Asked when the recogniser would leave the possible state: no makes it fail.
    virtual bool gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer) {
        (void)recognizer;
        return true;
    }
    // Asked when a touch goes down in the recogniser's view: no keeps the touch from it.
    virtual bool gestureRecognizerShouldReceiveTouch(UIGestureRecognizer& recognizer, UITouch& touch) {
        (void)recognizer;
        (void)touch;
        return true;
    }
    // Whether both may recognise at the same time (either delegate saying yes is enough).
    virtual bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
        UIGestureRecognizer& recognizer, UIGestureRecognizer& other) {
        (void)recognizer;
        (void)other;
        return false;
    }
};

}  // namespace platform
