#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace analytics {

using APMBytes = std::vector<std::uint8_t>;

// The 16-byte MD5 digest of the bytes.
APMBytes apm_MD5Data(std::string_view bytes);
APMBytes apm_MD5Data(const APMBytes& bytes);
// The last 8 bytes (all of them when fewer) as an unsigned big-endian number, seen as signed.
std::int64_t apm_64LeastSignificantBits(const APMBytes& bytes);
// The fingerprint of the bytes: bytes 8 to 15 of their MD5 digest, big-endian.
std::int64_t apm_64LSBMD5(std::string_view bytes);
std::int64_t apm_64LSBMD5(const APMBytes& bytes);

}  // namespace analytics
