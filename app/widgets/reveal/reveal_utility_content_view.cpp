#include "app/widgets/reveal/reveal_utility_content_view.h"

#include <algorithm>
#include <cmath>

#include "app/widgets/reveal/reveal_geometry.h"
#include "app/widgets/reveal/reveal_table_view_cell.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/text/ui_font.h"

namespace quorvel {

using namespace platform;

namespace {

constexpr CGFloat kTitleSize = 17.5;
// Crossing the overdraw threshold, the first button grows over the others or gives the room back.
constexpr double kExtendDuration = 0.3;
constexpr double kRetractDuration = 0.5;

// Laid over a pressed button that has no image of its own.
std::shared_ptr<UIImage> pressedImage() {
    static const std::shared_ptr<UIImage> image = [] {
        std::shared_ptr<UIImage> made;
        if (UIGraphicsBeginImageContextWithOptions({1, 1}, false, 0)) {
            UIGraphicsGetCurrentContext()->setFillColor(UIColor::colorWithWhite(1, 0.333));
            UIGraphicsGetCurrentContext()->fillRect(CGRectMake(0, 0, 1, 1));
            made = UIGraphicsGetImageFromCurrentImageContext();
            UIGraphicsEndImageContext();
        }
        return made;
    }();
    return image;
}

}  // namespace

RevealUtilityContentView::RevealUtilityContentView(const CGRect& frame,
                                                   const std::shared_ptr<RevealTableViewCell>& cell)
    : UIView(frame), cell_(cell) {}

const std::vector<std::shared_ptr<RevealCellButtonItem>>& RevealUtilityContentView::items(RevealSide side) {
    Side& s = sideOf(side);
    if (!s.items) {
        std::vector<std::shared_ptr<RevealCellButtonItem>> given;
        auto cell = cell_.lock();
        if (auto source = cell ? cell->dataSource() : nullptr) {
            given = side == RevealSide::left ? source->leftButtonItemsInRevealTableViewCell(*cell)
                                             : source->rightButtonItemsInRevealTableViewCell(*cell);
        }
        std::erase(given, nullptr);
        auto self = weak_from_this().lock();
        for (const auto& item : given) item->setView(self);
        s.items = std::move(given);
    }
    return *s.items;
}

void RevealUtilityContentView::dropItems() {
    for (Side& s : sides_) s.items.reset();
}

CGFloat RevealUtilityContentView::revealWidth(RevealSide side) {
    CGFloat width = 0;
    for (const auto& item : items(side)) width += item->width();
    return width;
}

// Deploying -------------------------------------------------------------------------------------------

std::shared_ptr<RevealUtilityButtonView> RevealUtilityContentView::makeButtonView(
    const std::shared_ptr<RevealCellButtonItem>& item) {
    const CGRect frame(0, 0, item->width(), bounds().size.height);
    auto button = std::make_shared<RevealUtilityButton>();
    button->setFrame(frame);
    button->setItem(item);
    button->titleLabel()->setNumberOfLines(0);
    button->titleLabel()->setTextAlignment(NSTextAlignment::center);
    button->titleLabel()->setFont(UIFont::systemFontOfSize(kTitleSize));
    if (item->image()) {
        button->setWantsCombinedLayout(!item->title().empty());
    } else {
        button->setBackgroundImage(pressedImage(), UIControlStateHighlighted);
    }
    button->setTintColor(item->tintColor());
    button->setTitle(item->title(), UIControlStateNormal);
    button->setImage(item->image(), UIControlStateNormal);
    auto self = std::static_pointer_cast<RevealUtilityContentView>(shared_from_this());
    button->addTarget(self, &RevealUtilityContentView::buttonTapped, UIControlEventTouchUpInside);

    auto view = std::make_shared<RevealUtilityButtonView>(frame, button);
    view->setCustomBackgroundColor(item->backgroundColor());
    return view;
}

void RevealUtilityContentView::deploy(RevealSide side) {
    Side& s = sideOf(side);
    if (s.deployed) return;
    s.deployed = true;
    auto cell = cell_.lock();
    const bool reversed = cell && cell->sideMode(side).cascadeReversed;
    for (const auto& item : items(side)) {
        auto view = makeButtonView(item);
        // A reversed cascade slides each later button out from under the earlier ones.
        if (reversed) {
            insertSubview(view, 0);
        } else {
            addSubview(view);
        }
        s.views.push_back(std::move(view));
    }
}

void RevealUtilityContentView::undeploy(RevealSide side) {
    Side& s = sideOf(side);
    for (const auto& view : s.views) view->removeFromSuperview();
    s.views.clear();
    s.deployed = false;
    s.extended = false;
}

std::shared_ptr<RevealUtilityButton> RevealUtilityContentView::buttonForItem(
    const RevealCellButtonItem& item) const {
    for (const Side& s : sides_) {
        for (const auto& view : s.views) {
            if (view->button()->item().get() == &item) return view->button();
        }
    }
    return nullptr;
}

// Layout ---------------------------------------------------------------------------------------------

void RevealUtilityContentView::layoutForLocation(CGFloat location) {
    for (RevealSide side : {RevealSide::left, RevealSide::right}) {
        if (sideOf(side).deployed) layoutSide(side, std::max<CGFloat>(0, reveal::signOf(side) * location));
    }
}

void RevealUtilityContentView::layoutSide(RevealSide side, CGFloat distance) {
    auto cell = cell_.lock();
    Side& s = sideOf(side);
    const CGFloat revealed = revealWidth(side);
    if (!cell || revealed <= 0) return;  // nothing to share out
    const auto& mode = cell->sideMode(side);
    const CGFloat scale = cell->pixelScale();
    const auto& sideItems = items(side);

    const CGFloat shown = reveal::rubberBand(distance, revealed, scale);
    const bool acts = mode.cascadeReversed && mode.performsActionOnOverdraw;
    const bool extended = acts && distance >= revealed + reveal::kOverdraw;
    const CGSize size = bounds().size;

    std::vector<CGRect> frames;
    CGFloat offset = 0;
    for (size_t i = 0; i < sideItems.size() && i < s.views.size(); ++i) {
        const CGFloat share = shown * sideItems[i]->width() / revealed;
        CGFloat x = offset, width = share + (sideItems[i]->isOpaque() ? 1 / scale : 0);
        if (extended && i == 0) {
            x = 0;
            width = shown;
        }
        x = std::floor(x * scale) / scale;
        width = std::ceil(width * scale) / scale;
        if (side == RevealSide::right) x = size.width - x - width;
        frames.push_back(CGRect(x, 0, width, size.height));
        offset += share;
    }
    auto place = [&] {
        for (size_t i = 0; i < frames.size(); ++i) {
            s.views[i]->setFrame(frames[i]);
            const auto& button = s.views[i]->button();
            const CGFloat width = button->bounds().size.width;
            const bool atFarEdge = (side == RevealSide::right) != mode.cascadeReversed;
            button->setFrame(CGRect(atFarEdge ? frames[i].size.width - width : 0, 0, width, size.height));
        }
    };
    if (acts && extended != s.extended) {
        UIView::animateWithDuration(extended ? kExtendDuration : kRetractDuration, 0, 1.0, 0, 0, place,
                                    nullptr);
    } else {
        place();
    }
    s.extended = extended;
}

void RevealUtilityContentView::buttonTapped(RevealUtilityButton& button) {
    auto cell = cell_.lock();
    const auto item = button.item();
    if (!cell || !item || !item->handler()) return;
    if (item->handler()(item, cell)) cell->setRevealPosition(revealPositionCenter, true);
}

}  // namespace quorvel
