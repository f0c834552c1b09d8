#include "app/screens/timer/session_question.h"

#include "app/core/app_notification_names.h"

namespace quorvel {

std::shared_ptr<SessionQuestion> SessionQuestion::aboutSessionInHand(
    const std::shared_ptr<TimerViewModel>& engine) {
    return std::shared_ptr<SessionQuestion>(new SessionQuestion(engine, engine->sessionNumber()));
}

SessionQuestion::SessionQuestion(const std::shared_ptr<TimerViewModel>& engine, std::uint64_t session)
    : engine_(engine), session_(session) {}

SessionQuestion::~SessionQuestion() {
    platform::NSNotificationCenter::defaultCenter().removeObserver(this);
}

bool SessionQuestion::stands() const {
    // An engine made anew (a relaunch) holds none of the old engine's sessions.
    const auto engine = engine_.lock();
    return engine && engine == TimerViewModel::shared() && engine->sessionNumber() == session_;
}

void SessionQuestion::closeWithSession(const std::shared_ptr<QueuedAlertView>& alert) {
    alert_ = alert;
    // Every end, skip, stop or replacement of the session in hand posts this.
    platform::NSNotificationCenter::defaultCenter().addObserver(
        shared_from_this(), &SessionQuestion::sessionDidChange, NotificationName::sessionDidChange());
}

void SessionQuestion::sessionDidChange(const platform::NSNotification&) {
    if (stands()) return;
    const auto alert = alert_.lock();
    alert_.reset();
    // Out of the queue too: a question that gave way to another must not come back.
    if (alert) alert->dismissAnimated(true);
}

}  // namespace quorvel
