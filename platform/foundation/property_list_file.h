#pragma once

#include <filesystem>
#include <string>

#include "platform/foundation/value.h"

namespace platform {

// A store kept as one property-list file with a dictionary at the top.
class PropertyListFile {
public:
    // The file's dictionary; empty when there is no file. A file that cannot be read or holds no
    // dictionary is set aside as damaged (DamagedFile, with `what` and `consequence` in its console
    // line), so the store's next write cannot replace what may still be recovered from it. An entry
    // that no file can hold any more (text that is not UTF-8, which XML written by earlier versions
    // may carry) is left out with a console line, so that it cannot stop every later write of the rest.
    static Value::Dictionary readDictionary(const std::filesystem::path& file, const std::string& what,
                                            const std::string& consequence);
};

}  // namespace platform
