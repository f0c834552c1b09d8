#include "platform/uikit/text/ui_font.h"

#include <pango/pangocairo.h>

#include <map>
#include <optional>

#include "platform/uikit/text/font_registry.h"

namespace platform {

struct UIFont::Face {
    std::string family;
    PangoWeight weight = PANGO_WEIGHT_NORMAL;
};

namespace {

constexpr const char* kSystemFamily = "Inter";
constexpr const char* kHelveticaFamily = "Liberation Sans";

std::optional<UIFont::Face> faceNamed(const std::string& name) {
    static const std::map<std::string, PangoWeight> kStyles = {
        {"", PANGO_WEIGHT_NORMAL},
        {"Regular", PANGO_WEIGHT_NORMAL},
        {"UltraLight", PANGO_WEIGHT_ULTRALIGHT},
        {"Ultralight", PANGO_WEIGHT_ULTRALIGHT},
        {"Thin", PANGO_WEIGHT_THIN},
        {"Light", PANGO_WEIGHT_LIGHT},
        {"Medium", PANGO_WEIGHT_MEDIUM},
        {"Semibold", PANGO_WEIGHT_SEMIBOLD},
        {"Bold", PANGO_WEIGHT_BOLD},
        {"Heavy", PANGO_WEIGHT_HEAVY},
        {"Black", PANGO_WEIGHT_ULTRAHEAVY},
    };
    static const std::map<std::string, std::string> kFamilies = {
        {"SFProDisplay", kSystemFamily}, {"SFProText", kSystemFamily}, {"HelveticaNeue", kHelveticaFamily},
        {"Helvetica", kHelveticaFamily}, {"qvicons", "qvicons"},
    };
    const auto dash = name.find('-');
    const std::string family = name.substr(0, dash);
    const std::string style = dash == std::string::npos ? "" : name.substr(dash + 1);
    const auto f = kFamilies.find(family);
    const auto s = kStyles.find(style);
    if (f == kFamilies.end() || s == kStyles.end()) return std::nullopt;
    return UIFont::Face{f->second, s->second};
}

std::shared_ptr<UIFont> make(const std::string& name, const UIFont::Face& face, CGFloat size) {
    if (!FontRegistry::shared().hasFamily(face.family)) return nullptr;
    return std::make_shared<UIFont>(name, face, size);
}

}  // namespace

UIFont::UIFont(std::string name, const Face& face, CGFloat size)
    : name_(std::move(name)), size_(size), description_(pango_font_description_new()) {
    pango_font_description_set_family(description_, face.family.c_str());
    pango_font_description_set_weight(description_, face.weight);
    pango_font_description_set_absolute_size(description_, size * PANGO_SCALE);
    PangoFontMetrics* metrics =
        pango_context_get_metrics(FontRegistry::shared().context(), description_, nullptr);
    ascender_ = pango_font_metrics_get_ascent(metrics) / double(PANGO_SCALE);
    descender_ = -pango_font_metrics_get_descent(metrics) / double(PANGO_SCALE);
    pango_font_metrics_unref(metrics);
}

UIFont::~UIFont() {
    pango_font_description_free(description_);
}

std::shared_ptr<UIFont> UIFont::fontWithName(const std::string& name, CGFloat size) {
    const auto face = faceNamed(name);
    if (!face || !(size > 0 && size < 1e5)) return nullptr;
    return make(name, *face, size);
}

std::shared_ptr<UIFont> UIFont::systemFontOfSize(CGFloat size) {
    return make(".SystemFont-Regular", Face{kSystemFamily, PANGO_WEIGHT_NORMAL},
                size > 0 && size < 1e5 ? size : 12);
}

std::shared_ptr<UIFont> UIFont::boldSystemFontOfSize(CGFloat size) {
    return make(".SystemFont-Bold", Face{kSystemFamily, PANGO_WEIGHT_BOLD},
                size > 0 && size < 1e5 ? size : 12);
}

std::shared_ptr<UIFont> UIFont::fontWithSize(CGFloat size) const {
    if (!(size > 0 && size < 1e5)) size = size_;
    Face face{familyName(), pango_font_description_get_weight(description_)};
    return std::make_shared<UIFont>(name_, face, size);
}

std::string UIFont::familyName() const {
    return pango_font_description_get_family(description_);
}

bool UIFont::operator==(const UIFont& other) const {
    return name_ == other.name_ && size_ == other.size_;
}

}  // namespace platform
