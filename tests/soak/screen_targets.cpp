#include "tests/soak/screen_targets.h"

#include <functional>

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controls/ui_control.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/tables/ui_table_view_cell.h"
#include "platform/uikit/touches/ui_gesture_recognizer.h"
#include "platform/uikit/touches/ui_pan_gesture_recognizer.h"
#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"

namespace quorvel::soak {

namespace {

using platform::CGPoint;
using platform::CGRect;
using platform::UIView;
using platform::UIWindow;
using Wanted = std::function<bool(const UIView&)>;

template <typename Recognizer>
bool hasEnabled(const UIView& view) {
    for (const auto& recognizer : view.gestureRecognizers()) {
        if (recognizer->isEnabled() && dynamic_cast<const Recognizer*>(recognizer.get())) return true;
    }
    return false;
}

CGPoint inWindow(const UIWindow& window, CGPoint screenPoint) {
    return window.layer()->convertPointFromSuperlayer(screenPoint).value_or(screenPoint);
}

}  // namespace

// As the touch input chooses: the frontmost shown window with a view under the point.
bool ScreenTargets::reaches(const UIView& view, CGPoint point) {
    const auto windows = UIWindow::windows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if ((*it)->isHidden()) continue;
        if (const auto hit = (*it)->hitTest(inWindow(**it, point), nullptr)) {
            return hit->isDescendantOfView(&view);
        }
    }
    return false;
}

CGRect ScreenTargets::inScreenPoints(const UIView& view, const CGRect& rect) {
    const auto window = view.window();
    if (!window || window->isHidden()) return CGRect::null();
    CGRect frame = view.convertRectToView(rect, window.get());
    frame.origin.x += window->frame().minX();
    frame.origin.y += window->frame().minY();
    return frame;
}

CGRect ScreenTargets::onScreen(const UIView& view, const CGRect& rect) {
    return inScreenPoints(view, rect).intersection(platform::UIScreen::mainScreen().bounds());
}

namespace {

void collect(const UIView& view, const CGRect& clip, const Wanted& wanted,
             std::vector<ScreenTargets::Target>& out) {
    for (const auto& child : view.subviews()) {
        if (child->isHidden() || child->alpha() < 0.01 || !child->isUserInteractionEnabled()) continue;
        const CGRect shown = ScreenTargets::inScreenPoints(*child, child->bounds()).intersection(clip);
        if (wanted(*child) && !shown.isNull() && shown.width() >= 2 && shown.height() >= 2 &&
            ScreenTargets::reaches(*child, {shown.midX(), shown.midY()})) {
            out.push_back({child, shown});
        }
        collect(*child, child->clipsToBounds() ? shown : clip, wanted, out);
    }
}

std::vector<ScreenTargets::Target> find(const Wanted& wanted) {
    std::vector<ScreenTargets::Target> out;
    const CGRect screen = platform::UIScreen::mainScreen().bounds();
    for (const auto& window : UIWindow::windows()) {
        if (window->isHidden() || !window->isUserInteractionEnabled()) continue;
        window->layoutIfNeeded();
        collect(*window, window->frame().intersection(screen), wanted, out);
    }
    return out;
}

}  // namespace

std::vector<ScreenTargets::Target> ScreenTargets::tappable() {
    return find([](const UIView& view) {
        if (const auto* control = dynamic_cast<const platform::UIControl*>(&view))
            return control->isEnabled();
        return dynamic_cast<const platform::UITableViewCell*>(&view) != nullptr ||
               hasEnabled<platform::UITapGestureRecognizer>(view);
    });
}

std::vector<ScreenTargets::Target> ScreenTargets::swipeable() {
    return find([](const UIView& view) { return hasEnabled<platform::UIPanGestureRecognizer>(view); });
}

}  // namespace quorvel::soak
