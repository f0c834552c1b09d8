#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

namespace platform {

class UIView;
class UIViewController;

// An object a nib makes: a view (cells included) or a controller.
class UINibObject {
public:
    UINibObject(std::shared_ptr<UIView> view) : view_(std::move(view)) {}
    UINibObject(std::shared_ptr<UIViewController> controller) : controller_(std::move(controller)) {}

    // The object as a T, or null when it is not one.
    template <typename T>
    std::shared_ptr<T> as() const {
        if constexpr (std::is_base_of_v<UIView, T>) {
            return std::dynamic_pointer_cast<T>(view_);
        } else {
            return std::dynamic_pointer_cast<T>(controller_);
        }
    }

    void awakeFromNib() const;

private:
    std::shared_ptr<UIView> view_;
    std::shared_ptr<UIViewController> controller_;
};

// What a nib's builder fills in: the objects it makes in code, and their outlets. Loading then connects
// the outlets in a fixed order, whatever order the builder wrote them in: first those of the objects
// inside the nib, then the owner's view, then the owner's other outlets, so that an outlet's setter may
// rely on the outlets of what it is handed; only then does every object hear awakeFromNib, in the order
// added. A controller loading its view from a nib runs viewDidLoad after all of that. Main thread.
class UINibBuilder {
public:
    explicit UINibBuilder(std::shared_ptr<UIViewController> owner) : owner_(std::move(owner)) {}

    // The file's owner; null when the nib is loaded without one.
    const std::shared_ptr<UIViewController>& owner() const { return owner_; }

    // An object of the nib. Returns it.
    template <typename T>
    std::shared_ptr<T> add(std::shared_ptr<T> object) {
        objects_.emplace_back(object);
        return object;
    }
    // An object loading answers, in the order added.
    template <typename T>
    std::shared_ptr<T> addTopLevel(std::shared_ptr<T> object) {
        topLevel_.emplace_back(object);
        return add(std::move(object));
    }

    // An outlet of an object inside the nib.
    void connect(std::function<void()> connection) { connections_.push_back(std::move(connection)); }
    // The owner's view.
    void setOwnerView(std::shared_ptr<UIView> view) { ownerView_ = std::move(view); }
    // An outlet of the owner.
    void connectOwner(std::function<void()> connection) { ownerConnections_.push_back(std::move(connection)); }

    // Connects and wakes as described above; answers the top-level objects.
    std::vector<UINibObject> finish();

private:
    std::shared_ptr<UIViewController> owner_;
    std::vector<UINibObject> objects_;
    std::vector<UINibObject> topLevel_;
    std::vector<std::function<void()>> connections_;
    std::shared_ptr<UIView> ownerView_;
    std::vector<std::function<void()>> ownerConnections_;
};

}  // namespace platform
