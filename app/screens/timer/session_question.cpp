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
    const std::weak_ptr<SessionQuestion> weak = shared_from_this();
    alert->setWillShowHandler([weak](QueuedAlertView&) {
        if (const auto question = weak.lock()) question->onScreen_ = true;
    });
    // On its way out, answered or giving way to another alert: it is left to finish.
    alert->setWillDismissHandler([weak](QueuedAlertView&) {
        if (const auto question = weak.lock()) question->onScreen_ = false;
    });
    // Back after giving way, its session may have gone meanwhile.
    alert->setDidShowHandler([weak](QueuedAlertView&) {
        if (const auto question = weak.lock()) question->closeUnlessStanding();
    });
    // Every end, skip, stop or replacement of the session in hand posts this.
    platform::NSNotificationCenter::defaultCenter().addObserver(
        shared_from_this(), &SessionQuestion::sessionDidChange, NotificationName::sessionDidChange());
}

bool SessionQuestion::takeAnswer() {
    alert_.reset();
    return stands();
}

void SessionQuestion::sessionDidChange(const platform::NSNotification&) {
    closeUnlessStanding();
}

void SessionQuestion::closeUnlessStanding() {
    const auto alert = alert_.lock();
    if (!alert || stands()) return;
    // Not yet shown, or waiting in the queue to come back: it leaves the queue. One on its way out
    // finishes leaving.
    if (alert->visible() && !onScreen_) return;
    alert_.reset();
    alert->dismissAnimated(true);
}

}  // namespace quorvel
