#include <gtest/gtest.h>

#include <functional>

#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/drawing/ui_image_view.h"
#include "platform/uikit/text/ns_attributed_string.h"
#include "platform/uikit/text/ui_label.h"

namespace platform {
namespace {

// Whether `change` marked the view's layer for a repaint.
bool repaints(UIView& view, const std::function<void()>& change) {
    const auto before = view.layer()->revision();
    change();
    return view.layer()->revision() != before;
}

// The timer screen sets its clock, round and goal texts on every tick; only a new text repaints.
TEST(ViewRedraw, TextsSetAgainRepaintNothingAndNewOnesRepaint) {
    UILabel label;
    label.setText("24:50");
    EXPECT_FALSE(repaints(label, [&] { label.setText("24:50"); }));
    EXPECT_TRUE(repaints(label, [&] { label.setText("24:49"); }));
    EXPECT_FALSE(repaints(label, [&] { label.setTextColor(UIColor::colorWithWhite(0, 1)); })) << "black already";
    EXPECT_TRUE(repaints(label, [&] { label.setTextColor(UIColor::whiteColor()); }));

    auto styled = [](const std::string& text, CGFloat size) {
        auto s = std::make_shared<NSAttributedString>("1", NSAttributes{UIFont::systemFontOfSize(size), nullptr});
        s->appendAttributedString(NSAttributedString(text, {UIFont::systemFontOfSize(size / 2), nullptr}));
        return s;
    };
    label.setAttributedText(styled("/4", 40));
    EXPECT_FALSE(repaints(label, [&] { label.setAttributedText(styled("/4", 40)); }));
    EXPECT_TRUE(repaints(label, [&] { label.setAttributedText(styled("/5", 40)); }));
    EXPECT_TRUE(repaints(label, [&] { label.setAttributedText(styled("/5", 30)); })) << "another font";
    EXPECT_TRUE(repaints(label, [&] { label.setText("/5"); })) << "plain text in place of styled";

    auto button = UIButton::buttonWithType(UIButtonType::custom);
    button->setTitle("24:50", UIControlStateNormal);
    EXPECT_FALSE(repaints(*button, [&] { button->setTitle("24:50", UIControlStateNormal); }));
    EXPECT_TRUE(repaints(*button, [&] { button->setTitle("24:49", UIControlStateNormal); }));

    UIImageView imageView;
    const auto image = std::make_shared<UIImage>();
    imageView.setImage(image);
    EXPECT_FALSE(repaints(imageView, [&] { imageView.setImage(image); }));
    EXPECT_TRUE(repaints(imageView, [&] { imageView.setImage(nullptr); }));
}

}  // namespace
}  // namespace platform
