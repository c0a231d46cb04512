#include "vorodud/LexmillWrapper.h"

#include <algorithm>

namespace cvx::vorodud::lx {

std::string Arg(std::string_view text) {
    return Arg(std::string(text));
}

std::string Arg(std::string&& text) {
    std::string s = std::move(text);
    // Texts hardly ever hold a zero byte; looking for one costs less than rewriting every byte.
    if (s.find('\0') != std::string::npos) {
        std::replace(s.begin(), s.end(), '\0', ' ');
    }
    return s;
}

bool RunFailed() {
    return lexmill_GetRunError(nullptr, 0) != 0;
}

} // namespace cvx::vorodud::lx
