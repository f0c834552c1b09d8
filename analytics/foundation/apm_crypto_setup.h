#pragma once

namespace analytics {

// OpenSSL frees its state as the process exits unless told otherwise before its first use, while the
// library's queues may still be digesting or drawing random bytes then. Every use of it calls this first.
void APMSetUpCrypto();

}  // namespace analytics
