#pragma once

#include "platform/foundation/ns_locale.h"

namespace quorvel::testing {

// The process's current locale, put back when the case ends to the one it had when the case began,
// whichever locales the case used meanwhile.
class KeptLocale {
public:
    KeptLocale() = default;
    ~KeptLocale() { platform::NSLocale::setCurrentLocale(locale_); }
    KeptLocale(const KeptLocale&) = delete;
    KeptLocale& operator=(const KeptLocale&) = delete;

private:
    platform::NSLocale locale_ = platform::NSLocale::currentLocale();
};

}  // namespace quorvel::testing
