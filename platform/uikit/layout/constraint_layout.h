#pragma once

namespace platform {

class UIView;

// Resolves the frames of a view's subviews that are laid out by constraints, as the first step of that
// view's layout. Subviews that translate their autoresizing mask keep their frames and, like the view
// itself and any view elsewhere in the tree, are fixed references for the others.
class ConstraintLayout {
public:
    static void layoutSubviewsOf(UIView& superview);
};

}  // namespace platform
