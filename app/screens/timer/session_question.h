#pragma once

#include <cstdint>
#include <memory>

#include "app/core/timer_view_model.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/foundation/ns_notification_center.h"

namespace quorvel {

// A question about the engine's session in hand, which answers for that session only: once the session
// ends or is skipped, stopped or replaced, the question closes and an answer that still arrives (a tap
// in the same moment, or on the card on its way out) must not be acted on. Main thread.
class SessionQuestion : public std::enable_shared_from_this<SessionQuestion> {
public:
    // About the session the engine has in hand now.
    static std::shared_ptr<SessionQuestion> aboutSessionInHand(const std::shared_ptr<TimerViewModel>& engine);
    ~SessionQuestion();

    // The session asked about is still the one in hand.
    bool stands() const;
    // Closes the alert, shown or waiting in the queue, as soon as the session asked about is gone. The
    // alert's show and dismiss handlers are the question's from then on.
    void closeWithSession(const std::shared_ptr<QueuedAlertView>& alert);
    // The person answered, and the alert closes itself: the question lets it. False when the session
    // asked about is gone, so the answer is for no session.
    bool takeAnswer();

private:
    SessionQuestion(const std::shared_ptr<TimerViewModel>& engine, std::uint64_t session);
    void sessionDidChange(const platform::NSNotification& notification);
    void closeUnlessStanding();

    std::weak_ptr<TimerViewModel> engine_;
    std::uint64_t session_;
    std::weak_ptr<QueuedAlertView> alert_;
    // Shown and not yet on its way out.
    bool onScreen_ = false;
};

}  // namespace quorvel
