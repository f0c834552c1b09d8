#include "platform/vuziriutilities/vul_network_session.h"

#include <curl/curl.h>
#include <openssl/crypto.h>

#include <mutex>

namespace platform {

namespace {

struct Download {
    std::vector<std::uint8_t>* body;
    std::size_t maxSize;
    bool tooLarge = false;
};

std::size_t collect(char* bytes, std::size_t size, std::size_t count, void* userData) {
    auto* download = static_cast<Download*>(userData);
    const std::size_t length = size * count;
    if (download->body->size() + length > download->maxSize) {
        download->tooLarge = true;
        return 0;  // libcurl stops the transfer
    }
    download->body->insert(download->body->end(), bytes, bytes + length);
    return length;
}

void fail(std::shared_ptr<NSError>* error, std::int64_t code, const std::string& description) {
    if (error)
        *error = NSError::errorWithDomain(VULNetworkSession::kErrorDomain, code,
                                          {{NSLocalizedDescriptionKey, description}});
}

}  // namespace

std::optional<VULNetworkSession::Response> VULNetworkSession::GET(const std::string& url,
                                                                  double timeoutSeconds,
                                                                  std::shared_ptr<NSError>* error,
                                                                  std::size_t maxBodySize) {
    static std::once_flag initialised;
    std::call_once(initialised, [] {
        // libcurl's TLS is OpenSSL, which frees its state as the process exits unless told otherwise
        // before its first use; worker threads may still be using it then.
        OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
        curl_global_init(CURL_GLOBAL_DEFAULT);
    });
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), &curl_easy_cleanup);
    if (!handle) {
        fail(error, CURLE_FAILED_INIT, "Cannot start a network request");
        return std::nullopt;
    }
    Response response;
    Download download{&response.body, maxBodySize};
    CURL* curl = handle.get();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS,
                     static_cast<long>(timeoutSeconds > 0 ? timeoutSeconds * 1000 : 0));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &download);
    const CURLcode result = curl_easy_perform(curl);
    if (download.tooLarge) {
        fail(error, CURLE_WRITE_ERROR, "The answer is larger than " + std::to_string(maxBodySize) + " bytes");
        return std::nullopt;
    }
    if (result != CURLE_OK) {
        fail(error, result, curl_easy_strerror(result));
        return std::nullopt;
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.statusCode);
    return response;
}

}  // namespace platform
