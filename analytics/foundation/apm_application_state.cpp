#include "analytics/foundation/apm_application_state.h"

#include <cctype>
#include <string>

#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_process_info.h"

namespace analytics {

namespace {

// A text read as a boolean the platform's way: after blanks, a sign and leading zeros, "Y", "y", "T",
// "t" or a digit 1–9 means yes; anything else no.
bool boolValueOfText(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && text[i] == '0') ++i;
    if (i == text.size()) return false;
    const char c = text[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

}  // namespace

bool APMIsActivePrewarmLaunch() {
    const auto value = platform::NSProcessInfo::processInfo().environmentValue("ActivePrewarm");
    return value && boolValueOfText(*value);
}

bool APMAppUsesSceneManifest() {
    return platform::NSBundle::mainBundle()->infoDictionary().contains("UIApplicationSceneManifest");
}

}  // namespace analytics
