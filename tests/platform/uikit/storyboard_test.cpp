#include "platform/uikit/nibs/ui_storyboard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/application/ui_application_delegate.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/nibs/ui_nib.h"
#include "tests/support/fresh_application.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using Log = std::vector<std::string>;

namespace {

Log& events() {
    static Log log;
    return log;
}

// A ring whose button is an outlet of its own, and which hears when the nib is done.
struct Ring : UIView {
    void setButton(std::shared_ptr<UIView> b) {
        button = std::move(b);
        events().push_back("ring.button connected");
    }
    void awakeFromNib() override { events().push_back("ring.awakeFromNib"); }
    std::shared_ptr<UIView> button;
};

// Its ring outlet's setter relies on the ring's own outlet, as the timer screen's does.
struct TimerScreen : UIViewController {
    void setRing(std::shared_ptr<Ring> r) {
        ring = std::move(r);
        events().push_back(std::string("screen.ring connected, button ") + (ring->button ? "there" : "missing") +
                           ", view " + (isViewLoaded() ? "set" : "missing"));
    }
    void awakeFromNib() override { events().push_back("screen.awakeFromNib"); }
    void viewDidLoad() override { events().push_back(std::string("screen.viewDidLoad, ring ") + (ring ? "set" : "missing")); }
    std::shared_ptr<Ring> ring;
};

struct SettingsScreen : UIViewController {
    void prepareForSegue(UIStoryboardSegue& segue, const std::any& sender) override {
        prepared.push_back(segue.identifier());
        if (auto colour = std::any_cast<int>(&sender)) senderSeen = *colour;
        destination = segue.destinationViewController();
    }
    Log prepared;
    int senderSeen = -1;
    std::shared_ptr<UIViewController> destination;
};

struct HourList : UIViewController {};

void registerScenes() {
    UIStoryboard::registerScene(
        "TimeView", "TimeViewController", [] { return std::make_shared<TimerScreen>(); },
        [](UINibBuilder& nib) {
            auto screen = std::static_pointer_cast<TimerScreen>(nib.owner());
            auto root = nib.add(std::make_shared<UIView>(CGRect(0, 0, 375, 667)));
            auto ring = nib.add(std::make_shared<Ring>());
            auto button = nib.add(std::make_shared<UIView>());
            root->addSubview(ring);
            ring->addSubview(button);
            // Written owner first: loading still connects the ring's own outlet before it.
            nib.connectOwner([screen, ring] { screen->setRing(ring); });
            nib.connect([ring, button] { ring->setButton(button); });
            nib.setOwnerView(root);
        });
    UIStoryboard::registerScene("Settings", "OptionViewController", [] { return std::make_shared<SettingsScreen>(); });
    UIStoryboard::registerScene("Settings", "ValueTableController", [] { return std::make_shared<HourList>(); });
    UIStoryboard::registerSegue("Settings", "OptionViewController", "autoReset", "ValueTableController",
                                UIStoryboardSegueKind::show);
    UIStoryboard::registerSegue("Settings", "OptionViewController", "modal", "ValueTableController",
                                UIStoryboardSegueKind::presentModally);
}

}  // namespace

TEST(Storyboard, AFactoryConnectsEveryOutletInOrderBeforeViewDidLoad) {
    registerScenes();
    auto storyboard = UIStoryboard::storyboardWithName("TimeView");
    ASSERT_NE(storyboard, nullptr);
    auto screen = std::dynamic_pointer_cast<TimerScreen>(storyboard->instantiateViewControllerWithIdentifier("TimeViewController"));
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->storyboard(), storyboard);
    EXPECT_EQ(events(), (Log{"screen.awakeFromNib"}));
    EXPECT_FALSE(screen->isViewLoaded());
    screen->view();
    EXPECT_EQ(events(), (Log{"screen.awakeFromNib", "ring.button connected",
                             "screen.ring connected, button there, view set", "ring.awakeFromNib",
                             "screen.viewDidLoad, ring set"}));
    EXPECT_EQ(screen->ring->superview(), screen->view());
    auto another = storyboard->instantiateViewControllerWithIdentifier("TimeViewController");
    EXPECT_NE(another, screen);
}

TEST(Storyboard, UnknownNamesGiveNothing) {
    registerScenes();
    EXPECT_EQ(UIStoryboard::storyboardWithName("Charts"), nullptr);
    Console::Capture console;
    EXPECT_EQ(UIStoryboard::storyboardWithName("Settings")->instantiateViewControllerWithIdentifier("Nope"), nullptr);
    EXPECT_TRUE(console.contains("has no scene Nope"));
    EXPECT_EQ(UINib::nibWithNibName("NoSuchViewController"), nullptr);
}

