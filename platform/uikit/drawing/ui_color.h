#pragma once

#include <memory>

#include "platform/coregraphics/cg_color.h"

namespace platform {

class UIImage;

// The widget kit's colour: a CGColor (see there for spaces, precision and equality) made by name, by
// components or from a tiled image, and read back as RGB, HSB or white. Layers take it as it is.
class UIColor : public CGColor, public std::enable_shared_from_this<UIColor> {
public:
    static std::shared_ptr<UIColor> colorWithRed(double red, double green, double blue, double alpha);
    static std::shared_ptr<UIColor> colorWithWhite(double white, double alpha);
    // Hue, saturation and brightness in 0…1 (a hue of 1 is red again); the result is an RGB colour.
    static std::shared_ptr<UIColor> colorWithHue(double hue, double saturation, double brightness,
                                                 double alpha);

    // A colour that paints by tiling an image (at the image's scale); its alpha is 1.
    static std::shared_ptr<UIColor> colorWithPatternImage(std::shared_ptr<UIImage> image);

    // The same object when `color` is a UIColor already, else a UIColor equal to it; null stays null.
    static std::shared_ptr<UIColor> colorWithCGColor(const CGColorRef& color);

    // Named colours, made once and shared.
    static std::shared_ptr<UIColor> blackColor();      // white 0
    static std::shared_ptr<UIColor> darkGrayColor();   // white 1/3
    static std::shared_ptr<UIColor> grayColor();       // white 0.5
    static std::shared_ptr<UIColor> lightGrayColor();  // white 2/3
    static std::shared_ptr<UIColor> whiteColor();      // white 1
    static std::shared_ptr<UIColor> clearColor();      // white 0, alpha 0
    static std::shared_ptr<UIColor> redColor();        // RGB 1, 0, 0
    static std::shared_ptr<UIColor> greenColor();      // RGB 0, 1, 0
    static std::shared_ptr<UIColor> blueColor();       // RGB 0, 0, 1
    static std::shared_ptr<UIColor> cyanColor();       // RGB 0, 1, 1
    static std::shared_ptr<UIColor> yellowColor();     // RGB 1, 1, 0
    static std::shared_ptr<UIColor> magentaColor();    // RGB 1, 0, 1
    static std::shared_ptr<UIColor> orangeColor();     // RGB 1, 0.5, 0
    static std::shared_ptr<UIColor> purpleColor();     // RGB 0.5, 0, 0.5
    static std::shared_ptr<UIColor> brownColor();      // RGB 0.6, 0.4, 0.2

    // The same colour in the same space with another alpha.
    std::shared_ptr<UIColor> colorWithAlphaComponent(double alpha) const;
    // This object, as the colour a layer takes.
    CGColorRef CGColor() { return shared_from_this(); }

    // Component reads answer false and leave the outputs alone when the colour cannot be read that way:
    // RGB (getRed, from CGColor) and HSB reads work for white and RGB colours (a white level is grey), the
    // white read only for white colours, none for a pattern. Any output pointer may be null.
    bool getHue(double* hue, double* saturation, double* brightness, double* alpha) const;
    bool getWhite(double* white, double* alpha) const;

private:
    struct Key {};  // keeps construction to the factories while allowing make_shared

public:
    UIColor(Key, ColorSpace space, const std::array<double, 4>& components,
            std::shared_ptr<CGImage> pattern = nullptr);

private:
    static std::shared_ptr<UIColor> make(ColorSpace space, const std::array<double, 4>& components,
                                         std::shared_ptr<CGImage> pattern = nullptr);
};

}  // namespace platform
