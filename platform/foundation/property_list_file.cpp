#include "platform/foundation/property_list_file.h"

#include "platform/foundation/console.h"
#include "platform/foundation/damaged_file.h"
#include "platform/foundation/property_list.h"

namespace platform {

Value::Dictionary PropertyListFile::readDictionary(const std::filesystem::path& file, const std::string& what,
                                                   const std::string& consequence) {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) return {};
    std::string problem;
    const auto contents = PropertyList::readFile(file, &problem);
    if (contents && contents->dictionaryValue()) {
        Value::Dictionary entries = *contents->dictionaryValue();
        std::erase_if(entries, [&](const auto& entry) {
            std::string reason;
            if (PropertyList::isWritable(Value::Dictionary{{entry.first, entry.second}}, &reason))
                return false;
            Console::print(what + " " + file.string() + ": left out an entry (" + reason + ")");
            return true;
        });
        return entries;
    }
    if (contents) problem = "the top level is not a dictionary";
    DamagedFile::setAside(file, what, problem, consequence);
    return {};
}

}  // namespace platform
