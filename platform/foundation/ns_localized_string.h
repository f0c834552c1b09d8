#pragma once

#include <string>

namespace platform {

// The main bundle's text for `key` in its string table "Localizable.strings" (an XML property list of
// strings), else the key itself: the platform's answer for a language the app has no table for. The
// comment is for translators only.
std::string NSLocalizedString(const std::string& key, const std::string& comment);

}  // namespace platform
