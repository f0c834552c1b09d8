#pragma once

#include <string>

namespace platform {

// A locale by its identifier ("en_US", "de_DE"); formatters take their patterns and names from it.
class NSLocale {
  public:
    explicit NSLocale(std::string identifier) : identifier_(std::move(identifier)) {}
    static NSLocale localeWithLocaleIdentifier(const std::string& identifier) { return NSLocale(identifier); }

    // The user's locale: from the environment (LANG, LC_ALL) until setCurrentLocale; "en_US" for the
    // C or POSIX locale.
    static NSLocale currentLocale();
    static void setCurrentLocale(const NSLocale& locale);

    const std::string& localeIdentifier() const { return identifier_; }

    bool operator==(const NSLocale&) const = default;

  private:
    std::string identifier_;
};

}  // namespace platform
