#include "shell/view_listing.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controls/ui_control.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel::shell {

namespace {

using platform::CGRect;
using platform::UIView;

std::string rectText(const CGRect& r) {
    auto number = [](double v) { return std::to_string(std::lround(v)); };
    return number(r.minX()) + " " + number(r.minY()) + " " + number(r.width()) + " " + number(r.height());
}

// A text's line breaks written as "\n", so each view keeps to one line of the trace.
std::string oneLine(const std::string& text) {
    std::string line;
    for (const char c : text) line += c == '\n' ? std::string("\\n") : std::string(1, c);
    return line;
}

// Where a label's text lies in its bounds: as wide and tall as the text, at most the bounds, placed by
// the alignment and centred from top to bottom as the label draws it.
CGRect textBox(const platform::UILabel& label) {
    const CGRect b = label.bounds();
    const platform::CGSize text = label.sizeThatFits({b.width(), 0});
    const platform::CGFloat width = std::min(text.width, b.width());
    const platform::CGFloat height = std::min(text.height, b.height());
    platform::CGFloat x = b.minX();
    if (label.textAlignment() == platform::NSTextAlignment::center) x += (b.width() - width) / 2;
    if (label.textAlignment() == platform::NSTextAlignment::right) x += b.width() - width;
    return CGRect(x, b.midY() - height / 2, width, height);
}

// Walks the views under `view`, whose part on the screen inside what clips it is `shown` (in screen
// coordinates), adding each label with text or control that shows.
void list(const UIView& view, const CGRect& shown, const platform::UIWindow& window,
          std::vector<ViewListing::Shown>& out) {
    for (const auto& child : view.subviews()) {
        if (child->isHidden() || child->alpha() < 0.01) continue;
        const auto onScreen = [&](const CGRect& rect) {
            CGRect r = child->convertRectToView(rect, &window);
            r.origin.x += window.frame().minX();
            r.origin.y += window.frame().minY();
            return r;
        };
        const CGRect frame = onScreen(child->bounds());
        const CGRect visible = frame.intersection(shown);
        const auto* label = dynamic_cast<const platform::UILabel*>(child.get());
        const bool control = dynamic_cast<const platform::UIControl*>(child.get()) != nullptr;
        // What shows of a label is its text, wherever its alignment puts it in the frame.
        const CGRect drawn = label ? onScreen(textBox(*label)).intersection(shown) : visible;
        if ((control || (label && !label->text().empty())) && !drawn.isNull() && !drawn.isEmpty()) {
            out.push_back({frame, drawn, child->className(), label ? label->text() : "", child});
        }
        list(*child, child->clipsToBounds() ? visible : shown, window, out);
    }
}

}  // namespace

std::vector<std::string> ViewListing::lines() {
    const CGRect screen = platform::UIScreen::mainScreen().bounds();
    std::vector<std::string> out{"screen " + rectText(screen) + " safe area " + rectText(safeArea())};
    for (const auto& view : shownViews()) {
        out.push_back("view " + rectText(view.frame) + " | " + rectText(view.visible) + " | " +
                      view.className + " | " + oneLine(view.text));
    }
    return out;
}

std::vector<ViewListing::Shown> ViewListing::shownViews() {
    const CGRect bounds = platform::UIScreen::mainScreen().bounds();
    std::vector<Shown> out;
    for (const auto& window : platform::UIWindow::windows()) {
        if (window->isHidden()) continue;
        window->layoutIfNeeded();
        list(*window, window->frame().intersection(bounds), *window, out);
    }
    return out;
}

CGRect ViewListing::safeArea() {
    const auto& screen = platform::UIScreen::mainScreen();
    return platform::UIEdgeInsetsInsetRect(screen.bounds(), screen.safeAreaInsets());
}

}  // namespace quorvel::shell
