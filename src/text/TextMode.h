#pragma once
// The process-wide text mode (single-byte ANSI or Shift-JIS) and the Shift-JIS byte classes.

#include <cstddef>
#include <string_view>

namespace cvx {

enum class TextMode { Ansi = 0, ShiftJis = 1 };

void SetTextMode(TextMode mode);
TextMode CurrentTextMode();
inline bool ShiftJisMode() {
    return CurrentTextMode() == TextMode::ShiftJis;
}

constexpr bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
constexpr bool IsSjisTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}
constexpr bool IsHalfWidthKatakana(unsigned char c) {
    return c >= 0xA1 && c <= 0xDF;
}

// True when a double-byte character starts at pos (Shift-JIS mode only).
bool IsDoubleByteAt(std::string_view text, std::size_t pos);

// Length in bytes of the character at pos: 2 for a double-byte character, otherwise 1.
inline std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
    return IsDoubleByteAt(text, pos) ? 2 : 1;
}

} // namespace cvx
