#include <gtest/gtest.h>

#include "platform/uikit/tables/ui_table_view.h"
#include "platform/uikit/tables/ui_table_view_data_source.h"
#include "tests/app/widgets/reveal/reveal_fixture.h"

namespace quorvel {
namespace {

using platform::CGFloat;
using Log = std::vector<std::string>;
using Kind = testing::TouchDriver::Kind;

class RevealCellPan : public testing::RevealCellTest {
protected:
    void SetUp() override {
        RevealCellTest::SetUp();
        join();
    }
};

TEST_F(RevealCellPan, ASlowDragOfLessThanHalfSnapsBackAndMoreThanHalfOpens) {
    drag(200, 160, 1, false);
    EXPECT_EQ(contentX(), -40);
    EXPECT_EQ(cell->utilityContentView()->isDeployed(RevealSide::right), true);
    lift(160);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    EXPECT_EQ(contentX(), 0);
    ASSERT_TRUE(contentSpring());
    EXPECT_DOUBLE_EQ(contentSpring()->duration(), 0.35);
    EXPECT_DOUBLE_EQ(contentSpring()->initialVelocity(), 1 / 0.35);
    const Log moved = moves->only("moved");
    EXPECT_EQ(moved.front(), "moved -6 0.06");  // the pan begins past 5 points
    EXPECT_EQ(moved.back(), "moved -40 0.4");
    std::erase_if(moves->log, [](const std::string& entry) { return entry.starts_with("moved"); });
    EXPECT_EQ(moves->log, (Log{"began 0 0", "ended -40 0.4", "pan ended", "animate 2"}));
    clock->advance(0.35);
    EXPECT_FALSE(cell->utilityContentView()->isDeployed(RevealSide::right));

    drag(200, 140, 1);
    EXPECT_EQ(cell->revealPosition(), revealPositionRight);
    EXPECT_EQ(contentX(), -100);
    clock->advance(0.35);
    EXPECT_EQ(moves->only("did"), (Log{"did 1"}));
}

TEST_F(RevealCellPan, AFlickOpensOrClosesByItsDirectionAlone) {
    // 20 points in 50 ms: 400 points a second, towards the right-hand buttons.
    drag(200, 180, 0.05);
    EXPECT_EQ(cell->revealPosition(), revealPositionRight);
    // The spring still lasts the reveal duration; the flick sets its speed: the 80 points left in 0.2 s.
    ASSERT_TRUE(contentSpring());
    EXPECT_DOUBLE_EQ(contentSpring()->duration(), 0.35);
    EXPECT_NEAR(contentSpring()->initialVelocity(), 1 / 0.2, 0.01);
    clock->advance(0.35);

    // Back the other way, fast: closed, though the content moved only 20 of 100 points.
    drag(200, 220, 0.05);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    EXPECT_NEAR(contentSpring()->initialVelocity(), 1 / (80.0 / 400), 0.01);
}

TEST_F(RevealCellPan, OverdrawFollowsTheRevealMode) {
    // 160 points to the right, 20 past the overdraw threshold of the 80-point left side.
    drag(100, 260, 1);
    EXPECT_EQ(cell->revealPosition(), revealPositionLeft);
    clock->advance(0.35);
    cell->resetCellAnimated(false);

    cell->setCellRevealMode(revealModeBounceBack);
    drag(100, 260, 1);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    clock->advance(0.35);

    // Reversed action: the first button takes the whole drag and the cell stays fully out...
    std::vector<std::string> tapped;
    source->left.front()->setHandler([&](const auto& item, const auto& c) {
        tapped.push_back(item->title());
        EXPECT_EQ(c, cell);
        return false;
    });
    cell->setCellRevealMode(revealModeReversedAction);
    drag(100, 260, 1, false);
    EXPECT_TRUE(cell->utilityContentView()->isExtended(RevealSide::left));
    lift(260);
    EXPECT_EQ(tapped, (std::vector<std::string>{"Skip"}));
    EXPECT_EQ(cell->revealPosition(), revealPositionLeftExtended);
    EXPECT_EQ(contentX(), 140);
    clock->advance(0.35);
    cell->resetCellAnimated(false);

    // ...unless its handler answers yes: then it closes.
    source->left.front()->setHandler([](const auto&, const auto&) { return true; });
    drag(100, 260, 1);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
}

TEST_F(RevealCellPan, ASideWithoutButtonsCannotBeDraggedOpen) {
    source->right.clear();
    drag(300, 200, 0.5, false);
    EXPECT_EQ(contentX(), 0);
    EXPECT_EQ(moves->only("moved").back(), "moved 0 0");
    lift(200);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    // The left still opens.
    drag(100, 200, 1);
    EXPECT_EQ(cell->revealPosition(), revealPositionLeft);
}

TEST_F(RevealCellPan, AVerticalMoveFirstLeavesTheTouchToOthers) {
    driver.play({{0, Kind::down, {200, kRow}},
                 {0.05, Kind::move, {201, kRow + 8}},
                 {0.1, Kind::move, {150, kRow + 8}},
                 {0.15, Kind::up, {150, kRow + 8}}});
    EXPECT_EQ(contentX(), 0);
    EXPECT_TRUE(moves->log.empty());
    // Six points sideways are enough.
    driver.play({{0, Kind::down, {200, kRow}}, {0.05, Kind::move, {206, kRow + 2}}});
    EXPECT_EQ(moves->log.front(), "began 0 0");
    EXPECT_EQ(cell->panGestureRecognizer()->state(), platform::UIGestureRecognizerState::began);
}

TEST_F(RevealCellPan, ACancelledSwipeReturnsTheCellToRest) {
    cell->setRevealPosition(revealPositionLeft);
    drag(200, 120, 1, false);
    EXPECT_EQ(contentX(), 0);
    driver.play({{0, Kind::cancel}});
    EXPECT_EQ(moves->only("ended"), (Log{"ended 0 0"}));
    EXPECT_EQ(moves->log.back(), "animate 3");
    EXPECT_EQ(cell->revealPosition(), revealPositionLeft);
    EXPECT_EQ(contentX(), 80);
    clock->advance(0.35);
    EXPECT_EQ(cell->pendingMoves(), 0u);
    EXPECT_TRUE(cell->utilityContentView()->isDeployed(RevealSide::left));
    EXPECT_FALSE(cell->utilityContentView()->isDeployed(RevealSide::right));
}

TEST_F(RevealCellPan, APanHoldsBackMovesAndWaitsForThem) {
    // While a move runs, no pan begins.
    cell->setRevealPosition(revealPositionLeft, true);
    drag(300, 200, 0.3);
    EXPECT_TRUE(moves->only("began").empty());
    clock->advance(0.35);

    // A move asked for during a pan runs after the pan's own move.
    drag(200, 140, 1, false);
    cell->setRevealPosition(revealPositionRight, true);
    EXPECT_EQ(cell->pendingMoves(), 2u);
    EXPECT_EQ(cell->revealPosition(), revealPositionLeft);
    lift(140);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    clock->advance(0.35);
    EXPECT_EQ(cell->revealPosition(), revealPositionRight);
    clock->advance(0.35);
    EXPECT_EQ(cell->pendingMoves(), 0u);
}

TEST_F(RevealCellPan, TheDelegateAndTheBorderDecideWhereAPanMayStart) {
    moves->mayBegin = false;
    drag(100, 200, 1);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    moves->mayBegin = true;

    cell->setDraggableBorderWidth(40);
    drag(100, 200, 1);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter) << "not near an edge";
    drag(30, 130, 1);
    EXPECT_EQ(cell->revealPosition(), revealPositionLeft);
    clock->advance(0.35);
    // Open, the border no longer matters.
    drag(200, 130, 1);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    clock->advance(0.35);
    cell->resetCellAnimated(false);
    source->right.clear();
    drag(360, 200, 1);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter) << "the right edge has no buttons";
}

