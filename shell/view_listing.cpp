#include "shell/view_listing.h"

#include <cxxabi.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <typeinfo>

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

std::string className(const UIView& view) {
    const char* mangled = typeid(view).name();
    int status = 0;
    char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && readable ? readable : mangled;
    std::free(readable);
    return name;
}

// Walks the views under `view`, whose part on the screen inside what clips it is `shown` (in screen
// coordinates), adding a line for each label or control.
void list(const UIView& view, const CGRect& shown, const platform::UIWindow& window,
          std::vector<std::string>& out) {
    for (const auto& child : view.subviews()) {
        if (child->isHidden() || child->alpha() < 0.01) continue;
        CGRect frame = child->convertRectToView(child->bounds(), &window);
        frame.origin.x += window.frame().minX();
        frame.origin.y += window.frame().minY();
        const CGRect visible = frame.intersection(shown);
        const auto* label = dynamic_cast<const platform::UILabel*>(child.get());
        const bool control = dynamic_cast<const platform::UIControl*>(child.get()) != nullptr;
        if ((control || (label && !label->text().empty())) && !visible.isNull() && !visible.isEmpty()) {
            out.push_back("view " + rectText(frame) + " | " + rectText(visible) + " | " + className(*child) +
                          " | " + (label ? oneLine(label->text()) : ""));
        }
        list(*child, child->clipsToBounds() ? visible : shown, window, out);
    }
}

}  // namespace

std::vector<std::string> ViewListing::lines() {
    const auto& screen = platform::UIScreen::mainScreen();
    const CGRect bounds = screen.bounds();
    const platform::UIEdgeInsets safe = screen.safeAreaInsets();
    std::vector<std::string> out{"screen " + rectText(bounds) + " safe area " + rectText(
                                     platform::UIEdgeInsetsInsetRect(bounds, safe))};
    for (const auto& window : platform::UIWindow::windows()) {
        if (window->isHidden()) continue;
        window->layoutIfNeeded();
        list(*window, window->frame().intersection(bounds), *window, out);
    }
    return out;
}

}  // namespace quorvel::shell
