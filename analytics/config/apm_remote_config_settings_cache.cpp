#include "analytics/config/apm_remote_config_settings_cache.h"

#include <charconv>

namespace analytics {

APMRemoteConfigSettingsCache::Lookup APMRemoteConfigSettingsCache::entryForKey(const std::string& key) const {
    platform::MutexLock lock(mutex_);
    auto found = entries_.find(key);
    if (found == entries_.end()) return {std::nullopt, generation_};
    return {found->second, generation_};
}

std::optional<std::string> APMRemoteConfigSettingsCache::textForKey(const std::string& key) const {
    const auto entry = entryForKey(key).entry;
    if (!entry) return std::nullopt;
    if (const auto* text = std::get_if<std::string>(&*entry)) return *text;
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, std::get<double>(*entry)).ptr;
    return std::string(digits, end);
}

void APMRemoteConfigSettingsCache::storeNumber(const std::string& key, double number,
                                               std::uint64_t generation) {
    platform::MutexLock lock(mutex_);
    if (generation == generation_) entries_.insert_or_assign(key, number);
}

void APMRemoteConfigSettingsCache::replaceTexts(std::map<std::string, std::string> texts) {
    std::map<std::string, Entry> entries;
    for (auto& [name, text] : texts) entries.emplace(name, std::move(text));
    platform::MutexLock lock(mutex_);
    entries_ = std::move(entries);
    ++generation_;
}

void APMRemoteConfigSettingsCache::clear() {
    platform::MutexLock lock(mutex_);
    entries_.clear();
    ++generation_;
}

}  // namespace analytics
