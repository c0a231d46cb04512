#include "documents/WordParagraphs.h"

#include "documents/WordXml.h"
#include "text/Cp1252.h"
#include "text/MarkupRuns.h"
#include "text/SymbolFont.h"

#include <QStringList>

#include <algorithm>

namespace cvx {

namespace {

// The hanging indent of an outdented reference list: half an inch, as word processors set it.
constexpr const char* kDocxHanging = "720"; // twentieths of a point
constexpr const char* kOdtHanging = "1.27cm";

// The text of a run as a reader shows it (Greek letters of the Symbol font as themselves).
QString RunText(const MarkupRun& run) {
    QString out;
    out.reserve(static_cast<qsizetype>(run.text.size()));
    for (const char ch : run.text) {
        const auto b = static_cast<unsigned char>(ch);
        const char32_t c = run.style.symbol ? SymbolCharacter(b) : Cp1252ToUnicode(b);
        if (QChar::requiresSurrogates(c)) {
            out += QChar(QChar::highSurrogate(c));
            out += QChar(QChar::lowSurrogate(c));
        } else {
            out += QChar(static_cast<char16_t>(c));
        }
    }
    return out;
}

// The children of a .docx run's properties, in the order the schema requires.
int RunPropertyRank(const QString& localName) {
    static const QStringList order = {"rStyle",
                                      "rFonts",
                                      "b",
                                      "bCs",
                                      "i",
                                      "iCs",
                                      "caps",
                                      "smallCaps",
                                      "strike",
                                      "dstrike",
                                      "outline",
                                      "shadow",
                                      "emboss",
                                      "imprint",
                                      "noProof",
                                      "snapToGrid",
                                      "vanish",
                                      "webHidden",
                                      "color",
                                      "spacing",
                                      "w",
                                      "kern",
                                      "position",
                                      "sz",
                                      "szCs",
                                      "highlight",
                                      "u",
                                      "effect",
                                      "bdr",
                                      "shd",
                                      "fitText",
                                      "vertAlign",
                                      "rtl",
                                      "cs",
                                      "em",
                                      "lang",
                                      "eastAsianLayout",
                                      "specVanish",
                                      "oMath"};
    const qsizetype i = order.indexOf(localName);
    return i >= 0 ? static_cast<int>(i) : static_cast<int>(order.size()); // extensions last
}

int StyleBits(const MarkupStyle& s) {
    return (s.bold ? 1 : 0) | (s.italic ? 2 : 0) | (s.underline ? 4 : 0) | (s.offset > 0 ? 8 : 0) |
           (s.offset < 0 ? 16 : 0);
}

// Text as the value of an attribute in double quotes.
QString AttributeValue(const QString& text) {
    return XmlEscaped(text).replace(u'"', QStringLiteral("&quot;"));
}

QString OdtStyleName(int bits) {
    return QStringLiteral("Citavox_C%1").arg(bits);
}

// ODF collapses runs of blanks, so every blank after the first is written as a space element.
QString OdtContent(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\t') {
            out += QStringLiteral("<text:tab/>");
        } else if (c == QChar(kLineBreak)) {
            out += QStringLiteral("<text:line-break/>");
        } else if (c == u' ' && (i == 0 || text[i - 1] == u' ')) {
            out += QStringLiteral("<text:s/>");
        } else {
            out += XmlEscaped(QString(c));
        }
    }
    return out;
}

} // namespace

WordParagraphWriter::WordParagraphWriter(WordFormat format, const QString& prefix)
    : format_(format), w_(prefix) {
    if (!w_.isEmpty()) {
        w_ += u':';
    }
}

QString WordParagraphWriter::TextEnd() const {
    return QStringLiteral("</%1t>").arg(w_);
}

QString WordParagraphWriter::TextStart() const {
    return QStringLiteral("<%1t xml:space=\"preserve\">").arg(w_);
}

// The automatic styles the inserted spans and paragraphs use (.odt).
QString WordParagraphWriter::OdtStyles() const {
    QString out;
    for (const int bits : textStyles_) {
        out += QStringLiteral(
                   "<style:style style:name=\"%1\" style:family=\"text\"><style:text-properties")
                   .arg(OdtStyleName(bits));
        if ((bits & 1) != 0) {
            out += QStringLiteral(" fo:font-weight=\"bold\"");
        }
        if ((bits & 2) != 0) {
            out += QStringLiteral(" fo:font-style=\"italic\"");
        }
        if ((bits & 4) != 0) {
            out += QStringLiteral(" style:text-underline-style=\"solid\" "
                                  "style:text-underline-width=\"auto\" "
                                  "style:text-underline-color=\"font-color\"");
        }
        if ((bits & 8) != 0) {
            out += QStringLiteral(" style:text-position=\"super 58%\"");
        }
        if ((bits & 16) != 0) {
            out += QStringLiteral(" style:text-position=\"sub 58%\"");
        }
        out += QStringLiteral("/></style:style>");
    }
    if (hangingUsed_) {
        QString parent = hangingBase_;
        QString textProperties;
        if (const auto it = automaticStyles_.find(hangingBase_); it != automaticStyles_.end()) {
            parent = it->second.parent;
            textProperties = it->second.textProperties;
        }
        out +=
            QStringLiteral("<style:style style:name=\"Citavox_List\" style:family=\"paragraph\"");
        if (!parent.isEmpty()) {
            out += QStringLiteral(" style:parent-style-name=\"%1\"").arg(AttributeValue(parent));
        }
        out += QStringLiteral("><style:paragraph-properties fo:margin-left=\"%1\" "
                              "fo:text-indent=\"-%1\"/>")
                   .arg(QLatin1String(kOdtHanging)) +
               textProperties + QStringLiteral("</style:style>");
    }
    return out;
}

