#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/widgets/menu/drop_down_menu.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/navigation/ui_toolbar.h"
#include "tests/platform/uikit/touch_fixture.h"

namespace quorvel::testing {

// A phone window showing a navigation controller (its bar from y 20 to 64), and a menu of three
// items in the app's set-up: a toolbar dimming the screen at full alpha. Actions and closes are
// written into `log`.
class MenuTest : public TouchTest {
protected:
    static constexpr platform::CGFloat kBarBottom = 64;

    void SetUp() override {
        TouchTest::SetUp();
        window->setRootViewController(navigation);
        window->layoutIfNeeded();
        clock->runUntilIdle();
        for (const char* title : {"Timer", "Statistics", "Settings"}) {
            items.push_back(std::make_shared<DropDownMenuItem>(
                title, icon(platform::UIColor::whiteColor()), nullptr,
                [this](const auto& item) { log.push_back("action " + item->title()); }));
        }
        menu = std::make_shared<DropDownMenu>(items);
        menu->setBackgroundView(std::make_shared<platform::UIToolbar>(platform::CGRect(0, 0, 375, 667)));
        menu->setBackgroundAlpha(1);
        menu->setCloseCompletionHandler([this] { log.push_back("closed"); });
    }

    // A filled circle, 30 points square.
    static std::shared_ptr<platform::UIImage> icon(const std::shared_ptr<platform::UIColor>& color) {
        platform::UIGraphicsBeginImageContextWithOptions({30, 30}, false, 2);
        platform::UIGraphicsGetCurrentContext()->setFillColor(color);
        platform::UIGraphicsGetCurrentContext()->fillEllipseInRect(platform::CGRectMake(3, 3, 24, 24));
        auto image = platform::UIGraphicsGetImageFromCurrentImageContext();
        platform::UIGraphicsEndImageContext();
        return image;
    }

    void open() {
        menu->showFromNavigationController(*navigation);
        clock->advance(0.5);
    }
    // The middle of row `i` of the open menu, on the screen.
    static platform::CGPoint row(int i) { return {187, kBarBottom + 60.0 * i + 30}; }
    platform::CGFloat wrapperY() const { return menu->menuWrapperView()->frame().minY(); }
    platform::CGFloat shownWrapperY() const {
        const auto& layer = menu->menuWrapperView()->layer();
        return layer->presentationValue("position").toPoint().y - layer->bounds().size.height / 2;
    }
    size_t containersIn(const platform::UIView& view) const {
        size_t count = 0;
        for (const auto& sub : view.subviews()) {
            if (std::dynamic_pointer_cast<DropDownMenuContainerView>(sub)) ++count;
        }
        return count;
    }

    std::shared_ptr<platform::UIViewController> root = std::make_shared<platform::UIViewController>();
    std::shared_ptr<platform::UINavigationController> navigation =
        platform::UINavigationController::withRootViewController(root);
    std::vector<std::shared_ptr<DropDownMenuItem>> items;
    std::shared_ptr<DropDownMenu> menu;
};

}  // namespace quorvel::testing
