#include "text/TextMode.h"

#include <atomic>

namespace cvx {

namespace {
std::atomic<TextMode> gTextMode{TextMode::Ansi};
}

void SetTextMode(TextMode mode) {
    gTextMode.store(mode, std::memory_order_relaxed);
}

TextMode CurrentTextMode() {
    return gTextMode.load(std::memory_order_relaxed);
}

bool IsDoubleByteAt(std::string_view text, std::size_t pos) {
    return ShiftJisMode() && pos + 1 < text.size() &&
           IsSjisLeadByte(static_cast<unsigned char>(text[pos])) &&
           IsSjisTrailByte(static_cast<unsigned char>(text[pos + 1]));
}

} // namespace cvx
