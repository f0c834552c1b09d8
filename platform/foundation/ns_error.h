#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace platform {

// A failure report: a domain, a code chosen within it and a few named texts. Failing calls hand one out
// through an optional out-parameter (`std::shared_ptr<NSError>*`, which may be null).
class NSError {
public:
    using UserInfo = std::map<std::string, std::string>;

    NSError(std::string domain, std::int64_t code, UserInfo userInfo = {})
        : domain_(std::move(domain)), code_(code), userInfo_(std::move(userInfo)) {}

    static std::shared_ptr<NSError> errorWithDomain(std::string domain, std::int64_t code,
                                                    UserInfo userInfo = {}) {
        return std::make_shared<NSError>(std::move(domain), code, std::move(userInfo));
    }

    const std::string& domain() const { return domain_; }
    std::int64_t code() const { return code_; }
    const UserInfo& userInfo() const { return userInfo_; }
    // The localized description when one was given, else a text naming domain and code.
    std::string localizedDescription() const;
    std::string description() const;

private:
    std::string domain_;
    std::int64_t code_;
    UserInfo userInfo_;
};

extern const std::string& NSLocalizedDescriptionKey;

}  // namespace platform
