#pragma once
// The outcome of an operation that can fail: success, or a message for the user (code page 1252,
// usually a filled catalogue message) with the help context that goes with it. An aborted
// operation is a failure of its own kind, so callers can tell it from an error.

#include <string>
#include <utility>

namespace cvx {

class [[nodiscard]] Outcome {
public:
    Outcome() = default;
    static Outcome Ok() { return {}; }
    static Outcome Error(std::string message, int helpContext = 0) {
        Outcome s;
        s.failed_ = true;
        s.message_ = std::move(message);
        s.helpContext_ = helpContext;
        return s;
    }

    static Outcome Aborted(std::string message = {}) {
        Outcome s = Error(std::move(message));
        s.aborted_ = true;
        return s;
    }

    bool ok() const { return !failed_; }
    bool aborted() const { return aborted_; }
    explicit operator bool() const { return ok(); }
    const std::string& message() const { return message_; }
    int helpContext() const { return helpContext_; }

private:
    bool failed_ = false;
    bool aborted_ = false;
    std::string message_;
    int helpContext_ = 0;
};

// The message for a failure whose `cause` may tell what went wrong (a full disk, a denied
// permission...): `whatFailed` with the cause's words on the line after it, or `guess`, the
// catalogue's guess at a cause, when it tells none.
inline std::string FailureMessage(const Outcome& cause, std::string whatFailed, std::string guess) {
    return cause.message().empty() ? std::move(guess)
                                   : std::move(whatFailed) + "\r" + cause.message();
}

} // namespace cvx