// In a table the sideways drag goes to the cell and the upright one scrolls the rows.
class Rows : public platform::UITableViewDataSource {
public:
    std::shared_ptr<testing::ButtonSource> buttons;
    long tableViewNumberOfRowsInSection(platform::UITableView&, long) override { return 20; }
    std::shared_ptr<platform::UITableViewCell> tableViewCellForRowAtIndexPath(
        platform::UITableView& table, const platform::NSIndexPath& p) override {
        auto cell = std::dynamic_pointer_cast<RevealTableViewCell>(
            table.dequeueReusableCellWithIdentifier("round", p));
        cell->setDataSource(buttons);
        return cell;
    }
};

TEST_F(RevealCellPan, InATableSidewaysOpensTheCellAndUprightScrolls) {
    cell->removeFromSuperview();
    auto rows = std::make_shared<Rows>();
    rows->buttons = source;
    auto table = std::make_shared<platform::UITableView>(platform::CGRect(0, 0, 375, 667));
    table->registerClass<RevealTableViewCell>("round");
    table->setRowHeight(100);
    table->setDataSource(rows);
    window->addSubview(table);
    table->layoutIfNeeded();

    auto second = std::dynamic_pointer_cast<RevealTableViewCell>(table->cellForRowAtIndexPath({0, 1}));
    ASSERT_TRUE(second);
    auto separator = [&] {
        for (const auto& view : second->subviews()) {
            if (view->className() == "UITableViewCellSeparatorView" && !view->isHidden()) return view;
        }
        return std::shared_ptr<platform::UIView>();
    }();
    ASSERT_TRUE(separator);
    const CGFloat separatorX = separator->frame().minX();

    drag(200, 100, 1);
    EXPECT_EQ(second->revealPosition(), revealPositionRight);
    EXPECT_EQ(second->contentView()->frame().minX(), -100);
    EXPECT_EQ(separator->frame().minX(), separatorX) << "the row's line stays";
    EXPECT_EQ(table->contentOffset().y, 0);

    driver.drag({200, 400}, {200, 200}, 0.3);
    clock->advance(3);
    EXPECT_GT(table->contentOffset().y, 100);
}

}  // namespace
}  // namespace quorvel
