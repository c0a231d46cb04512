#include "vorodud/LexmillWrapper.h"

#include <algorithm>

namespace cvx::vorodud::lx {

std::string Arg(std::string_view text) {
    return Arg(std::string(text));
}

std::string Arg(std::string&& text) {
    std::string s = std::move(text);
    std::replace(s.begin(), s.end(), '\0', ' ');
    return s;
}

bool RunFailed() {
    return lexmill_GetRunError(nullptr, 0) != 0;
}

} // namespace cvx::vorodud::lx
