#include "platform/uikit/drawing/ns_keyed_archiver.h"

#include <cstdio>
#include <string>

#include "platform/uikit/drawing/ui_color.h"

namespace platform {

namespace {

void appendEntry(std::string& out, const char* key, const std::string& value) {
    out += "\t<key>";
    out += key;
    out += "</key>\n\t";
    out += value;
    out += "\n";
}

std::string realElement(float value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return std::string("<real>") + text + "</real>";
}

}  // namespace

std::vector<std::uint8_t> NSKeyedArchiver::archivedDataWithRootObject(const std::shared_ptr<UIColor>& color) {
    // A pattern's image has no place in the archive: it archives to nothing, like no colour.
    if (!color || color->colorSpace() == UIColor::ColorSpace::pattern) return {};
    const bool white = color->colorSpace() == UIColor::ColorSpace::white;
    std::string components = "<array>\n";
    for (int i = 0; i < color->numberOfComponents(); ++i) {
        components += "\t\t" + realElement(color->components()[i]) + "\n";
    }
    components += "\t</array>";

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
    appendEntry(out, "archiver", "<string>NSKeyedArchiver</string>");
    appendEntry(out, "class", "<string>UIColor</string>");
    appendEntry(out, "colorSpace", white ? "<string>white</string>" : "<string>rgb</string>");
    appendEntry(out, "components", components);
    appendEntry(out, "version", "<integer>" + std::to_string(kFormatVersion) + "</integer>");
    out += "</dict>\n</plist>\n";
    return {out.begin(), out.end()};
}

}  // namespace platform
