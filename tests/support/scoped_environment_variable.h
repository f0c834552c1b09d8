#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace quorvel::testing {

// An environment variable set (or, without a value, removed) for one case, and put back as it was
// when the case ends.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* held = std::getenv(name_.c_str())) previous_ = held;
        set(value);
    }
    ~ScopedEnvironmentVariable() { set(previous_); }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    void set(const std::optional<std::string>& value) const {
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }

    std::string name_;
    std::optional<std::string> previous_;
};

}  // namespace quorvel::testing
