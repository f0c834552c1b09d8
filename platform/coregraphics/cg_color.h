#pragma once

#include <array>
#include <memory>

namespace platform {

class CGColor;
class CGImage;
// Layers and drawing contexts take colours as shared immutable objects; a null colour is no colour.
using CGColorRef = std::shared_ptr<CGColor>;

// An immutable colour: either a white level or red, green and blue, each with an alpha, or a pattern that
// tiles an image. Components are kept in single precision (and clamped to 0…1), so n/255 reads back as the
// float nearest to it. Two colours are equal when they are in the same colour space with the same
// components: white 1 and RGB (1, 1, 1) are different colours, as on the platform the app was written for.
class CGColor {
public:
    enum class ColorSpace { white, rgb, pattern };

    // White and alpha, or red, green, blue and alpha (a pattern keeps its alpha last, after three unused
    // components), each stored as storedComponent says.
    CGColor(ColorSpace space, const std::array<double, 4>& components,
            std::shared_ptr<CGImage> pattern = nullptr);
    virtual ~CGColor() = default;

    // A component as a colour stores it: clamped to 0…1 in single precision, NaN as 0.
    static float storedComponent(double value);

    ColorSpace colorSpace() const { return space_; }
    // White and alpha, or red, green, blue and alpha, as stored.
    int numberOfComponents() const { return space_ == ColorSpace::white ? 2 : 4; }
    const float* components() const { return components_; }
    // The tiled image of a pattern colour; null for the other spaces.
    const std::shared_ptr<CGImage>& patternImage() const { return patternImage_; }
    double alpha() const { return components_[numberOfComponents() - 1]; }

    // Red, green, blue and alpha of a white (as grey) or RGB colour; false, leaving the outputs alone, for
    // a pattern. Any output pointer may be null.
    bool getRed(double* red, double* green, double* blue, double* alpha) const;

    bool operator==(const CGColor& other) const;
    // Equality with a colour pointer; a null colour equals no colour.
    bool isEqual(const CGColorRef& other) const { return other && *this == *other; }

private:
    ColorSpace space_;
    float components_[4] = {0, 0, 0, 0};
    std::shared_ptr<CGImage> patternImage_;
};

CGColorRef CGColorCreateGenericGray(double gray, double alpha);
CGColorRef CGColorCreateGenericRGB(double red, double green, double blue, double alpha);

}  // namespace platform
