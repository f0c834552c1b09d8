#include "platform/uikit/drawing/ns_keyed_unarchiver.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <pugixml.hpp>
#include <string>

#include "platform/uikit/drawing/ns_keyed_archiver.h"
#include "platform/uikit/drawing/ui_color.h"

namespace platform {

namespace {

// The whole text must be a finite decimal number.
bool parseReal(const char* text, double& value) {
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r') ++text;
    if (*text == '\0') return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text, &end);
    if (end == text || errno == ERANGE) return false;
    while (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r') ++end;
    return *end == '\0' && std::isfinite(value);
}

std::string text(const pugi::xml_node& node, const char* element) {
    if (!node || std::strcmp(node.name(), element) != 0) return {};
    return node.child_value();
}

}  // namespace

std::shared_ptr<UIColor> NSKeyedUnarchiver::unarchiveColor(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.size() > kMaxArchiveSize) return nullptr;
    pugi::xml_document document;
    const auto parsed =
        document.load_buffer(data.data(), data.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) return nullptr;

    const pugi::xml_node dict = document.child("plist").child("dict");
    if (!dict) return nullptr;
    std::map<std::string, pugi::xml_node> entries;
    for (pugi::xml_node key = dict.first_child(); key; key = key.next_sibling()) {
        if (std::strcmp(key.name(), "key") != 0) return nullptr;
        const pugi::xml_node value = key.next_sibling();
        if (!value) return nullptr;
        entries[key.child_value()] = value;
        key = value;
    }

    if (text(entries["class"], "string") != "UIColor") return nullptr;
    double version = 0;
    const pugi::xml_node versionNode = entries["version"];
    if (!versionNode || std::strcmp(versionNode.name(), "integer") != 0) return nullptr;
    if (!parseReal(versionNode.child_value(), version) || version != NSKeyedArchiver::kFormatVersion)
        return nullptr;

    const std::string space = text(entries["colorSpace"], "string");
    const std::size_t expected = space == "rgb" ? 4 : space == "white" ? 2 : 0;
    if (expected == 0) return nullptr;

    const pugi::xml_node array = entries["components"];
    if (!array || std::strcmp(array.name(), "array") != 0) return nullptr;
    double components[4] = {0, 0, 0, 0};
    std::size_t count = 0;
    for (pugi::xml_node item = array.first_child(); item; item = item.next_sibling()) {
        const bool number = std::strcmp(item.name(), "real") == 0 || std::strcmp(item.name(), "integer") == 0;
        if (!number || count == expected || !parseReal(item.child_value(), components[count])) return nullptr;
        ++count;
    }
    if (count != expected) return nullptr;

    if (expected == 2) return UIColor::colorWithWhite(components[0], components[1]);
    return UIColor::colorWithRed(components[0], components[1], components[2], components[3]);
}

}  // namespace platform
