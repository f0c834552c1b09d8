#include <gtest/gtest.h>

#include "tests/app/widgets/reveal/reveal_fixture.h"

namespace quorvel {
namespace {

using platform::CGFloat;
using Log = std::vector<std::string>;

class RevealCellMoves : public testing::RevealCellTest {};

TEST_F(RevealCellMoves, APositionSetBeforeJoiningIsOnlyStoredThenAppliedOnJoining) {
    cell->setRevealPosition(revealPositionLeft, true);
    EXPECT_EQ(cell->revealPosition(), revealPositionLeft);
    EXPECT_FALSE(cell->utilityContentView());
    EXPECT_TRUE(moves->log.empty());
    EXPECT_EQ(source->asked, 0);

    window->addSubview(cell);
    // Applied at once, from the unplaced position, with the left buttons out.
    EXPECT_EQ(moves->log, (Log{"will 3", "animate 3", "did 3"}));
    EXPECT_EQ(cell->revealLocation(), 80);
    EXPECT_EQ(contentX(), 80);
    EXPECT_EQ(cell->utilityContentView()->frame(), platform::CGRect(0, 0, 375, 99.5));
    EXPECT_EQ(cell->utilityContentView()->buttonViews(RevealSide::left).size(), 2u);
    EXPECT_EQ(cell->pendingMoves(), 0u);
    // The buttons lie behind the content.
    EXPECT_EQ(cell->subviews().front(), cell->utilityContentView());
}

TEST_F(RevealCellMoves, EveryPositionHasItsLocation) {
    join();
    const std::pair<RevealCellRevealPosition, CGFloat> expected[] = {{revealPositionRightExtended, -160},
                                                                     {revealPositionRight, -100},
                                                                     {revealPositionCenter, 0},
                                                                     {revealPositionLeft, 80},
                                                                     {revealPositionLeftExtended, 140}};
    for (const auto& [position, location] : expected) {
        cell->setRevealPosition(position);
        EXPECT_EQ(cell->revealPosition(), position);
        EXPECT_EQ(contentX(), location) << position;
    }
}

TEST_F(RevealCellMoves, AnimatedMoveIsASpringOverTheRevealDurationAndTellsTheDelegateInOrder) {
    join();
    cell->setRevealPosition(revealPositionRight, true);
    EXPECT_EQ(cell->revealPosition(), revealPositionRight);
    EXPECT_EQ(contentX(), -100);  // the model moves at once
    EXPECT_EQ(shownContentX(), 0);
    const auto spring = contentSpring();
    ASSERT_TRUE(spring);
    EXPECT_DOUBLE_EQ(spring->duration(), 0.35);
    EXPECT_DOUBLE_EQ(spring->initialVelocity(), 1 / 0.35);
    EXPECT_EQ(moves->log, (Log{"will 1", "animate 1"}));

    clock->advance(0.2);
    EXPECT_LT(shownContentX(), -50);
    EXPECT_EQ(cell->pendingMoves(), 1u);
    clock->advance(0.15);
    EXPECT_EQ(moves->log, (Log{"will 1", "animate 1", "did 1"}));
    EXPECT_EQ(cell->pendingMoves(), 0u);
    EXPECT_EQ(shownContentX(), -100);
}

TEST_F(RevealCellMoves, MovesWaitForTheOneBeforeThem) {
    join();
    cell->setRevealPosition(revealPositionRight, true);
    cell->setRevealPosition(revealPositionLeft, true);
    cell->setRevealPosition(revealPositionCenter, true);
    EXPECT_EQ(cell->pendingMoves(), 3u);
    EXPECT_EQ(cell->revealPosition(), revealPositionRight);
    clock->advance(0.35);
    EXPECT_EQ(cell->revealPosition(), revealPositionLeft);
    clock->advance(0.35);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    clock->advance(0.35);
    EXPECT_EQ(moves->only("did"), (Log{"did 1", "did 3", "did 2"}));
    EXPECT_EQ(cell->pendingMoves(), 0u);
}

TEST_F(RevealCellMoves, OpeningShowsOneSideAndClosingPutsTheButtonsAwayAndForgetsTheItems) {
    join();
    auto content = cell->utilityContentView();
    cell->setRevealPosition(revealPositionLeft);
    EXPECT_TRUE(content->isDeployed(RevealSide::left));
    EXPECT_FALSE(content->isDeployed(RevealSide::right));
    // Across to the other side: the left buttons go once the move is over.
    cell->setRevealPosition(revealPositionRight, true);
    EXPECT_TRUE(content->isDeployed(RevealSide::left));
    EXPECT_TRUE(content->isDeployed(RevealSide::right));
    clock->advance(0.35);
    EXPECT_FALSE(content->isDeployed(RevealSide::left));

    const int asked = source->asked;
    cell->resetCellAnimated(true);
    clock->advance(0.35);
    EXPECT_FALSE(content->isDeployed(RevealSide::right));
    EXPECT_EQ(content->subviews().size(), 0u);
    // Closed, the items are asked for again.
    source->left.pop_back();
    cell->setRevealPosition(revealPositionLeft);
    EXPECT_GT(source->asked, asked);
    EXPECT_EQ(contentX(), 30);
}

TEST_F(RevealCellMoves, ASideWithoutButtonsStaysClosed) {
    source->left.clear();
    join();
    cell->setRevealPosition(revealPositionLeft);
    cell->setRevealPosition(revealPositionLeftExtended);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    EXPECT_EQ(contentX(), 0);
    EXPECT_TRUE(moves->only("will").empty());
    // Items that add up to no width: the side opens to 0 and its progress is 0, not a division by 0.
    source->left = {std::make_shared<RevealCellButtonItem>("Untitled")};
    cell->setRevealPosition(revealPositionLeft);
    EXPECT_EQ(cell->revealPosition(), revealPositionLeft);
    EXPECT_EQ(contentX(), 0);
    drag(100, 180, 0.5, false);
    EXPECT_EQ(moves->only("moved").back(), "moved 80 0");
}

TEST_F(RevealCellMoves, ReuseClosesAtOnce) {
    join();
    cell->setRevealPosition(revealPositionRight, true);
    clock->advance(0.35);
    cell->prepareForReuse();
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    EXPECT_EQ(contentX(), 0);
    EXPECT_FALSE(cell->contentView()->layer()->hasAnimations());
    EXPECT_FALSE(cell->utilityContentView()->isDeployed(RevealSide::right));
    EXPECT_EQ(moves->only("did").back(), "did 2");

    // Out of its table, a pooled cell only stores the reset; it is placed when the table takes it again.
    cell->setRevealPosition(revealPositionLeft);
    cell->removeFromSuperview();
    cell->prepareForReuse();
    window->addSubview(cell);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    EXPECT_EQ(contentX(), 0);
}

TEST_F(RevealCellMoves, EditingClosesTheCellUnlessRevealIsAllowedThere) {
    join();
    cell->setRevealPosition(revealPositionLeft);
    cell->setEditing(true, true);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    EXPECT_TRUE(contentSpring()) << "animated as asked";
    clock->advance(0.35);
    // While editing, nothing opens.
    cell->setRevealPosition(revealPositionLeft);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    drag(100, 200, 0.5);
    EXPECT_EQ(contentX(), 0);

    cell->setEditing(false, false);
    cell->setAllowsRevealInEditMode(true);
    cell->setRevealPosition(revealPositionLeft);
    cell->setEditing(true, false);
    EXPECT_EQ(cell->revealPosition(), revealPositionLeft);
    // Taking the permission back while editing closes it, without animation.
    cell->setAllowsRevealInEditMode(false);
    EXPECT_EQ(cell->revealPosition(), revealPositionCenter);
    EXPECT_EQ(contentX(), 0);
    EXPECT_FALSE(cell->contentView()->layer()->hasAnimations());
}

}  // namespace
}  // namespace quorvel
