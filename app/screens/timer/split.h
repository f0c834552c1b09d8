#pragma once

namespace quorvel {

// The width the app has on screen: all of it, or a share of it in split view.
enum class Split : int { fullSize = 0, oneThird = 1, oneHalf = 2, twoThirds = 3 };

}  // namespace quorvel
