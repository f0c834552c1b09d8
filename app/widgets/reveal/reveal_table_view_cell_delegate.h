#pragma once

#include "app/widgets/reveal/reveal_cell_reveal_position.h"
#include "platform/coregraphics/cg_geometry.h"

namespace platform {
class UIGestureRecognizer;
}

namespace quorvel {

class RevealTableViewCell;

// What a reveal cell tells and asks while its content moves. Every message is optional: the defaults
// are the answers of a delegate that does not implement it (a pan may begin, and shares its touches
// with no other recogniser). Progress is the content's distance from the centre over the width of
// the buttons of the side it shows.
class RevealTableViewCellDelegate {
public:
    virtual ~RevealTableViewCellDelegate() = default;

    virtual bool revealTableViewCellPanGestureShouldBegin(RevealTableViewCell& cell) {
        (void)cell;
        return true;
    }
    virtual bool revealTableViewCellPanGestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
        RevealTableViewCell& cell, platform::UIGestureRecognizer& other) {
        (void)cell;
        (void)other;
        return false;
    }
    virtual void revealTableViewCellPanGestureBegan(RevealTableViewCell& cell) { (void)cell; }
    virtual void revealTableViewCellPanGestureBeganFromLocation(RevealTableViewCell& cell,
                                                                platform::CGFloat location,
                                                                platform::CGFloat progress) {
        (void)cell;
        (void)location;
        (void)progress;
    }
    virtual void revealTableViewCellPanGestureMovedToLocation(RevealTableViewCell& cell,
                                                              platform::CGFloat location,
                                                              platform::CGFloat progress) {
        (void)cell;
        (void)location;
        (void)progress;
    }
    virtual void revealTableViewCellPanGestureEndedToLocation(RevealTableViewCell& cell,
                                                              platform::CGFloat location,
                                                              platform::CGFloat progress) {
        (void)cell;
        (void)location;
        (void)progress;
    }
    virtual void revealTableViewCellPanGestureEnded(RevealTableViewCell& cell) { (void)cell; }
    virtual void revealTableViewCellWillMoveToPosition(RevealTableViewCell& cell,
                                                       RevealCellRevealPosition position) {
        (void)cell;
        (void)position;
    }
    virtual void revealTableViewCellAnimateToPosition(RevealTableViewCell& cell,
                                                      RevealCellRevealPosition position) {
        (void)cell;
        (void)position;
    }
    virtual void revealTableViewCellDidMoveToPosition(RevealTableViewCell& cell,
                                                      RevealCellRevealPosition position) {
        (void)cell;
        (void)position;
    }
};

}  // namespace quorvel
