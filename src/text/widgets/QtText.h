#pragma once
// Code page 1252 text and the toolkit's strings: every text of the program reaches a widget
// through these conversions (the project's own table, never Latin-1), and comes back through them.

#include "text/Catalogue.h"
#include "text/MarkupRuns.h"

#include <QString>

#include <string>
#include <string_view>

namespace cvx {

QString FromCp1252(std::string_view text);
// Characters the code page lacks become "?".
std::string ToCp1252(const QString& text);

// A path or other UTF-8 text of the system.
QString FromUtf8(std::string_view text);
std::string ToUtf8(const QString& text);

// A filled catalogue message as a widget shows it: its line breaks as "\n".
QString MessageText(std::string_view cp1252Message);
template <typename... Args> QString UiText(MsgId id, const Args&... args) {
    return MessageText(Msg(id, args...));
}

// A path in a message argument (code page 1252, as DisplayPath gives it).
std::string PathArgument(const QString& path);

// A run's characters as drawn: in the Symbol font the Greek letters and signs that its bytes
// stand for.
QString RunText(std::string_view bytes, bool symbol);
// Back from drawn characters to the bytes of a run.
std::string RunBytes(const QString& text, bool symbol);

} // namespace cvx
