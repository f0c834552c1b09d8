#pragma once

#include <memory>

#include "platform/coregraphics/cg_context.h"
#include "platform/coregraphics/cg_geometry.h"

namespace platform {

class UIImage;

// The current-context stack of the main thread: image contexts and contexts the renderer pushes while a
// view draws. The top one is the current context.

// A bitmap context of `size` points at `scale` pixels per point (0: the screen's scale), transparent
// unless `opaque` (then it starts white, as an opaque bitmap has no alpha to start from). A size with no
// pixels opens no context. True when a context was opened: without one, the current context is still
// the caller's, and drawing and ending would go to it.
bool UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale);
// Not opaque, scale 1.
bool UIGraphicsBeginImageContext(CGSize size);
// The context on top of the stack, or null.
CGContext* UIGraphicsGetCurrentContext();
// A snapshot of the current image context; null when the top context is not an image context.
std::shared_ptr<UIImage> UIGraphicsGetImageFromCurrentImageContext();
// Closes the current image context (nothing when the top context is not one).
void UIGraphicsEndImageContext();

// Makes `context` current until the matching pop; the caller keeps ownership.
void UIGraphicsPushContext(CGContext* context);
void UIGraphicsPopContext();

}  // namespace platform
