#include "documents/WordXml.h"

namespace cvx {

QString XmlEscaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'&') {
            out += QStringLiteral("&amp;");
        } else if (c == u'<') {
            out += QStringLiteral("&lt;");
        } else if (c == u'>') {
            out += QStringLiteral("&gt;");
        } else {
            out += c;
        }
    }
    return out;
}

// Where the token just read ends in the text: the reader has already taken the "<" that ends
// character data, which belongs to the next token.
qsizetype XmlTokenEnd(const QXmlStreamReader& r, const QString& xml) {
    const qsizetype end = r.characterOffset();
    return r.isCharacters() && end > 0 && xml[end - 1] == u'<' ? end - 1 : end;
}

// The child elements of a properties element as written, with their local names.
std::vector<std::pair<QString, QString>> XmlChildElements(const QString& properties) {
    std::vector<std::pair<QString, QString>> children;
    if (properties.isEmpty()) {
        return children; // most runs have no properties of their own: no reader for them
    }
    QXmlStreamReader r(properties);
    r.setNamespaceProcessing(false);
    qsizetype last = 0;
    qsizetype childStart = -1;
    QString childName;
    int depth = 0;
    while (!r.atEnd()) {
        const auto token = r.readNext();
        const qsizetype begin = last;
        last = XmlTokenEnd(r, properties);
        if (token == QXmlStreamReader::StartElement) {
            if (++depth == 2) {
                childStart = begin;
                childName = r.name().toString();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth-- == 2) {
                children.emplace_back(childName, properties.mid(childStart, last - childStart));
            }
        }
    }
    return children;
}

} // namespace cvx
