#pragma once

#include <memory>

#include "platform/foundation/value.h"

namespace platform {

class UIApplication;
class UIWindow;

// What the application tells the app about its life: launch, activation, the background and the end.
// Each call comes before the matching UIApplication…Notification is posted. Main thread.
class UIApplicationDelegate {
public:
    virtual ~UIApplicationDelegate() = default;

    // The launch options are empty when the user started the app.
    virtual bool applicationDidFinishLaunchingWithOptions(UIApplication& application,
                                                          const Value::Dictionary& launchOptions) {
        (void)application;
        (void)launchOptions;
        return true;
    }
    virtual void applicationDidBecomeActive(UIApplication& application) { (void)application; }
    virtual void applicationWillResignActive(UIApplication& application) { (void)application; }
    virtual void applicationDidEnterBackground(UIApplication& application) { (void)application; }
    virtual void applicationWillEnterForeground(UIApplication& application) { (void)application; }
    virtual void applicationWillTerminate(UIApplication& application) { (void)application; }

    // The window the main storyboard is shown in, when the app has one.
    virtual std::shared_ptr<UIWindow> window() const { return window_; }
    virtual void setWindow(const std::shared_ptr<UIWindow>& window) { window_ = window; }

private:
    std::shared_ptr<UIWindow> window_;
};

}  // namespace platform