void WordParagraphWriter::SetAutomaticParagraphStyles(std::map<QString, OdtParagraphStyle> styles) {
    automaticStyles_ = std::move(styles);
}

// Marked-up text as runs (.docx) or spans (.odt).
QString WordParagraphWriter::Runs(const std::string& marked, const QString& baseProps) {
    QString out;
    if (marked.empty()) {
        return out;
    }
    for (const MarkupRun& run : ParseMarkup(marked, MarkupDialect::RichText).runs) {
        const QString text = RunText(run);
        if (format_ == WordFormat::Docx) {
            out += QStringLiteral("<%1r>").arg(w_) + RunProperties(baseProps, run.style) +
                   DocxContent(text) + QStringLiteral("</%1r>").arg(w_);
            continue;
        }
        const int bits = StyleBits(run.style);
        if (bits == 0) {
            out += OdtContent(text);
            continue;
        }
        textStyles_.insert(bits);
        out += QStringLiteral("<text:span text:style-name=\"%1\">").arg(OdtStyleName(bits)) +
               OdtContent(text) + QStringLiteral("</text:span>");
    }
    return out;
}

QString WordParagraphWriter::DocxContent(const QString& text) const {
    QString out;
    QString pending;
    const auto flush = [&] {
        if (!pending.isEmpty()) {
            out += TextStart() + XmlEscaped(pending) + QStringLiteral("</%1t>").arg(w_);
            pending.clear();
        }
    };
    for (const QChar c : text) {
        if (c == u'\t' || c == QChar(kLineBreak)) {
            flush();
            out += QStringLiteral("<%1%2/>").arg(w_, c == u'\t' ? "tab" : "br");
        } else {
            pending += c;
        }
    }
    flush();
    return out;
}

// The run properties of the run a pseudo-citation began in, without hiding and tracked
// formatting, with the citation's styles, in the order the schema requires.
QString WordParagraphWriter::RunProperties(const QString& base, const MarkupStyle& style) const {
    std::vector<std::pair<QString, QString>> children;
    static const QStringList dropped = {"vanish", "webHidden", "specVanish", "rPrChange"};
    for (auto& [local, raw] : XmlChildElements(base)) {
        if (!dropped.contains(local)) {
            children.emplace_back(local, raw);
        }
    }
    const auto set = [&](const QString& local, const QString& raw) {
        std::erase_if(children, [&](const auto& c) { return c.first == local; });
        children.emplace_back(local, raw);
    };
    if (style.bold) {
        set(QStringLiteral("b"), QStringLiteral("<%1b/>").arg(w_));
    }
    if (style.italic) {
        set(QStringLiteral("i"), QStringLiteral("<%1i/>").arg(w_));
    }
    if (style.underline) {
        set(QStringLiteral("u"), QStringLiteral("<%1u %1val=\"single\"/>").arg(w_));
    }
    if (style.offset != 0) {
        set(QStringLiteral("vertAlign"),
            QStringLiteral("<%1vertAlign %1val=\"%2\"/>")
                .arg(w_, style.offset > 0 ? "superscript" : "subscript"));
    }
    if (children.empty()) {
        return {};
    }
    std::stable_sort(children.begin(), children.end(), [](const auto& a, const auto& b) {
        return RunPropertyRank(a.first) < RunPropertyRank(b.first);
    });
    QString out = QStringLiteral("<%1rPr>").arg(w_);
    for (const auto& c : children) {
        out += c.second;
    }
    return out + QStringLiteral("</%1rPr>").arg(w_);
}

// The list's paragraphs in the marker paragraph's style; the paragraph code of each entry
// says whether its first line is outdented.
QString WordParagraphWriter::ListParagraphs(const std::vector<std::string>& entries,
                                            const QString& paragraph) {
    QString out;
    QString style; // .docx: the marker paragraph's style element
    if (format_ == WordFormat::Docx) {
        for (const auto& [local, raw] : XmlChildElements(paragraph)) {
            if (local == u"pStyle") {
                style = raw;
            }
        }
    }
    for (const std::string& entry : entries) {
        std::string_view text = entry;
        bool hanging = false;
        if (text.starts_with("#O")) {
            hanging = true;
            text.remove_prefix(2);
        } else if (text.starts_with("#L")) {
            text.remove_prefix(2);
        }
        if (format_ == WordFormat::Docx) {
            out += QStringLiteral("<%1p><%1pPr>").arg(w_) + style;
            if (hanging) {
                out += QStringLiteral("<%1ind %1left=\"%2\" %1hanging=\"%2\"/>")
                           .arg(w_, QLatin1String(kDocxHanging));
            }
            out += QStringLiteral("</%1pPr>").arg(w_) + Runs(std::string(text), {}) +
                   QStringLiteral("</%1p>").arg(w_);
            continue;
        }
        if (hanging && !hangingUsed_) {
            hangingUsed_ = true;
            hangingBase_ = paragraph;
        }
        const QString name = hanging ? QStringLiteral("Citavox_List") : paragraph;
        out += name.isEmpty()
                   ? QStringLiteral("<text:p>")
                   : QStringLiteral("<text:p text:style-name=\"%1\">").arg(AttributeValue(name));
        out += Runs(std::string(text), {}) + QStringLiteral("</text:p>");
    }
    return out;
}

} // namespace cvx
