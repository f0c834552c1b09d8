#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace analytics {

// What the library knows about itself and the app it runs in.
class APMIdentity {
public:
    static constexpr const char* kLibraryVersionText = "81500000";

    // The library version text without its last three characters: 81500.
    static std::int64_t rovUriduzuvareLibraryVersion();
    static std::int64_t libraryVersionFromText(const std::string& text);

    // Whether the app runs as an installation from the store. A store build's launcher says so with
    // QUORVEL_STORE_INSTALLATION=1; such an installation ignores the debug and verbose switches.
    static bool isFromAppStore();

    // The app's version text from its information property list; nothing when it has none.
    std::optional<std::string> appVersion() const;
};

}  // namespace analytics
