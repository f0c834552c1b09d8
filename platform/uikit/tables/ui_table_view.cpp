#include "platform/uikit/tables/ui_table_view.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/foundation/console.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "platform/uikit/nibs/ui_nib.h"
#include "platform/uikit/tables/ui_table_view_data_source.h"
#include "platform/uikit/tables/ui_table_view_delegate.h"
#include "platform/uikit/tables/ui_table_view_header_footer_view.h"
#include "platform/uikit/touches/ui_touch.h"

namespace platform {

namespace {

// A grouped table's gap above its first section, and above and below the others, where no title or
// view asks for more.
constexpr CGFloat kGroupedTopGap = 35;
constexpr CGFloat kGroupedGap = 17.5;

using Placement = UITableViewHeaderFooterView::Placement;

CGFloat usableHeight(CGFloat height, CGFloat fallback) {
    return std::isfinite(height) && height >= 0 ? height : fallback;
}

}  // namespace

UITableView::UITableView(const CGRect& frame, UITableViewStyle style)
    : UIScrollView(frame),
      style_(style),
      separatorColor_(UIColor::colorWithRed(198 / 255.0, 198 / 255.0, 200 / 255.0, 1)) {
    setBackgroundColor(style == UITableViewStyle::grouped
                           ? UIColor::colorWithRed(242 / 255.0, 242 / 255.0, 247 / 255.0, 1)
                           : UIColor::whiteColor());
    setAlwaysBounceVertical(true);
}

UITableView::~UITableView() = default;

void UITableView::setDataSource(std::weak_ptr<UITableViewDataSource> dataSource) {
    dataSource_ = std::move(dataSource);
    reloadData();
}

void UITableView::setDelegate(std::weak_ptr<UITableViewDelegate> delegate) {
    delegate_ = delegate;
    UIScrollView::setDelegate(std::weak_ptr<UIScrollViewDelegate>(delegate));
    geometryStale_ = true;
    setNeedsLayout();
}

// Settings ----------------------------------------------------------------------------------------

void UITableView::setRowHeight(CGFloat height) {
    rowHeight_ = height;
    geometryStale_ = true;
    setNeedsLayout();
}

void UITableView::setSeparatorStyle(UITableViewCellSeparatorStyle style) {
    separatorStyle_ = style;
    setNeedsLayout();
    setNeedsDisplay();
}

void UITableView::setSeparatorColor(std::shared_ptr<UIColor> color) {
    separatorColor_ = std::move(color);
    setNeedsLayout();
    setNeedsDisplay();
}

void UITableView::setTableHeaderView(std::shared_ptr<UIView> view) {
    if (tableHeaderView_) tableHeaderView_->removeFromSuperview();
    tableHeaderView_ = std::move(view);
    if (tableHeaderView_) addSubview(tableHeaderView_);
    geometryStale_ = true;
    setNeedsLayout();
}

void UITableView::setTableFooterView(std::shared_ptr<UIView> view) {
    if (tableFooterView_) tableFooterView_->removeFromSuperview();
    tableFooterView_ = std::move(view);
    if (tableFooterView_) addSubview(tableFooterView_);
    geometryStale_ = true;
    setNeedsLayout();
    setNeedsDisplay();
}

// Data --------------------------------------------------------------------------------------------

void UITableView::reloadData() {
    recycleRows([](const NSIndexPath&) { return true; });
    selected_.clear();
    geometryStale_ = true;
    setNeedsLayout();
}

void UITableView::reloadSections(const std::vector<long>& sections, UITableViewRowAnimation animation) {
    (void)animation;
    reloadRows(
        [&](const NSIndexPath& p) { return std::ranges::find(sections, p.section) != sections.end(); });
}

void UITableView::reloadRowsAtIndexPaths(const std::vector<NSIndexPath>& indexPaths,
                                         UITableViewRowAnimation animation) {
    (void)animation;
    reloadRows([&](const NSIndexPath& p) { return std::ranges::find(indexPaths, p) != indexPaths.end(); });
}

void UITableView::reloadRows(const std::function<bool(const NSIndexPath&)>& which) {
    std::erase_if(selected_, which);
    recycleRows(which);
    geometryStale_ = true;
    if (updateDepth_ > 0) {
        partReloadPending_ = true;
    } else {
        refresh();
    }
}

void UITableView::beginUpdates() {
    ++updateDepth_;
}

void UITableView::endUpdates() {
    if (updateDepth_ == 0 || --updateDepth_ > 0) return;
    if (std::exchange(partReloadPending_, false)) refresh();
}

long UITableView::numberOfSections() {
    reloadGeometryIfNeeded();
    return geometry_.numberOfSections();
}

long UITableView::numberOfRowsInSection(long section) {
    reloadGeometryIfNeeded();
    return geometry_.numberOfRows(section);
}

void UITableView::reloadGeometryIfNeeded() {
    const CGFloat width = bounds().size.width;
    if (!geometryStale_ && width == geometryWidth_) return;
    geometryStale_ = false;
    geometryWidth_ = width;
    for (auto* views : {&headers_, &footers_}) {
        for (const auto& s : *views) {
            if (s.view && s.view->superview().get() == this) s.view->removeFromSuperview();
        }
        views->clear();
    }
    shownSections_.clear();

    auto source = dataSource();
    auto d = delegate();
    const CGFloat fallbackRow = rowHeight_ >= 0 ? rowHeight_ : UITableViewCell::kDefaultHeight;
    const long count = source ? std::max(0L, source->numberOfSectionsInTableView(*this)) : 0;
    std::vector<TableGeometry::SectionHeights> sections(static_cast<size_t>(count));
    for (long s = 0; s < count; ++s) {
        auto& heights = sections[size_t(s)];
        const long rows = std::max(0L, source->tableViewNumberOfRowsInSection(*this, s));
        heights.rows.reserve(size_t(rows));
        for (long r = 0; r < rows; ++r) {
            const CGFloat h = d ? d->tableViewHeightForRowAtIndexPath(*this, {s, r}) : rowHeight_;
            heights.rows.push_back(usableHeight(h, fallbackRow));
        }
        headers_.push_back(sectionView(s, true));
        footers_.push_back(sectionView(s, false));
        heights.header = headers_.back().height;
        heights.footer = footers_.back().height;
    }
    geometry_ = TableGeometry(tableHeaderView_ ? tableHeaderView_->frame().height() : 0, sections,
                              tableFooterView_ ? tableFooterView_->frame().height() : 0);
    setContentSize({width, geometry_.contentHeight()});
}

UITableView::SectionView UITableView::sectionView(long section, bool header) {
    auto source = dataSource();
    auto d = delegate();
    SectionView made;
    made.view = d ? (header ? d->tableViewViewForHeaderInSection(*this, section)
                            : d->tableViewViewForFooterInSection(*this, section))
                  : nullptr;
    std::optional<std::string> title;
    if (!made.view && source) {
        title = header ? source->tableViewTitleForHeaderInSection(*this, section)
                       : source->tableViewTitleForFooterInSection(*this, section);
    }
    const bool grouped = style_ == UITableViewStyle::grouped;
    const Placement placement = grouped ? (header ? Placement::groupedHeader : Placement::groupedFooter)
                                        : (header ? Placement::plainHeader : Placement::plainFooter);
    if (title) {
        auto view = std::make_shared<UITableViewHeaderFooterView>(placement);
        view->setTitle(*title);
        made.view = view;
    }

    const CGFloat asked = d ? (header ? d->tableViewHeightForHeaderInSection(*this, section)
                                      : d->tableViewHeightForFooterInSection(*this, section))
                            : (header ? sectionHeaderHeight_ : sectionFooterHeight_);
    if (asked >= 0 && std::isfinite(asked)) {
        made.height = asked;
    } else if (title) {
        // The title wraps in the part of the width inside the safe area, where its view shows it.
        const UIEdgeInsets safe = safeAreaInsets();
        made.height = UITableViewHeaderFooterView::heightForTitle(
            placement, *title, std::max(0.0, bounds().size.width - safe.left - safe.right));
    } else if (made.view) {
        made.height = made.view->frame().height();
    } else if (grouped) {
        made.height = header && section == 0 ? kGroupedTopGap : kGroupedGap;
    }
    return made;
}

// Cells -------------------------------------------------------------------------------------------

void UITableView::registerClass(CellFactory factory, const std::string& identifier) {
    if (factory) {
        factories_[identifier] = std::move(factory);
    } else {
        factories_.erase(identifier);
    }
}

void UITableView::registerNib(const std::shared_ptr<UINib>& nib, const std::string& identifier) {
    if (!nib) return registerClass(nullptr, identifier);
    registerClass(
        [nib](const std::string&) -> std::shared_ptr<UITableViewCell> {
            for (const auto& object : nib->instantiateWithOwner(nullptr)) {
                if (auto cell = object.as<UITableViewCell>()) return cell;
            }
            return nullptr;
        },
        identifier);
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(
    const std::string& identifier) {
    if (auto it = pool_.find(identifier); it != pool_.end() && !it->second.empty()) {
        auto cell = std::move(it->second.back());
        it->second.pop_back();
        cell->prepareForReuse();
        return cell;
    }
    if (auto it = factories_.find(identifier); it != factories_.end()) return it->second(identifier);
    return nullptr;
}

std::shared_ptr<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(
    const std::string& identifier, const NSIndexPath& indexPath) {
    (void)indexPath;
    if (auto cell = dequeueReusableCellWithIdentifier(identifier)) return cell;
    Console::print("No cell class is registered for the reuse identifier \"" + identifier + "\".");
    return std::make_shared<UITableViewCell>(UITableViewCellStyle::default_, identifier);
}

std::shared_ptr<UITableViewCell> UITableView::makeCell(const NSIndexPath& indexPath) {
    auto source = dataSource();
    std::shared_ptr<UITableViewCell> cell =
        source ? source->tableViewCellForRowAtIndexPath(*this, indexPath) : nullptr;
    if (!cell) cell = std::make_shared<UITableViewCell>();
    if (cell->isEditing() != editing_) cell->setEditing(editing_, false);
    if (cell->isHighlighted()) cell->setHighlighted(false, false);
    const bool selected = selected_.contains(indexPath);
    if (cell->isSelected() != selected) cell->setSelected(selected, false);
    return cell;
}

void UITableView::recycleRows(const std::function<bool(const NSIndexPath&)>& which) {
    for (auto it = visible_.begin(); it != visible_.end();) {
        if (!which(it->first)) {
            ++it;
            continue;
        }
        auto cell = std::move(it->second);
        it = visible_.erase(it);
        if (cell->superview().get() == this) cell->removeFromSuperview();
        // Cells without an identifier are never asked for again.
        if (!cell->reuseIdentifier().empty()) pool_[cell->reuseIdentifier()].push_back(std::move(cell));
    }
}

UITableViewCell::Separators UITableView::separatorsFor(const NSIndexPath& indexPath) const {
    if (separatorStyle_ == UITableViewCellSeparatorStyle::none) return {};
    if (style_ == UITableViewStyle::plain) return {false, separatorInset_.left, separatorColor_};
    // A grouped section is closed by full-width lines above its first row and below its last.
    const bool last = indexPath.row + 1 == geometry_.numberOfRows(indexPath.section);
    return {indexPath.row == 0, last ? 0 : separatorInset_.left, separatorColor_};
}

std::shared_ptr<UITableViewCell> UITableView::cellForRowAtIndexPath(const NSIndexPath& indexPath) {
    updateIfNeeded();
    auto it = visible_.find(indexPath);
    return it == visible_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<UITableViewCell>> UITableView::visibleCells() {
    updateIfNeeded();
    std::vector<std::shared_ptr<UITableViewCell>> cells;
    cells.reserve(visible_.size());
    for (const auto& [path, cell] : visible_) cells.push_back(cell);
    return cells;
}

std::vector<NSIndexPath> UITableView::indexPathsForVisibleRows() {
    updateIfNeeded();
    std::vector<NSIndexPath> paths;
    paths.reserve(visible_.size());
    for (const auto& [path, cell] : visible_) paths.push_back(path);
    return paths;
}

std::optional<NSIndexPath> UITableView::indexPathForCell(const UITableViewCell& cell) const {
    for (const auto& [path, shown] : visible_) {
        if (shown.get() == &cell) return path;
    }
    return std::nullopt;
}

std::optional<NSIndexPath> UITableView::indexPathForRowAtPoint(CGPoint point) {
    reloadGeometryIfNeeded();
    return geometry_.rowAt(point.y);
}

std::shared_ptr<UIView> UITableView::headerViewForSection(long section) {
    reloadGeometryIfNeeded();
    return section >= 0 && section < long(headers_.size()) ? headers_[size_t(section)].view : nullptr;
}

std::shared_ptr<UIView> UITableView::footerViewForSection(long section) {
    reloadGeometryIfNeeded();
    return section >= 0 && section < long(footers_.size()) ? footers_[size_t(section)].view : nullptr;
}

CGRect UITableView::fullWidth(const TableGeometry::Span& span) const {
    return CGRect(0, span.top, bounds().size.width, span.height);
}

CGRect UITableView::rectForSection(long section) {
    reloadGeometryIfNeeded();
    return fullWidth(geometry_.section(section));
}

CGRect UITableView::rectForHeaderInSection(long section) {
    reloadGeometryIfNeeded();
    return fullWidth(geometry_.header(section));
}

CGRect UITableView::rectForFooterInSection(long section) {
    reloadGeometryIfNeeded();
    return fullWidth(geometry_.footer(section));
}

CGRect UITableView::rectForRowAtIndexPath(const NSIndexPath& indexPath) {
    reloadGeometryIfNeeded();
    return fullWidth(geometry_.row(indexPath));
}

void UITableView::scrollToRowAtIndexPath(const NSIndexPath& indexPath, UITableViewScrollPosition position,
                                         bool animated) {
    reloadGeometryIfNeeded();
    if (!geometry_.contains(indexPath)) return;
    const CGRect row = rectForRowAtIndexPath(indexPath);
    if (position == UITableViewScrollPosition::none) return scrollRectToVisible(row, animated);
    const UIEdgeInsets in = contentInset();
    const CGFloat viewport = bounds().size.height - in.top - in.bottom;
    CGFloat y = row.minY() - in.top;
    if (position == UITableViewScrollPosition::middle) y = row.midY() - in.top - viewport / 2;
    if (position == UITableViewScrollPosition::bottom) y = row.maxY() - in.top - viewport;
    y = std::clamp(y, minimumContentOffset().y, maximumContentOffset().y);
    setContentOffset({contentOffset().x, y}, animated);
}

// Selection ---------------------------------------------------------------------------------------

void UITableView::setAllowsSelection(bool allows) {
    allowsSelection_ = allows;
}

void UITableView::setAllowsMultipleSelection(bool allows) {
    allowsMultipleSelection_ = allows;
}

std::optional<NSIndexPath> UITableView::indexPathForSelectedRow() const {
    if (selected_.empty()) return std::nullopt;
    return *selected_.begin();
}

std::vector<NSIndexPath> UITableView::indexPathsForSelectedRows() const {
    return {selected_.begin(), selected_.end()};
}

void UITableView::selectRowAtIndexPath(const std::optional<NSIndexPath>& indexPath, bool animated,
                                       UITableViewScrollPosition position) {
    if (!allowsSelection_ && indexPath) return;
    if (!indexPath || !allowsMultipleSelection_) {
        for (const auto& other : std::set(selected_)) {
            if (other != indexPath) deselectRowAtIndexPath(other, animated);
        }
    }
    if (!indexPath) return;
    selected_.insert(*indexPath);
    if (auto it = visible_.find(*indexPath); it != visible_.end() && !it->second->isSelected()) {
        it->second->setSelected(true, animated);
    }
    // Selecting tells the table not to scroll unless asked to.
    if (position != UITableViewScrollPosition::none) scrollToRowAtIndexPath(*indexPath, position, animated);
}

void UITableView::deselectRowAtIndexPath(const NSIndexPath& indexPath, bool animated) {
    if (!selected_.erase(indexPath)) return;
    if (auto it = visible_.find(indexPath); it != visible_.end()) it->second->setSelected(false, animated);
}

// Touches -----------------------------------------------------------------------------------------

void UITableView::touchesBegan(const UITouchSet& touches, const UIEvent* event) {
    if (pressed_ || touches.empty() || !allowsSelection_ || editing_)
        return UIScrollView::touchesBegan(touches, event);
    const auto path = indexPathForRowAtPoint(touches.front()->locationInView(this));
    auto d = delegate();
    if (!path || (d && !d->tableViewShouldHighlightRowAtIndexPath(*this, *path))) {
        return UIScrollView::touchesBegan(touches, event);
    }
    pressed_ = path;
    pressingTouch_ = touches.front().get();
    if (auto cell = cellForRowAtIndexPath(*path)) cell->setHighlighted(true, false);
}

bool UITableView::stillOnPressedRow(const UITouchSet& touches) {
    for (const auto& touch : touches) {
        if (touch.get() == pressingTouch_)
            return indexPathForRowAtPoint(touch->locationInView(this)) == pressed_;
    }
    return true;  // another finger moved
}

void UITableView::releasePress() {
    if (!pressed_) return;
    if (auto cell = cellForRowAtIndexPath(*pressed_)) cell->setHighlighted(false, false);
    pressed_.reset();
    pressingTouch_ = nullptr;
}

void UITableView::touchesMoved(const UITouchSet& touches, const UIEvent* event) {
    if (!pressed_) return UIScrollView::touchesMoved(touches, event);
    if (!stillOnPressedRow(touches)) releasePress();
}

void UITableView::touchesEnded(const UITouchSet& touches, const UIEvent* event) {
    if (!pressed_) return UIScrollView::touchesEnded(touches, event);
    const bool pressing =
        std::any_of(touches.begin(), touches.end(), [&](const auto& t) { return t.get() == pressingTouch_; });
    if (!pressing) return;
    const NSIndexPath path = *pressed_;
    const bool onRow = stillOnPressedRow(touches);
    releasePress();
    if (onRow) selectTapped(path);
}

void UITableView::touchesCancelled(const UITouchSet& touches, const UIEvent* event) {
    if (!pressed_) return UIScrollView::touchesCancelled(touches, event);
    releasePress();
}

void UITableView::selectTapped(const NSIndexPath& indexPath) {
    auto keep = weak_from_this().lock();
    auto d = delegate();
    const std::optional<NSIndexPath> chosen =
        d ? d->tableViewWillSelectRowAtIndexPath(*this, indexPath) : indexPath;
    if (!chosen || !geometry_.contains(*chosen)) return;
    if (allowsMultipleSelection_ && selected_.contains(*chosen)) {
        deselectRowAtIndexPath(*chosen, false);
        if (d) d->tableViewDidDeselectRowAtIndexPath(*this, *chosen);
        return;
    }
    if (!allowsMultipleSelection_) {
        for (const auto& other : std::set(selected_)) {
            if (other == *chosen) continue;
            deselectRowAtIndexPath(other, false);
            if (d) d->tableViewDidDeselectRowAtIndexPath(*this, other);
        }
    }
    selectRowAtIndexPath(*chosen, false, UITableViewScrollPosition::none);
    if (d) d->tableViewDidSelectRowAtIndexPath(*this, *chosen);
}

void UITableView::setEditing(bool editing, bool animated) {
    editing_ = editing;
    for (const auto& [path, cell] : visible_) cell->setEditing(editing, animated);
}

// Layout ------------------------------------------------------------------------------------------

void UITableView::updateIfNeeded() {
    if (refreshing_) return;
    if (geometryStale_) setNeedsLayout();
    layoutIfNeeded();
}

void UITableView::layoutSubviews() {
    UIScrollView::layoutSubviews();
    refresh();
}

void UITableView::refresh() {
    if (refreshing_) return;
    refreshing_ = true;
    auto keep = weak_from_this().lock();
    reloadGeometryIfNeeded();
    const CGFloat top = contentOffset().y, bottom = top + bounds().size.height;
    layoutRows(top, bottom);
    layoutSectionViews(top, bottom);
    const CGFloat width = bounds().size.width;
    if (tableHeaderView_) tableHeaderView_->setFrame(CGRect(0, 0, width, tableHeaderView_->frame().height()));
    if (tableFooterView_) {
        tableFooterView_->setFrame(
            CGRect(0, geometry_.tableFooter().top, width, tableFooterView_->frame().height()));
    }
    refreshing_ = false;
}

void UITableView::layoutRows(CGFloat top, CGFloat bottom) {
    const std::vector<NSIndexPath> rows = geometry_.rowsIn(top, bottom);
    recycleRows([&](const NSIndexPath& p) { return !std::binary_search(rows.begin(), rows.end(), p); });
    for (const auto& path : rows) {
        auto it = visible_.find(path);
        if (it == visible_.end()) {
            // Not in the map until made: the data source may select rows while it makes the cell.
            auto cell = makeCell(path);
            // Behind the section headers, which a plain table pins over its rows.
            insertSubview(cell, 0);
            it = visible_.insert_or_assign(path, std::move(cell)).first;
        }
        it->second->setSeparators(separatorsFor(path));
        it->second->setFrame(fullWidth(geometry_.row(path)));
    }
}

void UITableView::layoutSectionViews(CGFloat top, CGFloat bottom) {
    const std::vector<long> sections = geometry_.sectionsIn(top, bottom);
    for (long s : shownSections_) {
        if (std::binary_search(sections.begin(), sections.end(), s)) continue;
        for (auto* views : {&headers_, &footers_}) {
            const auto& view = (*views)[size_t(s)].view;
            if (view && view->superview().get() == this) view->removeFromSuperview();
        }
    }
    shownSections_ = sections;
    const CGFloat pinnedTop = top + contentInset().top;
    for (long s : sections) {
        for (bool header : {true, false}) {
            const auto& view = (header ? headers_ : footers_)[size_t(s)].view;
            if (!view) continue;
            TableGeometry::Span span = header ? geometry_.header(s) : geometry_.footer(s);
            // A plain table keeps the header of the section at its top in view until the section leaves.
            if (header && style_ == UITableViewStyle::plain) {
                span.top = std::max(span.top, std::min(pinnedTop, geometry_.footer(s).top - span.height));
            }
            if (view->superview().get() != this) addSubview(view);
            view->setFrame(fullWidth(span));
        }
    }
}

void UITableView::drawRect(const CGRect& rect) {
    (void)rect;
    // A plain table rules the empty space below its last row as if rows went on.
    if (style_ != UITableViewStyle::plain || separatorStyle_ == UITableViewCellSeparatorStyle::none ||
        tableFooterView_ || !separatorColor_) {
        return;
    }
    CGContext* context = UIGraphicsGetCurrentContext();
    const CGFloat step = rowHeight_ > 0 ? rowHeight_ : UITableViewCell::kDefaultHeight;
    if (!context) return;
    const CGRect b = bounds();
    const CGFloat hairline = 1 / UIScreen::mainScreen().scale();
    context->setFillColor(separatorColor_);
    const CGFloat end = geometry_.contentHeight();
    const CGFloat first = end + step * std::max(1.0, std::ceil((b.minY() - end) / step));
    // Where the rows' own lines start: from their content, inside the safe area.
    const CGFloat lineStart = safeAreaInsets().left + separatorInset_.left;
    for (CGFloat y = first; y - hairline < b.maxY(); y += step) {
        context->fillRect(CGRect(lineStart, y - hairline, b.width() - lineStart, hairline));
    }
}

}  // namespace platform
