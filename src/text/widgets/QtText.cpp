#include "text/widgets/QtText.h"

#include "text/Cp1252.h"
#include "text/FileNames.h"
#include "text/SymbolFont.h"

namespace cvx {

QString FromCp1252(std::string_view text) {
    return FromUtf8(Cp1252ToUtf8(text));
}

std::string ToCp1252(const QString& text) {
    return Utf8ToCp1252(ToUtf8(text));
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

QString MessageText(std::string_view cp1252Message) {
    QString text = FromCp1252(cp1252Message);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::string PathArgument(const QString& path) {
    return DisplayPath(ToUtf8(path));
}

QString RunText(std::string_view bytes, bool symbol) {
    if (!symbol) {
        return FromCp1252(bytes);
    }
    std::string utf8;
    for (const char c : bytes) {
        AppendUtf8(utf8, SymbolCharacter(static_cast<unsigned char>(c)));
    }
    return FromUtf8(utf8);
}

std::string RunBytes(const QString& text, bool symbol) {
    if (!symbol) {
        return ToCp1252(text);
    }
    std::string bytes;
    for (const char32_t c : text.toStdU32String()) {
        const unsigned char symbolByte = SymbolFontByte(c);
        const unsigned char plain = UnicodeToCp1252(c);
        bytes.push_back(static_cast<char>(symbolByte != 0 ? symbolByte : plain != 0 ? plain : '?'));
    }
    return bytes;
}

} // namespace cvx
