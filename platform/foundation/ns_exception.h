#pragma once

#include <exception>
#include <string>
#include <vector>

namespace platform {

// The platform's exception object: a name, a reason and the call-stack symbols at the throw. Code that
// guards a block against it (the analytics worker queue) catches it by this type.
class NSException : public std::exception {
public:
    NSException(std::string name, std::string reason, std::vector<std::string> callStackSymbols = {});

    [[noreturn]] static void raise(const std::string& name, const std::string& reason);

    const std::string& name() const { return name_; }
    const std::string& reason() const { return reason_; }
    const std::vector<std::string>& callStackSymbols() const { return callStackSymbols_; }
    // Like the platform, an exception describes itself by its reason.
    const std::string& description() const { return reason_; }

    const char* what() const noexcept override { return reason_.c_str(); }

private:
    std::string name_;
    std::string reason_;
    std::vector<std::string> callStackSymbols_;
};

extern const std::string& NSInvalidArgumentException;
extern const std::string& NSInternalInconsistencyException;

}  // namespace platform
