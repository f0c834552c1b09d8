#include "platform/uikit/ui_view_controller.h"

#include <algorithm>

#include "platform/uikit/interface_driver.h"
#include "platform/uikit/ui_screen.h"
#include "platform/uikit/ui_view.h"
#include "platform/uikit/ui_view_controller_transition_coordinator.h"

namespace platform {

UIViewController::UIViewController() = default;

UIViewController::UIViewController(std::string nibName) : nibName_(std::move(nibName)) {}

UIViewController::~UIViewController() {
    if (view_ && view_->viewController_ == this) view_->viewController_ = nullptr;
}

// View ------------------------------------------------------------------------------------------------

const std::shared_ptr<UIView>& UIViewController::view() {
    loadViewIfNeeded();
    return view_;
}

void UIViewController::loadViewIfNeeded() {
    // A view asked for while it is being made is not made again inside itself.
    if (viewDidLoadCalled_ || loadingView_) return;
    auto keep = weak_from_this().lock();
    loadingView_ = true;
    if (!view_) loadView();
    if (!view_) UIViewController::loadView();
    loadingView_ = false;
    viewDidLoadCalled_ = true;
    viewDidLoad();
}

void UIViewController::setView(const std::shared_ptr<UIView>& view) {
    if (view == view_) return;
    if (view_ && view_->viewController_ == this) view_->viewController_ = nullptr;
    // A view serves one controller.
    if (view && view->viewController_) {
        UIViewController* previous = view->viewController_;
        previous->view_.reset();
        previous->viewDidLoadCalled_ = false;
    }
    view_ = view;
    if (view_) {
        view_->viewController_ = this;
    } else {
        viewDidLoadCalled_ = false;  // the next use loads a new one
    }
}

void UIViewController::loadView() {
    auto view = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    setView(view);
}

// Appearance ------------------------------------------------------------------------------------------

void UIViewController::beginAppearanceTransition(bool appearing, bool animated) {
    if (appearing == isShowing()) return;
    auto keep = weak_from_this().lock();
    appearance_ = appearing ? Appearance::appearing : Appearance::disappearing;
    appearanceAnimated_ = animated;
    if (appearing) {
        loadViewIfNeeded();
        viewWillAppear(animated);
    } else {
        viewWillDisappear(animated);
    }
    for (const auto& child : childrenInView()) child->beginAppearanceTransition(appearing, animated);
}

void UIViewController::endAppearanceTransition() {
    auto keep = weak_from_this().lock();
    if (appearance_ == Appearance::appearing) {
        appearance_ = Appearance::appeared;
        viewDidAppear(appearanceAnimated_);
    } else if (appearance_ == Appearance::disappearing) {
        appearance_ = Appearance::disappeared;
        viewDidDisappear(appearanceAnimated_);
    } else {
        return;
    }
    for (const auto& child : childrenInView()) child->endAppearanceTransition();
}

std::vector<std::shared_ptr<UIViewController>> UIViewController::childrenInView() const {
    std::vector<std::shared_ptr<UIViewController>> inView;
    if (!view_) return inView;
    for (const auto& child : children_) {
        if (child->view_ && child->view_->isDescendantOfView(view_.get())) inView.push_back(child);
    }
    return inView;
}

// Traits and rotation ---------------------------------------------------------------------------------

UITraitCollection UIViewController::traitCollection() const {
    if (view_ && view_->window()) return view_->traitCollection();
    return UITraitCollection::forWindowSize(UIScreen::mainScreen().applicationFrame().size);
}

unsigned UIViewController::supportedInterfaceOrientations() const {
    return DeviceProfile::current().idiom == UIUserInterfaceIdiom::pad ? UIInterfaceOrientationMaskAll
                                                                        : UIInterfaceOrientationMaskAllButUpsideDown;
}

void UIViewController::attemptRotationToDeviceOrientation() {
    InterfaceDriver::attemptRotationToDeviceOrientation();
}

void UIViewController::viewWillTransitionToSize(CGSize size, UIViewControllerTransitionCoordinator& coordinator) {
    for (const auto& child : std::vector(children_)) child->viewWillTransitionToSize(size, coordinator);
}

void UIViewController::willTransitionToTraitCollection(const UITraitCollection& traits,
                                                       UIViewControllerTransitionCoordinator& coordinator) {
    for (const auto& child : std::vector(children_)) child->willTransitionToTraitCollection(traits, coordinator);
}

// Containment -----------------------------------------------------------------------------------------

void UIViewController::addChildViewController(const std::shared_ptr<UIViewController>& child) {
    if (!child) return;
    for (const UIViewController* c = this; c; c = c->parent_.lock().get()) {
        if (c == child.get()) return;  // a controller cannot contain itself or an ancestor
    }
    if (child->parent_.lock().get() == this) return;
    child->removeFromParentViewController();
    child->willMoveToParentViewController(this);
    children_.push_back(child);
    child->parent_ = weak_from_this();
}

void UIViewController::removeFromParentViewController() {
    auto parent = parent_.lock();
    if (!parent) return;
    auto keep = weak_from_this().lock();
    std::erase_if(parent->children_, [this](const auto& c) { return c.get() == this; });
    parent_.reset();
    didMoveToParentViewController(nullptr);
}

}  // namespace platform
