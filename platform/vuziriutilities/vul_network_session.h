#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/ns_error.h"

namespace platform {

// Requests to the analytics services over HTTP(S), through libcurl. A request blocks its caller until the
// answer or the timeout; it follows no redirect and speaks only http and https. Failures without an
// answer come as an error of the domain "VULNetworkErrorDomain" whose code is libcurl's.
class VULNetworkSession {
public:
    static constexpr const char* kErrorDomain = "VULNetworkErrorDomain";
    // A body longer than this is refused rather than kept in memory.
    static constexpr std::size_t kDefaultMaxBodySize = std::size_t{8} << 20;

    struct Response {
        long statusCode = 0;
        std::vector<std::uint8_t> body;
    };

    static std::optional<Response> GET(const std::string& url, double timeoutSeconds,
                                       std::shared_ptr<NSError>* error,
                                       std::size_t maxBodySize = kDefaultMaxBodySize);
};

}  // namespace platform
