#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform {

class UIBarButtonItem;
class UINavigationBar;
class UIView;

// What a navigation bar shows for one controller: a title or title view and the items at either side.
// The bar showing it redraws its content after every change. Main thread.
class UINavigationItem : public std::enable_shared_from_this<UINavigationItem> {
public:
    using Items = std::vector<std::shared_ptr<UIBarButtonItem>>;

    explicit UINavigationItem(std::string title = {}) : title_(std::move(title)) {}

    const std::string& title() const { return title_; }
    void setTitle(const std::string& title);
    // Shown instead of the title.
    const std::shared_ptr<UIView>& titleView() const { return titleView_; }

    // The first of the left or right items; setting one replaces them all (null clears them).
    std::shared_ptr<UIBarButtonItem> leftBarButtonItem() const;
    void setLeftBarButtonItem(const std::shared_ptr<UIBarButtonItem>& item);
    void setLeftBarButtonItem(const std::shared_ptr<UIBarButtonItem>& item, bool animated);
    std::shared_ptr<UIBarButtonItem> rightBarButtonItem() const;
    void setRightBarButtonItem(const std::shared_ptr<UIBarButtonItem>& item);
    void setRightBarButtonItem(const std::shared_ptr<UIBarButtonItem>& item, bool animated);
    // Left items from the leading edge inwards, right items from the trailing edge inwards.
    const Items& leftBarButtonItems() const { return left_; }
    void setLeftBarButtonItems(const Items& items);
    const Items& rightBarButtonItems() const { return right_; }
    void setRightBarButtonItems(const Items& items);

    // The bar offers a back button to the item below this one unless this one hides it or has left items.
    bool hidesBackButton() const { return hidesBackButton_; }
    // The title of the back button that leads back to this item; the item's title when empty.
    const std::string& backButtonTitle() const { return backButtonTitle_; }

private:
    friend class UINavigationBar;
    void changed();

    std::string title_;
    std::shared_ptr<UIView> titleView_;
    Items left_;
    Items right_;
    bool hidesBackButton_ = false;
    std::string backButtonTitle_;
    std::weak_ptr<UINavigationBar> bar_;
};

}  // namespace platform
