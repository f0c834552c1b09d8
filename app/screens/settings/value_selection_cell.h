#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/core/sound_vocabulary.h"
#include "app/widgets/badge/badged_cell.h"
#include "platform/uikit/drawing/ui_image.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/tables/ns_index_path.h"
#include "platform/uikit/text/ui_label.h"

namespace quorvel {

// A selectable row of a value list (the auto-reset hours, the sound lists): an icon shown while the row
// is selected, its text, and a circle that is grey, or the focus theme colour while selected. A fresh
// selection flashes grey and fades to white. Main thread only.
class ValueSelectionCell : public BadgedCell {
public:
    static constexpr const char* kReuseIdentifier = "valueSelectionCell";

    ValueSelectionCell();
    ValueSelectionCell(platform::UITableViewCellStyle style, const std::string& reuseIdentifier);

    const std::shared_ptr<platform::UIImageView>& icon() const { return icon_; }
    const std::shared_ptr<platform::UILabel>& textDisplayLabel() const { return textDisplayLabel_; }
    const std::shared_ptr<platform::UIView>& grayCirle() const { return grayCirle_; }
    std::int64_t integerUpdateValue() const { return integerUpdateValue_; }
    const std::string& stringUpdateValue() const { return stringUpdateValue_; }

    // A value row: its text and value; the badge removed.
    void configure(const std::string& name, std::int64_t value, int iconKind);
    // A sound row; the first row of a list carries the list's title (`soundListRowTitle`).
    void configureSound(const std::string& name, int iconKind, const SoundOptionFunction& function,
                        const platform::NSIndexPath& indexPath);
    // 0 "batch_alarm", 1 "batch_bell", any other "batch_stopwatch".
    static std::shared_ptr<platform::UIImage> iconImage(int iconKind);

    void awakeFromNib() override;
    void prepareForReuse() override;
    using BadgedCell::setSelected;
    void setSelected(bool selected, bool animated) override;
    void layoutSubviews() override;

    static const std::shared_ptr<platform::UIColor>& selectionGrey();

private:
    std::shared_ptr<platform::UIImageView> icon_;
    std::shared_ptr<platform::UILabel> textDisplayLabel_;
    std::shared_ptr<platform::UIView> grayCirle_;
    std::int64_t integerUpdateValue_ = 0;
    std::string stringUpdateValue_;
};

}  // namespace quorvel
