#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/quartzcore/ca_transaction.h"
#include "platform/quartzcore/ca_value.h"

namespace platform {

class CALayer;

// View-animation options, as bits; no curve bits is ease-in-ease-out.
enum : unsigned {
    UIViewAnimationOptionBeginFromCurrentState = 1 << 2,
    UIViewAnimationOptionRepeat = 1 << 3,
    UIViewAnimationOptionAutoreverse = 1 << 4,
    UIViewAnimationOptionCurveEaseIn = 1 << 16,
    UIViewAnimationOptionCurveLinear = 3 << 16,
};

// The open view-animation blocks. While a block runs, each view property it changes is noted with its
// value before the change (unless the innermost open transaction disables actions); when the block
// returns, every property whose value did change gets an animation on its layer from that value (or,
// with BeginFromCurrentState, from what is on screen) to the new model value, under the property's
// name, replacing one already running there. The block's
// completion runs once all of its animations have stopped, finished only if every one reached its end;
// a block that changed nothing completes on the next turn of the main run loop. Main thread only.
class UIViewAnimation {
public:
    using Completion = std::function<void(bool finished)>;

    struct Parameters {
        double duration = 0.2;
        double delay = 0;
        unsigned options = 0;
        bool spring = false;
        double dampingRatio = 1;
        double initialVelocity = 0;
    };

    static void run(const Parameters& parameters, const std::function<void()>& animations,
                    Completion completion);
    static void runWithoutAnimation(const std::function<void()>& actions);

    static bool areAnimationsEnabled() { return enabled_; }
    static void setAnimationsEnabled(bool enabled) { enabled_ = enabled; }

    // Called by a view before it changes the layer property `key`.
    static void willChange(const std::shared_ptr<CALayer>& layer, const char* key) {
        if (!blocks_.empty() && !CATransaction::disableActions()) note(layer, key);
    }

private:
    struct Change {
        std::weak_ptr<CALayer> layer;
        std::string key;
        CAValue before;
        CAValue onScreen;
    };
    struct Block {
        Parameters parameters;
        bool animating;
        std::vector<Change> changes;
    };

    static void note(const std::shared_ptr<CALayer>& layer, const char* key);
    static void commit(Block& block, Completion completion);

    static inline std::vector<Block> blocks_;
    static inline bool enabled_ = true;
};

}  // namespace platform
