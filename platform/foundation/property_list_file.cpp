#include "platform/foundation/property_list_file.h"

#include "platform/foundation/damaged_file.h"
#include "platform/foundation/property_list.h"

namespace platform {

Value::Dictionary PropertyListFile::readDictionary(const std::filesystem::path& file, const std::string& what,
                                                   const std::string& consequence) {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) return {};
    std::string problem;
    const auto contents = PropertyList::readFile(file, &problem);
    if (contents && contents->dictionaryValue()) return *contents->dictionaryValue();
    if (contents) problem = "the top level is not a dictionary";
    DamagedFile::setAside(file, what, problem, consequence);
    return {};
}

}  // namespace platform
