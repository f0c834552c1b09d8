#pragma once

namespace quorvel {

// Where a reveal cell's content stands. Positions below the centre show the right-hand buttons, those
// above it the left-hand ones; a right-hand position is the mirror (4 − p) of a left-hand one.
enum RevealCellRevealPosition : int {
    revealPositionRightExtended = 0,  // content at −(right width + 60)
    revealPositionRight = 1,          // content at −(right width)
    revealPositionCenter = 2,         // closed
    revealPositionLeft = 3,           // content at +(left width)
    revealPositionLeftExtended = 4,   // content at +(left width + 60)
    revealPositionNone = 255,         // not placed yet
};

// How both sides of a reveal cell behave when dragged past their buttons.
enum RevealCellRevealMode : int {
    revealModeDefault = 0,
    revealModeBounceBack = 1,      // a drag past the overdraw threshold closes the cell
    revealModeReversedAction = 2,  // later buttons slide out from under earlier ones; overdraw acts
};

// The two sides of buttons.
enum class RevealSide { left, right };

}  // namespace quorvel
