#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/foundation/ns_error.h"

namespace platform {

// Gzip streams, as the analytics library keeps its queued upload bundles. Failures answer empty data and
// an error of the domain "VULGzipErrorDomain" whose code is zlib's and whose description is zlib's message.
extern const char* const kVULGzipErrorDomain;

using VULData = std::vector<std::uint8_t>;
using VULErrorOut = std::shared_ptr<NSError>*;

// One gzip member holding the bytes (empty input gives an empty member, never empty data).
VULData vul_dataByGzippingData(const VULData& data, VULErrorOut error);
// The bytes of the gzip stream's first member; more than `maxSize` of them is an error, so a small
// stored blob cannot unfold into gigabytes.
VULData vul_dataByInflatingGzippedData(const VULData& data, VULErrorOut error,
                                       std::size_t maxSize = std::size_t{64} << 20);

}  // namespace platform
