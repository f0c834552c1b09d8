#include "platform/uikit/drawing/ui_graphics.h"

#include <vector>

#include "platform/coregraphics/cg_bitmap_context.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_image.h"

namespace platform {

namespace {

struct Entry {
    CGContext* context = nullptr;
    // Set for image contexts, which the stack owns.
    std::unique_ptr<CGBitmapContext> bitmap;
};

std::vector<Entry>& stack() {
    static std::vector<Entry> entries;
    return entries;
}

}  // namespace

bool UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale) {
    if (!(scale > 0)) scale = UIScreen::mainScreen().scale();
    auto bitmap = CGBitmapContext::create(size, opaque, scale);
    if (!bitmap) return false;
    Entry entry;
    entry.context = bitmap.get();
    entry.bitmap = std::move(bitmap);
    stack().push_back(std::move(entry));
    return true;
}

bool UIGraphicsBeginImageContext(CGSize size) {
    return UIGraphicsBeginImageContextWithOptions(size, false, 1);
}

CGContext* UIGraphicsGetCurrentContext() {
    return stack().empty() ? nullptr : stack().back().context;
}

std::shared_ptr<UIImage> UIGraphicsGetImageFromCurrentImageContext() {
    if (stack().empty() || !stack().back().bitmap) return nullptr;
    return std::make_shared<UIImage>(*stack().back().bitmap->makeImage());
}

void UIGraphicsEndImageContext() {
    if (stack().empty() || !stack().back().bitmap) return;
    stack().pop_back();
}

void UIGraphicsPushContext(CGContext* context) {
    Entry entry;
    entry.context = context;
    stack().push_back(std::move(entry));
}

void UIGraphicsPopContext() {
    if (stack().empty() || stack().back().bitmap) return;
    stack().pop_back();
}

}  // namespace platform
