#include "platform/uikit/application/ui_application.h"

#include <algorithm>

#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_url.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/uikit/application/desktop_url_opener.h"
#include "platform/uikit/application/ui_application_delegate.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/nibs/ui_storyboard.h"

namespace platform {

const NSNotificationName& UIApplicationDidFinishLaunchingNotification =
    *new NSNotificationName("UIApplicationDidFinishLaunchingNotification");
const NSNotificationName& UIApplicationDidBecomeActiveNotification =
    *new NSNotificationName("UIApplicationDidBecomeActiveNotification");
const NSNotificationName& UIApplicationWillResignActiveNotification =
    *new NSNotificationName("UIApplicationWillResignActiveNotification");
const NSNotificationName& UIApplicationDidEnterBackgroundNotification =
    *new NSNotificationName("UIApplicationDidEnterBackgroundNotification");
const NSNotificationName& UIApplicationWillEnterForegroundNotification =
    *new NSNotificationName("UIApplicationWillEnterForegroundNotification");
const NSNotificationName& UIApplicationWillTerminateNotification =
    *new NSNotificationName("UIApplicationWillTerminateNotification");

namespace {

// The link's scheme in lower case, or nothing when the text is no address or has no scheme.
std::string schemeOf(const std::string& url) {
    const auto address = NSURL::URLWithString(url);
    return address ? address->scheme() : std::string();
}

bool isDesktopScheme(const std::string& scheme) {
    return scheme == "http" || scheme == "https" || scheme == "mailto";
}

}  // namespace

UIApplication::UIApplication() : opener_(std::make_shared<DesktopURLOpener>()) {}

UIApplication& UIApplication::sharedApplication() {
    static UIApplication* application = new UIApplication();  // never destroyed: windows may outlive exit
    return *application;
}

void UIApplication::resetSharedForTesting() {
    UIApplication& app = sharedApplication();
    app.delegate_.reset();
    app.state_ = UIApplicationState::inactive;
    app.launched_ = false;
    app.terminated_ = false;
    ++app.backgroundTrip_;  // a suspension still queued for the last trip is dropped
    {
        MutexLock lock(app.backgroundTasksMutex_);
        app.backgroundTasks_.clear();
    }
    app.badgeNumber_ = 0;
    app.idleTimerDisabled_ = false;
    app.networkActivityIndicatorVisible_ = false;
    app.attributesObserver_ = nullptr;
    app.opener_ = std::make_shared<DesktopURLOpener>();
    NSRunLoop::main().setSuspended(false);
}

std::shared_ptr<UIWindow> UIApplication::keyWindow() const {
    return UIWindow::keyWindow();
}

std::vector<std::shared_ptr<UIWindow>> UIApplication::windows() const {
    return UIWindow::windows();
}

bool UIApplication::isSuspended() const {
    return NSRunLoop::main().isSuspended();
}

// Life cycle ----------------------------------------------------------------------------------------

bool UIApplication::launch(const std::shared_ptr<UIApplicationDelegate>& delegate,
                           const Value::Dictionary& launchOptions) {
    if (launched_) return false;
    launched_ = true;
    delegate_ = delegate;
    state_ = UIApplicationState::inactive;
    loadMainStoryboard();
    bool launched = delegate_ ? delegate_->applicationDidFinishLaunchingWithOptions(*this, launchOptions) : true;
    NSNotificationCenter::defaultCenter().postNotificationName(UIApplicationDidFinishLaunchingNotification);
    if (auto window = delegate_ ? delegate_->window() : nullptr; window && window->isHidden()) window->makeKeyAndVisible();
    becomeActive();
    return launched;
}

void UIApplication::loadMainStoryboard() {
    const auto& info = NSBundle::mainBundle()->infoDictionary();
    auto entry = info.find("UIMainStoryboardFile");
    const std::string* name = entry == info.end() ? nullptr : entry->second.stringValue();
    if (!name || !delegate_) return;
    auto storyboard = UIStoryboard::storyboardWithName(*name);
    auto root = storyboard ? storyboard->instantiateInitialViewController() : nullptr;
    if (!root) {
        Console::print("The main storyboard " + *name + " has no initial controller");
        return;
    }
    auto window = std::make_shared<UIWindow>();
    window->setRootViewController(root);
    delegate_->setWindow(window);
}

void UIApplication::becomeActive() {
    if (!launched_ || terminated_ || state_ != UIApplicationState::inactive) return;
    state_ = UIApplicationState::active;
    tell(&UIApplicationDelegate::applicationDidBecomeActive, UIApplicationDidBecomeActiveNotification);
    attributesChanged();
}

void UIApplication::resignActive() {
    if (terminated_ || state_ != UIApplicationState::active) return;
    tell(&UIApplicationDelegate::applicationWillResignActive, UIApplicationWillResignActiveNotification);
    state_ = UIApplicationState::inactive;
    attributesChanged();
}

void UIApplication::enterBackground() {
    if (!launched_ || terminated_ || state_ == UIApplicationState::background) return;
    resignActive();
    state_ = UIApplicationState::background;
    tell(&UIApplicationDelegate::applicationDidEnterBackground, UIApplicationDidEnterBackgroundNotification);
    NSUserDefaults::flushAll();
    attributesChanged();
    ++backgroundTrip_;
    suspendAfterQueuedWork();
}

void UIApplication::suspendAfterQueuedWork() {
    // What the app queued on its way out still runs, as in the platform's short grace before suspension.
    std::uint64_t trip = backgroundTrip_;
    NSRunLoop::main().perform([this, trip] {
        bool holdsTasks = false;
        {
            MutexLock lock(backgroundTasksMutex_);
            holdsTasks = !backgroundTasks_.empty();
        }
        if (trip == backgroundTrip_ && state_ == UIApplicationState::background && !terminated_ && !holdsTasks)
            NSRunLoop::main().setSuspended(true);
    });
}

std::uint64_t UIApplication::beginBackgroundTask() {
    std::uint64_t identifier = 0;
    {
        MutexLock lock(backgroundTasksMutex_);
        identifier = ++lastBackgroundTask_;
        backgroundTasks_.insert(identifier);
    }
    NSRunLoop::main().setSuspended(false);
    return identifier;
}

void UIApplication::endBackgroundTask(std::uint64_t identifier) {
    {
        MutexLock lock(backgroundTasksMutex_);
        if (backgroundTasks_.erase(identifier) == 0 || !backgroundTasks_.empty()) return;
    }
    // The state belongs to the main thread: the suspension decides there.
    NSRunLoop::main().perform([this] { suspendAfterQueuedWork(); });
}

void UIApplication::enterForeground() {
    if (terminated_ || state_ != UIApplicationState::background) return;
    ++backgroundTrip_;
    NSRunLoop::main().setSuspended(false);
    state_ = UIApplicationState::inactive;
    tell(&UIApplicationDelegate::applicationWillEnterForeground, UIApplicationWillEnterForegroundNotification);
    becomeActive();
}

void UIApplication::terminate() {
    if (!launched_ || terminated_) return;
    resignActive();
    // A suspended app is woken only to hear of its end: what fell due while it slept (a session's end)
    // must not run after the handlers have closed its stores, or it would count what it can no longer keep.
    const bool asleep = NSRunLoop::main().isSuspended();
    NSRunLoop::main().setSuspended(false);
    tell(&UIApplicationDelegate::applicationWillTerminate, UIApplicationWillTerminateNotification);
    NSUserDefaults::flushAll();
    terminated_ = true;
    if (asleep) NSRunLoop::main().setSuspended(true);
}

void UIApplication::tell(void (UIApplicationDelegate::*call)(UIApplication&), const NSNotificationName& name) {
    if (auto delegate = delegate_) ((*delegate).*call)(*this);
    NSNotificationCenter::defaultCenter().postNotificationName(name);
}

// Attributes ----------------------------------------------------------------------------------------

void UIApplication::setApplicationIconBadgeNumber(std::int64_t number) {
    if (number == badgeNumber_) return;
    badgeNumber_ = number;
    attributesChanged();
}

void UIApplication::setIdleTimerDisabled(bool disabled) {
    if (disabled == idleTimerDisabled_) return;
    idleTimerDisabled_ = disabled;
    attributesChanged();
}

void UIApplication::setNetworkActivityIndicatorVisible(bool visible) {
    if (visible == networkActivityIndicatorVisible_) return;
    networkActivityIndicatorVisible_ = visible;
    attributesChanged();
}

void UIApplication::attributesChanged() {
    if (auto observer = attributesObserver_) observer();
}

// Links ---------------------------------------------------------------------------------------------

bool UIApplication::canOpenURL(const std::string& url) const {
    std::string scheme = schemeOf(url);
    return opener_ && isDesktopScheme(scheme) && opener_->canOpenScheme(scheme);
}

void UIApplication::openURL(const std::string& url, const Value::Dictionary& options,
                            std::function<void(bool success)> completion) {
    (void)options;
    bool opened = opener_ && isDesktopScheme(schemeOf(url)) && opener_->openURL(url);
    if (completion) DispatchQueue::main()->async([completion, opened] { completion(opened); });
}

}  // namespace platform