TEST(Segues, TheSourcePreparesTheDestinationWhichIsThenShown) {
    auto clock = VirtualClock::install();
    registerScenes();
    auto settings = std::static_pointer_cast<SettingsScreen>(
        UIStoryboard::storyboardWithName("Settings")->instantiateViewControllerWithIdentifier("OptionViewController"));
    auto navigation = UINavigationController::withRootViewController(settings);
    auto window = std::make_shared<UIWindow>();
    window->setRootViewController(navigation);
    window->makeKeyAndVisible();
    clock->runUntilIdle();

    settings->performSegueWithIdentifier("autoReset", 3);
    EXPECT_EQ(settings->prepared, (Log{"autoReset"}));
    EXPECT_EQ(settings->senderSeen, 3);
    ASSERT_NE(std::dynamic_pointer_cast<HourList>(settings->destination), nullptr);
    EXPECT_EQ(navigation->topViewController(), settings->destination);  // shown by a push

    clock->advance(1);
    navigation->popViewControllerAnimated(false);
    clock->runUntilIdle();
    settings->performSegueWithIdentifier("modal", {});
    clock->advance(1);
    EXPECT_EQ(navigation->presentedViewController(), settings->destination);

    Console::Capture console;
    settings->performSegueWithIdentifier("colourPicker", {});
    EXPECT_TRUE(console.contains("No segue with identifier colourPicker"));
    EXPECT_EQ(settings->prepared.size(), 2u);
}

TEST(Nibs, AControllerWithANibNameLoadsItAsItsOwnerAndANibMayHoldTheController) {
    struct Sheet : UIViewController {
        using UIViewController::UIViewController;
        void viewDidLoad() override { loaded = true; }
        std::shared_ptr<UIView> content;
        bool loaded = false;
    };
    UINib::registerNib("VolumeAlertViewController", [](UINibBuilder& nib) {
        auto sheet = std::dynamic_pointer_cast<Sheet>(nib.owner());
        if (!sheet) sheet = nib.addTopLevel(std::make_shared<Sheet>());  // loaded without an owner
        auto root = nib.add(std::make_shared<UIView>());
        auto content = nib.add(std::make_shared<UIView>());
        root->addSubview(content);
        nib.connect([sheet, root, content] {
            sheet->setView(root);
            sheet->content = content;
        });
    });
    auto owned = std::make_shared<Sheet>("VolumeAlertViewController");
    EXPECT_EQ(owned->view()->subviews().size(), 1u);
    EXPECT_EQ(owned->content, owned->view()->subviews().front());
    EXPECT_TRUE(owned->loaded);

    auto objects = UINib::nibWithNibName("VolumeAlertViewController")->instantiateWithOwner(nullptr);
    ASSERT_EQ(objects.size(), 1u);
    auto loaded = objects.front().as<Sheet>();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(objects.front().as<UIView>(), nullptr);
    EXPECT_FALSE(loaded->loaded);  // its view is there, and it hears viewDidLoad on first use
    loaded->loadViewIfNeeded();
    EXPECT_TRUE(loaded->loaded);
    EXPECT_NE(loaded->content, nullptr);
}

TEST(MainStoryboard, TheInitialControllerIsShownAfterTheDelegateLaunched) {
    quorvel::testing::FreshApplication fresh;
    auto clock = VirtualClock::install();
    quorvel::testing::TempDataRoot root;
    std::ofstream(root.path() / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>UIMainStoryboardFile</key><string>Main</string></dict></plist>\n";
    NSBundle::setMainBundlePath(root.path());
    UIStoryboard::registerScene("Main", "Container", [] { return std::make_shared<UINavigationController>(); });
    UIStoryboard::setInitialScene("Main", "Container");
    struct Delegate : UIApplicationDelegate {
        bool applicationDidFinishLaunchingWithOptions(UIApplication&, const Value::Dictionary&) override {
            rootWhileLaunching = window() ? window()->rootViewController() : nullptr;
            shownWhileLaunching = window() && !window()->isHidden();
            return true;
        }
        std::shared_ptr<UIViewController> rootWhileLaunching;
        bool shownWhileLaunching = true;
    };
    auto delegate = std::make_shared<Delegate>();
    UIApplication::sharedApplication().launch(delegate);
    EXPECT_NE(std::dynamic_pointer_cast<UINavigationController>(delegate->rootWhileLaunching), nullptr);
    EXPECT_FALSE(delegate->shownWhileLaunching);
    EXPECT_EQ(UIApplication::sharedApplication().keyWindow(), delegate->window());
    NSBundle::setMainBundlePath({});
}
