#pragma once
// Small pieces of XML handling that the reading and the writing of word-processor documents share:
// escaping text, where a token of the stream reader ends in the text, and the child elements of a
// properties element as written.

#include <QString>
#include <QXmlStreamReader>

#include <utility>
#include <vector>

namespace cvx {

// Text as XML character data.
QString XmlEscaped(const QString& text);

// Where the token just read ends in `xml`.
qsizetype XmlTokenEnd(const QXmlStreamReader& r, const QString& xml);

// The child elements of a properties element as written, with their local names.
std::vector<std::pair<QString, QString>> XmlChildElements(const QString& properties);

} // namespace cvx
