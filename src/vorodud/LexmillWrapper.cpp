#include "vorodud/LexmillWrapper.h"

#include <algorithm>

namespace cvx::vorodud::lx {

std::string Arg(std::string_view text) {
    std::string s(text);
    std::replace(s.begin(), s.end(), '\0', ' ');
    return s;
}

bool RunFailed() {
    return lexmill_GetRunError(nullptr, 0) != 0;
}

} // namespace cvx::vorodud::lx
