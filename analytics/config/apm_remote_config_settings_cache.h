#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

#include "platform/foundation/mutex.h"

namespace analytics {

// The remote configuration's settings, read from any queue: each name holds the text as received until
// its first lookup replaces it with the checked number. A parse publishes its texts as a whole, and a
// lookup stores its answer only if no parse came in between, so a default computed before a parse can
// never hide a value the parse stored.
class APMRemoteConfigSettingsCache {
public:
    using Entry = std::variant<std::string, double>;

    struct Lookup {
        std::optional<Entry> entry;
        std::uint64_t generation;
    };

    Lookup entryForKey(const std::string& key) const;
    // The entry as text: a received text as it came, a looked-up number in its shortest decimal form.
    std::optional<std::string> textForKey(const std::string& key) const;
    // Stores the number unless the contents were replaced since the lookup of `generation`.
    void storeNumber(const std::string& key, double number, std::uint64_t generation);
    void replaceTexts(std::map<std::string, std::string> texts);
    void clear();

private:
    mutable platform::Mutex mutex_;
    std::map<std::string, Entry> entries_ GUARDED_BY(mutex_);
    std::uint64_t generation_ GUARDED_BY(mutex_) = 0;
};

}  // namespace analytics
