#pragma once

#include <memory>

#include "platform/foundation/ns_error.h"

namespace platform {

class MFMailComposeViewController;

// How a composer's message ended.
enum class MFMailComposeResult : int { cancelled = 0, saved = 1, sent = 2, failed = 3 };

// Told once when a composer is done with its message; the composer stays on screen until dismissed.
class MFMailComposeViewControllerDelegate {
public:
    virtual ~MFMailComposeViewControllerDelegate() = default;
    // The error is set only for `failed`.
    virtual void mailComposeController(MFMailComposeViewController& controller, MFMailComposeResult result,
                                       const std::shared_ptr<NSError>& error) = 0;
};

}  // namespace platform
