#pragma once
// The outcome of an operation that can fail: success, or a message for the user (code page 1252,
// usually a filled catalogue message) with the help context that goes with it.

#include <string>
#include <utility>

namespace cvx {

class [[nodiscard]] Status {
public:
    Status() = default;
    static Status Ok() { return {}; }
    static Status Error(std::string message, int helpContext = 0) {
        Status s;
        s.failed_ = true;
        s.message_ = std::move(message);
        s.helpContext_ = helpContext;
        return s;
    }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& message() const { return message_; }
    int helpContext() const { return helpContext_; }

private:
    bool failed_ = false;
    std::string message_;
    int helpContext_ = 0;
};

} // namespace cvx
