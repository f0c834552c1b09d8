#include "analytics/foundation/apm_data_additions.h"

#include <openssl/evp.h>

#include "analytics/foundation/apm_crypto_setup.h"

namespace analytics {

APMBytes apm_MD5Data(std::string_view bytes) {
    APMSetUpCrypto();
    APMBytes digest(EVP_MAX_MD_SIZE);
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_md5(), nullptr) != 1) return {};
    digest.resize(length);
    return digest;
}

APMBytes apm_MD5Data(const APMBytes& bytes) {
    return apm_MD5Data(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::int64_t apm_64LeastSignificantBits(const APMBytes& bytes) {
    const std::size_t start = bytes.size() > 8 ? bytes.size() - 8 : 0;
    std::uint64_t value = 0;
    for (std::size_t i = start; i < bytes.size(); ++i) value = (value << 8) | bytes[i];
    return static_cast<std::int64_t>(value);
}

std::int64_t apm_64LSBMD5(std::string_view bytes) {
    return apm_64LeastSignificantBits(apm_MD5Data(bytes));
}

std::int64_t apm_64LSBMD5(const APMBytes& bytes) {
    return apm_64LeastSignificantBits(apm_MD5Data(bytes));
}

}  // namespace analytics
