#pragma once

#include <memory>
#include <string>

#include "platform/uikit/views/ui_view.h"

namespace platform {

class UILabel;

// The view a table shows for a section's header or footer title: in a plain table a bar with the title
// in bold, in a grouped table the title in small grey capitals above the section (or in small grey text
// below it, for a footer).
class UITableViewHeaderFooterView : public UIView {
public:
    enum class Placement { plainHeader, plainFooter, groupedHeader, groupedFooter };

    explicit UITableViewHeaderFooterView(Placement placement);

    Placement placement() const { return placement_; }
    const std::shared_ptr<UIView>& contentView() const { return contentView_; }
    const std::shared_ptr<UILabel>& textLabel() const { return textLabel_; }
    // Grouped headers show their title in capitals.
    void setTitle(const std::string& title);

    // The height a title needs in a table `width` points wide.
    static CGFloat heightForTitle(Placement placement, const std::string& title, CGFloat width);

    void layoutSubviews() override;

private:
    // Where the title's label goes in `bounds`.
    CGRect labelFrame(const CGRect& bounds) const;

    Placement placement_;
    std::shared_ptr<UIView> contentView_;
    std::shared_ptr<UILabel> textLabel_;
};

}  // namespace platform
