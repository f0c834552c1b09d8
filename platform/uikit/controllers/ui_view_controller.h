#pragma once

#include <any>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/uikit/controllers/ui_presentation_controller.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_trait_collection.h"
#include "platform/uikit/views/ui_responder.h"

namespace platform {

class UINavigationController;
class UINavigationItem;
class UIPopoverPresentationController;
class UIStoryboard;
class UIStoryboardSegue;
class UIView;
class UIViewControllerTransitionCoordinator;

// Which interface orientations a controller accepts: bit (1 << orientation).
enum : unsigned {
    UIInterfaceOrientationMaskAll = 30,
    UIInterfaceOrientationMaskAllButUpsideDown = 26,
};

inline unsigned UIInterfaceOrientationMaskFor(UIInterfaceOrientation orientation) {
    return 1u << static_cast<unsigned>(orientation);
}

enum class UIStatusBarStyle : int { defaultStyle = 0 };

// Manages one view tree: loads it on first use, hears of its appearance and layout, answers rotation
// questions, hands size changes on to the controllers it contains, and presents other controllers.
//
// Appearance comes in pairs: a "will" call as a change starts and the matching "did" call once it is
// over, after the current work, never twice in a row for the same state. A container hands its own
// appearance on to the children whose views are inside its view. Main thread only.
class UIViewController : public UIResponder, public std::enable_shared_from_this<UIViewController> {
public:
    UIViewController();
    // Loads its view from the nib of that name, with itself as the nib's owner.
    explicit UIViewController(std::string nibName);
    UIViewController(const UIViewController&) = delete;
    UIViewController& operator=(const UIViewController&) = delete;
    ~UIViewController() override;

    // Touches the view leaves alone go on to its superview, or to the presenter of a presented one.
    UIResponder* nextResponder() const override;

    // The view, loaded first if need be (loadView, then viewDidLoad once).
    const std::shared_ptr<UIView>& view();
    std::shared_ptr<UIView> viewIfLoaded() const { return view_; }
    bool isViewLoaded() const { return view_ != nullptr; }
    void setView(const std::shared_ptr<UIView>& view);
    void loadViewIfNeeded();
    const std::string& nibName() const { return nibName_; }

    // Makes the view: from the nib of the controller's nib name, with the controller as its owner,
    // else a plain view over the app's frame that follows its superview's size.
    virtual void loadView();
    virtual void viewDidLoad() {}
    // Runs once a storyboard or nib that made this controller has connected every outlet.
    virtual void awakeFromNib() {}

    // Appearance.
    virtual void viewWillAppear(bool animated) { (void)animated; }
    virtual void viewDidAppear(bool animated) { (void)animated; }
    virtual void viewWillDisappear(bool animated) { (void)animated; }
    virtual void viewDidDisappear(bool animated) { (void)animated; }
    // Starts the will-appear or will-disappear half of a change; endAppearanceTransition finishes it.
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();

    // Around each layout pass of the view.
    virtual void viewWillLayoutSubviews() {}
    virtual void viewDidLayoutSubviews() {}

    // Traits of the view's window, or of the app's frame before the view is in one.
    UITraitCollection traitCollection() const;

    // Rotation: the app turns to a new orientation only when the key window's root controller agrees.
    virtual bool shouldAutorotate() const { return true; }
    // Every orientation on a tablet; all but upside down on a phone.
    virtual unsigned supportedInterfaceOrientations() const;
    // Turns the interface to the device's orientation if it differs and the controller now agrees.
    static void attemptRotationToDeviceOrientation();

    // Before the view's size or traits change. Both hand the change on to the child controllers.
    virtual void viewWillTransitionToSize(CGSize size, UIViewControllerTransitionCoordinator& coordinator);
    virtual void willTransitionToTraitCollection(const UITraitCollection& traits,
                                                 UIViewControllerTransitionCoordinator& coordinator);

    // Status bar: the desktop shows none, but controllers still answer for their children.
    virtual UIStatusBarStyle preferredStatusBarStyle() const { return UIStatusBarStyle::defaultStyle; }
    virtual bool prefersStatusBarHidden() const { return false; }
    virtual std::shared_ptr<UIViewController> childViewControllerForStatusBarStyle() const { return nullptr; }
    virtual std::shared_ptr<UIViewController> childViewControllerForStatusBarHidden() const { return nullptr; }
    void setNeedsStatusBarAppearanceUpdate() {}

