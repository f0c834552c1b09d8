#include "platform/foundation/ns_localized_string.h"

#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/property_list.h"

namespace platform {

std::string NSLocalizedString(const std::string& key, const std::string& comment) {
    (void)comment;
    const auto path = NSBundle::mainBundle()->pathForResource("Localizable", "strings");
    const auto table = path ? PropertyList::readFile(*path) : std::nullopt;
    const Value::Dictionary* entries = table ? table->dictionaryValue() : nullptr;
    if (!entries) return key;
    const auto entry = entries->find(key);
    const std::string* text = entry != entries->end() ? entry->second.stringValue() : nullptr;
    return text ? *text : key;
}

}  // namespace platform
