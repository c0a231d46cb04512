#include "shell/HandOver.h"

#include "shell/CommandString.h"
#include "storage/LittleEndian.h"
#include "text/Cp1252.h"

#include <algorithm>

namespace cvx {

namespace {

constexpr std::string_view kMagic = "CVXH";

bool KnownCode(std::uint32_t code) {
    return code == static_cast<std::uint32_t>(HandOverCode::OpenCommand) ||
           code == static_cast<std::uint32_t>(HandOverCode::RefreshState) ||
           code == static_cast<std::uint32_t>(HandOverCode::EditFormat);
}

} // namespace

HandOverMessage HandOverFor(std::string_view commandLine) {
    return {NamesFormatFile(commandLine) ? HandOverCode::EditFormat : HandOverCode::OpenCommand,
            std::string(commandLine)};
}

std::string EncodeHandOver(const HandOverMessage& message) {
    std::string bytes(kMagic);
    PutLe32(bytes, static_cast<std::uint32_t>(message.code));
    PutLe32(bytes, static_cast<std::uint32_t>(message.text.size()));
    return bytes + message.text;
}

std::optional<HandOverMessage> TakeHandOver(std::string& buffer, bool& malformed) {
    malformed = false;
    const std::size_t magic = std::min(buffer.size(), kMagic.size());
    if (buffer.compare(0, magic, kMagic.substr(0, magic)) != 0) {
        malformed = true;
        return std::nullopt;
    }
    if (buffer.size() < kHandOverHeader) {
        return std::nullopt;
    }
    const std::uint32_t code = GetLe32(buffer, 4);
    const std::uint32_t length = GetLe32(buffer, 8);
    if (!KnownCode(code) || length > kMaxHandOverText) {
        malformed = true;
        return std::nullopt;
    }
    if (buffer.size() < kHandOverHeader + length) {
        return std::nullopt;
    }
    HandOverMessage message{static_cast<HandOverCode>(code),
                            buffer.substr(kHandOverHeader, length)};
    if (!IsValidUtf8(message.text)) {
        malformed = true;
        return std::nullopt;
    }
    buffer.erase(0, kHandOverHeader + length);
    return message;
}

} // namespace cvx
