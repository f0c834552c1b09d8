#include "analytics/foundation/apm_crypto_setup.h"

#include <openssl/crypto.h>

namespace analytics {

void APMSetUpCrypto() {
    [[maybe_unused]] static const bool setUp = OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr) == 1;
}

}  // namespace analytics