    // Containment.
    std::shared_ptr<UIViewController> parentViewController() const { return parent_.lock(); }
    const std::vector<std::shared_ptr<UIViewController>>& childViewControllers() const { return children_; }
    // Calls the child's willMoveToParentViewController; the container calls didMove once it placed the view.
    void addChildViewController(const std::shared_ptr<UIViewController>& child);
    // Calls didMoveToParentViewController(nullptr); the container calls willMove before.
    void removeFromParentViewController();
    virtual void willMoveToParentViewController(UIViewController* parent) { (void)parent; }
    virtual void didMoveToParentViewController(UIViewController* parent) { (void)parent; }

    const std::string& title() const { return title_; }
    // Also the navigation item's title.
    virtual void setTitle(const std::string& title);
    // What a navigation bar shows for this controller; made on first use with its title.
    const std::shared_ptr<UINavigationItem>& navigationItem();
    // The nearest navigation controller containing this one.
    std::shared_ptr<UINavigationController> navigationController() const;

    // Presentation. A controller presents from the outermost controller containing it, whose view
    // must be in a window; it presents one controller at a time, and the presented one may present in
    // turn. Asked during another presentation's transition, it waits for that one to end.
    void presentViewController(const std::shared_ptr<UIViewController>& controller, bool animated,
                               std::function<void()> completion = nullptr);
    // Dismisses what this controller (or the outermost controller containing it) presents, with
    // everything presented over that; when it presents nothing, asks its presenter to dismiss it.
    virtual void dismissViewControllerAnimated(bool animated, std::function<void()> completion = nullptr);
    std::shared_ptr<UIViewController> presentedViewController() const;
    std::shared_ptr<UIViewController> presentingViewController() const;
    bool isBeingPresented() const { return beingPresented_; }
    UIModalPresentationStyle modalPresentationStyle() const { return modalPresentationStyle_; }
    void setModalPresentationStyle(UIModalPresentationStyle style) { modalPresentationStyle_ = style; }
    // While presented, and from the moment the popover style is chosen until then.
    std::shared_ptr<UIPresentationController> presentationController() const;
    // With the popover style only: where the panel points.
    std::shared_ptr<UIPopoverPresentationController> popoverPresentationController();
    // The size the controller would like when shown in a panel; zero for no preference.
    CGSize preferredContentSize() const { return preferredContentSize_; }
    void setPreferredContentSize(CGSize size) { preferredContentSize_ = size; }

    // The storyboard this controller was made from, if any.
    const std::shared_ptr<UIStoryboard>& storyboard() const { return storyboard_; }
    // The identifier of the storyboard scene that made it; empty when no storyboard did.
    const std::string& sceneIdentifier() const { return sceneIdentifier_; }
    // Makes the segue's destination from the storyboard, lets prepareForSegue see both, then performs
    // it. An identifier the controller's scene has no segue for does nothing but a console line.
    void performSegueWithIdentifier(const std::string& identifier, const std::any& sender);
    virtual void prepareForSegue(UIStoryboardSegue& segue, const std::any& sender) {
        (void)segue;
        (void)sender;
    }

protected:
    void setNibName(std::string nibName) { nibName_ = std::move(nibName); }

private:
    friend class UIStoryboard;

    enum class Appearance { disappeared, appearing, appeared, disappearing };

    // On screen or on its way there.
    bool isShowing() const { return appearance_ == Appearance::appearing || appearance_ == Appearance::appeared; }

    // The children whose views are inside this controller's view: they share its appearance.
    std::vector<std::shared_ptr<UIViewController>> childrenInView() const;
    // The outermost controller containing this one (itself when it has no parent).
    UIViewController& outermost();
    void present(const std::shared_ptr<UIViewController>& controller, bool animated, std::function<void()> completion);
    void dismissPresented(bool animated, std::function<void()> completion);

    std::string nibName_;
    std::shared_ptr<UIView> view_;
    bool viewDidLoadCalled_ = false;
    bool loadingView_ = false;
    Appearance appearance_ = Appearance::disappeared;
    bool appearanceAnimated_ = false;
    std::weak_ptr<UIViewController> parent_;
    std::vector<std::shared_ptr<UIViewController>> children_;
    std::string title_;
    std::shared_ptr<UINavigationItem> navigationItem_;

    std::shared_ptr<UIViewController> presented_;
    std::weak_ptr<UIViewController> presenting_;
    std::shared_ptr<UIPresentationController> presentation_;
    UIModalPresentationStyle modalPresentationStyle_ = UIModalPresentationStyle::fullScreen;
    bool beingPresented_ = false;
    CGSize preferredContentSize_;

    std::shared_ptr<UIStoryboard> storyboard_;
    std::string sceneIdentifier_;
};

}  // namespace platform
