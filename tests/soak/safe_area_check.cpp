#include "tests/soak/safe_area_check.h"

#include <memory>

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/controls/ui_control.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/navigation/ui_navigation_bar.h"
#include "platform/uikit/navigation/ui_toolbar.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"
#include "platform/uikit/text/ui_label.h"
#include "shell/view_listing.h"

namespace quorvel::soak {

namespace {

using platform::CGRect;
using platform::UIView;

constexpr double kSlack = 0.5;

bool insideAcross(const CGRect& shown, const CGRect& safe) {
    return shown.minX() >= safe.minX() - kSlack && shown.maxX() <= safe.maxX() + kSlack;
}

// Whether the safe area asks nothing of the button's frame: one without title, image, background or
// border shows nothing (the clear button behind a menu), and a titled one shows its title, which is held
// to the safe area as a label of its own, while its background may run to the edges as a bar's does.
bool frameNeedsNoSafeArea(const UIView& view) {
    const auto* button = dynamic_cast<const platform::UIButton*>(&view);
    if (!button) return false;
    const unsigned normal = platform::UIControlStateNormal;
    if (!button->titleForState(normal).value_or("").empty()) return true;
    const auto background = button->backgroundColor();
    return !button->imageForState(normal) && !button->backgroundImageForState(normal) &&
           (!background || background->alpha() < 0.01) && !(button->layer()->borderWidth() > 0);
}

// Inside a list the rows scroll under the screen's top and bottom edges as a person moves them.
bool scrolls(const UIView& view) {
    for (auto above = view.superview(); above; above = above->superview()) {
        if (dynamic_cast<const platform::UIScrollView*>(above.get())) return true;
    }
    return false;
}

CGRect inItsWindow(const UIView& view, const platform::UIWindow& window) {
    return view.convertRectToView(view.bounds(), &window);
}

// Views that fill their window: the backdrops of menus, overlays and sheets.
bool fillsItsWindow(const UIView& view, const platform::UIWindow& window) {
    const CGRect frame = inItsWindow(view, window), all = window.bounds();
    return frame.minX() <= all.minX() + kSlack && frame.maxX() >= all.maxX() - kSlack &&
           frame.minY() <= all.minY() + kSlack && frame.maxY() >= all.maxY() - kSlack;
}

bool paints(const UIView& view) {
    const auto background = view.backgroundColor();
    return background && background->alpha() >= 0.01;
}

// A ground of colour that runs to a side of the screen (a sheet's card, a chart's ground), or a view that
// lays out such grounds.
bool isGround(const UIView& view, const platform::UIWindow& window) {
    const auto toASide = [&](const UIView& one) {
        const CGRect frame = inItsWindow(one, window), all = window.bounds();
        return paints(one) && (frame.minX() <= all.minX() + kSlack || frame.maxX() >= all.maxX() - kSlack);
    };
    if (toASide(view)) return true;
    for (const auto& child : view.subviews()) {
        if (!child->isHidden() && toASide(*child)) return true;
    }
    return false;
}

// What is meant to run from edge to edge, with everything in it but its texts and controls: bars, lists
// and their rows, grounds of colour, and what lies in a backdrop that fills the window. A screen's own view
// is one only for itself: what it lays out keeps to the safe area.
bool runsToTheEdges(const UIView& view, const platform::UIWindow& window) {
    for (const UIView* at = &view; at && at != &window; at = at->superview().get()) {
        if (dynamic_cast<const platform::UINavigationBar*>(at) ||
            dynamic_cast<const platform::UIToolbar*>(at) || dynamic_cast<const platform::UIScrollView*>(at))
            return true;
        if (dynamic_cast<const platform::UIViewController*>(at->nextResponder())) {
            if (at == &view) return true;
            continue;
        }
        if (fillsItsWindow(*at, window) || isGround(*at, window)) return true;
    }
    return false;
}

// A container that places other views and paints nothing itself: the frame a screen lays its content in.
bool placesContent(const UIView& view) {
    return !view.subviews().empty() && !paints(view);
}

bool heldAsText(const UIView& view) {
    if (dynamic_cast<const platform::UIControl*>(&view)) return true;
    const auto* label = dynamic_cast<const platform::UILabel*>(&view);
    return label && !label->text().empty();
}

std::string ancestry(const UIView& view) {
    std::string out;
    for (auto above = view.superview(); above; above = above->superview())
        out.append("<").append(above->className());
    return out;
}

// The other views that show, held across: the containers that place the texts, and what draws.
void collectAcross(const UIView& view, const CGRect& clip, const platform::UIWindow& window,
                   const CGRect& safe, std::vector<SafeAreaCheck::Outside>& out) {
    for (const auto& child : view.subviews()) {
        if (child->isHidden() || child->alpha() < 0.01) continue;
        CGRect frame = child->convertRectToView(child->bounds(), &window);
        frame.origin.x += window.frame().minX();
        frame.origin.y += window.frame().minY();
        const CGRect shown = frame.intersection(clip);
        if (shown.isNull() || shown.isEmpty()) continue;
        if (!heldAsText(*child) && placesContent(*child) && !insideAcross(shown, safe) &&
            !runsToTheEdges(*child, window))
            out.push_back({child->className().append(ancestry(*child)), shown});
        collectAcross(*child, child->clipsToBounds() ? shown : clip, window, safe, out);
    }
}

}  // namespace

CGRect SafeAreaCheck::safeArea() {
    return shell::ViewListing::safeArea();
}

bool SafeAreaCheck::inside(const CGRect& shown, const CGRect& safe) {
    return insideAcross(shown, safe) && shown.minY() >= safe.minY() - kSlack &&
           shown.maxY() <= safe.maxY() + kSlack;
}

std::vector<SafeAreaCheck::Outside> SafeAreaCheck::outside() {
    const CGRect safe = safeArea();
    std::vector<Outside> out;
    for (const auto& shown : shell::ViewListing::shownViews()) {
        if (frameNeedsNoSafeArea(*shown.view)) continue;
        const bool held =
            scrolls(*shown.view) ? insideAcross(shown.visible, safe) : inside(shown.visible, safe);
        if (!held) {
            std::string name = shown.className;
            name.append(" \"").append(shown.text).append("\"").append(ancestry(*shown.view));
            out.push_back({name, shown.visible});
        }
    }
    const CGRect screen = platform::UIScreen::mainScreen().bounds();
    for (const auto& window : platform::UIWindow::windows()) {
        if (window->isHidden()) continue;
        collectAcross(*window, window->frame().intersection(screen), *window, safe, out);
    }
    return out;
}

}  // namespace quorvel::soak
