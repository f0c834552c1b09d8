#pragma once

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/widgets/reveal/reveal_table_view_cell.h"
#include "platform/quartzcore/ca_spring_animation.h"
#include "tests/platform/uikit/touch_fixture.h"

namespace quorvel::testing {

// Hands out the items it holds and counts how often it is asked.
class ButtonSource : public RevealTableViewCellDataSource {
public:
    std::vector<std::shared_ptr<RevealCellButtonItem>> left, right;
    int asked = 0;

    std::vector<std::shared_ptr<RevealCellButtonItem>> leftButtonItemsInRevealTableViewCell(
        RevealTableViewCell&) override {
        ++asked;
        return left;
    }
    std::vector<std::shared_ptr<RevealCellButtonItem>> rightButtonItemsInRevealTableViewCell(
        RevealTableViewCell&) override {
        ++asked;
        return right;
    }
};

// Writes down the messages it gets: "will 3", "animate 3", "did 3", "began 0 0", "moved -40 0.4",
// "ended -40 0.4", "pan ended".
class MoveLog : public RevealTableViewCellDelegate {
public:
    std::vector<std::string> log;
    bool mayBegin = true;

    bool revealTableViewCellPanGestureShouldBegin(RevealTableViewCell&) override { return mayBegin; }
    void revealTableViewCellPanGestureBeganFromLocation(RevealTableViewCell&, platform::CGFloat location,
                                                        platform::CGFloat progress) override {
        note("began", location, progress);
    }
    void revealTableViewCellPanGestureMovedToLocation(RevealTableViewCell&, platform::CGFloat location,
                                                      platform::CGFloat progress) override {
        note("moved", location, progress);
    }
    void revealTableViewCellPanGestureEndedToLocation(RevealTableViewCell&, platform::CGFloat location,
                                                      platform::CGFloat progress) override {
        note("ended", location, progress);
    }
    void revealTableViewCellPanGestureEnded(RevealTableViewCell&) override { log.push_back("pan ended"); }
    void revealTableViewCellWillMoveToPosition(RevealTableViewCell&, RevealCellRevealPosition p) override {
        log.push_back("will " + std::to_string(p));
    }
    void revealTableViewCellAnimateToPosition(RevealTableViewCell&, RevealCellRevealPosition p) override {
        log.push_back("animate " + std::to_string(p));
    }
    void revealTableViewCellDidMoveToPosition(RevealTableViewCell&, RevealCellRevealPosition p) override {
        log.push_back("did " + std::to_string(p));
    }

    std::vector<std::string> only(const std::string& prefix) const {
        std::vector<std::string> found;
        std::ranges::copy_if(log, std::back_inserter(found),
                             [&](const auto& e) { return e.starts_with(prefix); });
        return found;
    }

private:
    void note(const char* what, platform::CGFloat location, platform::CGFloat progress) {
        char text[64];
        std::snprintf(text, sizeof text, "%s %g %g", what, location, progress);
        log.push_back(text);
    }
};

// A reveal cell 375 × 100 at the top of a shown phone window (y 100), with 80 points of buttons on
// the left (30 and 50 wide) and 100 on the right.
class RevealCellTest : public TouchTest {
protected:
    static constexpr platform::CGFloat kRow = 150;  // the cell's middle, in the window

    void SetUp() override {
        TouchTest::SetUp();
        source->left = {item("Skip", 30, platform::UIColor::redColor()),
                        item("Reset", 50, platform::UIColor::blueColor())};
        source->right = {item("Delete", 100, platform::UIColor::colorWithWhite(0.3, 1))};
        cell->setFrame(platform::CGRect(0, 100, 375, 100));
        cell->setDataSource(source);
        cell->setDelegate(moves);
    }

    static std::shared_ptr<RevealCellButtonItem> item(const std::string& title, platform::CGFloat width,
                                                      std::shared_ptr<platform::UIColor> color) {
        auto made = std::make_shared<RevealCellButtonItem>(title);
        made->setWidth(width);
        made->setBackgroundColor(std::move(color));
        return made;
    }

    void join() {
        window->addSubview(cell);
        window->layoutIfNeeded();
        moves->log.clear();
    }
    // Where the content stands now, and where it is shown.
    platform::CGFloat contentX() const { return cell->contentView()->frame().origin.x; }
    platform::CGFloat shownContentX() const {
        const auto layer = cell->contentView()->layer();
        return layer->presentationValue("position").toPoint().x - layer->bounds().size.width / 2;
    }
    std::shared_ptr<platform::CASpringAnimation> contentSpring() const {
        return std::dynamic_pointer_cast<platform::CASpringAnimation>(
            cell->contentView()->layer()->animationForKey("position"));
    }
    // Drags along the cell's middle row, leaving the finger down unless `lift`.
    void drag(platform::CGFloat fromX, platform::CGFloat toX, double seconds, bool lift = true) {
        auto script = TouchDriver::dragScript({fromX, kRow}, {toX, kRow}, seconds);
        if (!lift) script.pop_back();
        driver.play(script);
    }
    // Moves a finger that is down already.
    void follow(platform::CGFloat fromX, platform::CGFloat toX, double seconds, bool lift = false) {
        auto script = TouchDriver::dragScript({fromX, kRow}, {toX, kRow}, seconds);
        script.erase(script.begin());
        if (!lift) script.pop_back();
        driver.play(script);
    }
    void lift(platform::CGFloat x) { driver.play({{0, TouchDriver::Kind::up, {x, kRow}}}); }

    std::shared_ptr<ButtonSource> source = std::make_shared<ButtonSource>();
    std::shared_ptr<MoveLog> moves = std::make_shared<MoveLog>();
    std::shared_ptr<RevealTableViewCell> cell =
        std::make_shared<RevealTableViewCell>(platform::UITableViewCellStyle::default_, "round");
};

}  // namespace quorvel::testing
