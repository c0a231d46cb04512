#pragma once
// The hand-over between instances of the desktop program: a second start hands its command line
// to the running instance as one small message over a local socket and ends.
//
// A message is "CVXH", its code (uint32) and the length of its text (uint32), little-endian, and
// the text in UTF-8. The codes are those the main window answers: 2025 opens a file or runs a
// command string, 2027 refreshes the command state, 2028 opens the format editor on a file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cvx {

enum class HandOverCode : std::uint32_t {
    OpenCommand = 2025,
    RefreshState = 2027,
    EditFormat = 2028,
};

struct HandOverMessage {
    HandOverCode code = HandOverCode::OpenCommand;
    std::string text; // UTF-8
    bool operator==(const HandOverMessage&) const = default;
};

// A command line is longer than any a start can have; a message claiming more is refused.
inline constexpr std::size_t kMaxHandOverText = std::size_t{64} * 1024;
inline constexpr std::size_t kHandOverHeader = 12;

// The message a second start sends for its command line: a format file goes to the format
// editor, anything else is opened.
HandOverMessage HandOverFor(std::string_view commandLine);

std::string EncodeHandOver(const HandOverMessage& message);

// Takes one message from the front of `buffer` when it is complete. `malformed` is set, and
// nothing is taken, when the bytes cannot begin a message: a wrong magic, an unknown code, a text
// that is too long or not UTF-8.
std::optional<HandOverMessage> TakeHandOver(std::string& buffer, bool& malformed);

} // namespace cvx
