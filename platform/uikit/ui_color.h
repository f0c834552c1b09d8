#pragma once

#include <memory>

namespace platform {

class UIColor;
class UIImage;
// Layers take colours as "Core Graphics colours"; here that is the same immutable colour object.
using CGColorRef = std::shared_ptr<UIColor>;

// An immutable colour: either a white level or red, green and blue, each with an alpha. Components are
// kept in single precision (and clamped to 0…1), so n/255 reads back as the float nearest to it.
// Two colours are equal when they are in the same colour space with the same components: white 1 and
// RGB (1, 1, 1) are different colours, as on the platform the app was written for.
class UIColor : public std::enable_shared_from_this<UIColor> {
public:
    enum class ColorSpace { white, rgb, pattern };

    static std::shared_ptr<UIColor> colorWithRed(double red, double green, double blue, double alpha);
    static std::shared_ptr<UIColor> colorWithWhite(double white, double alpha);
    // Hue, saturation and brightness in 0…1 (a hue of 1 is red again); the result is an RGB colour.
    static std::shared_ptr<UIColor> colorWithHue(double hue, double saturation, double brightness,
                                                 double alpha);

    // A colour that paints by tiling an image (at the image's scale); its alpha is 1.
    static std::shared_ptr<UIColor> colorWithPatternImage(std::shared_ptr<UIImage> image);

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
    // RGB and HSB reads work for white and RGB colours (a white level is grey), the white read only for
    // white colours, none for a pattern. Any output pointer may be null.
    bool getRed(double* red, double* green, double* blue, double* alpha) const;
    bool getHue(double* hue, double* saturation, double* brightness, double* alpha) const;
    bool getWhite(double* white, double* alpha) const;

    ColorSpace colorSpace() const { return space_; }
    // White and alpha, or red, green, blue and alpha, as stored.
    int numberOfComponents() const { return space_ == ColorSpace::white ? 2 : 4; }
    const float* components() const { return components_; }
    // The tiled image of a pattern colour; null for the other spaces.
    const std::shared_ptr<UIImage>& patternImage() const { return patternImage_; }
    double alpha() const { return components_[numberOfComponents() - 1]; }

    bool operator==(const UIColor& other) const;
    // Equality with a colour pointer; a null colour equals no colour.
    bool isEqual(const std::shared_ptr<UIColor>& other) const { return other && *this == *other; }

private:
    struct Key {};  // keeps construction to the factories while allowing make_shared

public:
    UIColor(Key, ColorSpace space, const float* components);

private:
    static std::shared_ptr<UIColor> make(ColorSpace space, const float* components);

    ColorSpace space_;
    float components_[4] = {0, 0, 0, 0};
    std::shared_ptr<UIImage> patternImage_;
};

}  // namespace platform
