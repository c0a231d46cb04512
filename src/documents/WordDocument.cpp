#include "documents/WordDocument.h"

#include "text/Catalogue.h"
#include "text/Cp1252.h"
#include "text/MarkupRuns.h"
#include "text/SymbolFont.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <map>
#include <set>

namespace cvx {

namespace {

const QString kWordNs =
    QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kCompatNs =
    QStringLiteral("http://schemas.openxmlformats.org/markup-compatibility/2006");
const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kOfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");

// The hanging indent of an outdented reference list: half an inch, as word processors set it.
constexpr const char* kDocxHanging = "720"; // twentieths of a point
constexpr const char* kOdtHanging = "1.27cm";

enum class PieceKind { Text, Element, Break, NoteAnchor };

// An element open around a piece of text: its start tag as the document wrote it and the
// properties element that the document gave it (a paragraph's or a run's).
struct Frame {
    QString name; // qualified, for the end tag
    QString startTag;
    QString properties;
    bool paragraph = false;
    bool run = false;
    bool text = false; // the element whose character content is text (.docx w:t)
    bool skip = false; // nothing inside is seen by a reader (deletions, codes, note numbers)
};

// The elements from the innermost paragraph down to a piece of text.
struct Context {
    std::vector<Frame> chain;
};

struct Piece {
    PieceKind kind = PieceKind::Text;
    qsizetype rawBegin = 0; // what a rewrite of the piece replaces
    qsizetype rawEnd = 0;
    qsizetype contentBegin = 0; // .docx text: after the start tag of w:t
    QString text;
    QString note; // NoteAnchor: the note's key
    int context = -1;
};

// A cut out of a piece's text, with what goes in its place.
struct Cut {
    qsizetype from = 0;
    qsizetype to = 0;
    QString insert;
};

QString Escaped(const QString& text) {
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

QString EndTag(const Frame& f) {
    return QStringLiteral("</") + f.name + u'>';
}

// A start tag written a second time, for the part of an element after an insertion: without the
// attributes that must be unique in the document.
QString ReopenedTag(const QString& startTag) {
    static const QRegularExpression unique(
        QStringLiteral(R"(\s+(?:w14:paraId|w14:textId|xml:id|text:id)\s*=\s*"[^"]*")"));
    QString tag = startTag;
    tag.remove(unique);
    if (tag.endsWith(QStringLiteral("/>"))) {
        tag.chop(2);
        tag += u'>';
    }
    return tag;
}

// The text of a run as a reader shows it (Greek letters of the Symbol font as themselves).
QString RunText(const MarkupRun& run) {
    QString out;
    for (const char ch : run.text) {
        const auto b = static_cast<unsigned char>(ch);
        const char32_t c = run.style.symbol ? SymbolCharacter(b) : Cp1252ToUnicode(b);
        out += QString::fromUcs4(&c, 1);
    }
    return out;
}

// Where the token just read ends in the text: the reader has already taken the "<" that ends
// character data, which belongs to the next token.
qsizetype TokenEnd(const QXmlStreamReader& r, const QString& xml) {
    const qsizetype end = r.characterOffset();
    return r.isCharacters() && end > 0 && xml[end - 1] == u'<' ? end - 1 : end;
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

// The child elements of a properties element as written, with their local names.
std::vector<std::pair<QString, QString>> ChildElements(const QString& properties) {
    std::vector<std::pair<QString, QString>> children;
    QXmlStreamReader r(properties);
    r.setNamespaceProcessing(false);
    qsizetype last = 0;
    qsizetype childStart = -1;
    QString childName;
    int depth = 0;
    while (!r.atEnd()) {
        const auto token = r.readNext();
        const qsizetype begin = last;
        last = TokenEnd(r, properties);
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

} // namespace

struct WordDocument::Part {
    std::string name;
    QString xml;
    QString prefix; // of the main namespace's elements, for what is written
    std::vector<Piece> pieces;
    std::vector<Context> contexts;
    std::map<QString, std::pair<int, int>> notes; // key -> its pieces [first, last)
    // .odt: where automatic styles go (0 insert before office:body, 1 insert before the end tag,
    // 2 replace the empty element).
    qsizetype stylesAt = -1;
    qsizetype stylesEnd = -1;
    int stylesForm = 0;
};

namespace {

// Reads one XML part into pieces of text. The rules of the two formats differ in which elements
// hold text, which hide it and which form paragraphs.
class PartReader {
public:
    PartReader(WordFormat format, WordDocument::Part& part) : format_(format), part_(part) {}

    // An empty result: read; otherwise the reason for the message.
    QString Run(bool& entities) {
        QXmlStreamReader r(part_.xml);
        while (!r.atEnd()) {
            const auto token = r.readNext();
            const qsizetype begin = last_;
            last_ = TokenEnd(r, part_.xml);
            switch (token) {
            case QXmlStreamReader::DTD:
            case QXmlStreamReader::EntityReference:
                entities = true;
                return QStringLiteral("DTD");
            case QXmlStreamReader::StartElement:
                Start(r, begin);
                break;
            case QXmlStreamReader::EndElement:
                End(begin);
                break;
            case QXmlStreamReader::Characters:
                Characters(r, begin);
                break;
            default:
                break;
            }
        }
        if (r.hasError()) {
            return QStringLiteral("%1 (line %2)").arg(r.errorString()).arg(r.lineNumber());
        }
        return {};
    }

private:
    bool Skipping() const { return !stack_.empty() && stack_.back().skip; }

    void Start(QXmlStreamReader& r, qsizetype begin) {
        Frame f;
        f.name = r.qualifiedName().toString();
        f.startTag = part_.xml.mid(begin, last_ - begin);
        f.skip = Skipping();
        const bool selfClosing = f.startTag.endsWith(QStringLiteral("/>"));
        if (format_ == WordFormat::Docx) {
            StartDocx(r, f, begin, selfClosing);
        } else {
            StartOdt(r, f, begin, selfClosing);
        }
        starts_.push_back(begin);
        stack_.push_back(std::move(f));
        ++version_;
    }

    void StartDocx(QXmlStreamReader& r, Frame& f, qsizetype begin, bool selfClosing) {
        const QStringView name = r.name();
        if (r.namespaceUri() == kCompatNs && name == u"Fallback") {
            f.skip = true; // the same content again, for older readers
            return;
        }
        if (r.namespaceUri() != kWordNs || f.skip) {
            return;
        }
        if (part_.prefix.isNull()) {
            part_.prefix = r.prefix().toString();
        }
        if (name == u"del" || name == u"moveFrom" || name == u"instrText" || name == u"delText") {
            f.skip = true;
        } else if (name == u"p") {
            f.paragraph = true;
        } else if (name == u"r") {
            f.run = true;
        } else if (name == u"t" && InRun()) {
            f.text = true;
            Piece p;
            p.rawBegin = begin;
            p.contentBegin = last_;
            p.rawEnd = last_;
            AddPiece(std::move(p));
        } else if ((name == u"tab" || name == u"br" || name == u"cr") && InRun()) {
            AddElement(begin, selfClosing,
                       name == u"tab" ? QStringLiteral("\t") : QStringLiteral("\n"));
        } else if (name == u"footnoteReference" || name == u"endnoteReference") {
            Piece p;
            p.kind = PieceKind::NoteAnchor;
            p.note = name.left(1).toString() +
                     r.attributes().value(kWordNs, QStringLiteral("id")).toString();
            part_.pieces.push_back(std::move(p));
        } else if ((name == u"footnote" || name == u"endnote") &&
                   !r.attributes().hasAttribute(kWordNs, QStringLiteral("type"))) {
            // Notes with a type are the separator lines, not notes of the text.
            noteKey_ = name.left(1).toString() +
                       r.attributes().value(kWordNs, QStringLiteral("id")).toString();
            noteStart_ = static_cast<int>(part_.pieces.size());
        }
    }

    void StartOdt(QXmlStreamReader& r, Frame& f, qsizetype begin, bool selfClosing) {
        const QStringView name = r.name();
        if (r.namespaceUri() == kOfficeNs) {
            if (name == u"annotation") {
                f.skip = true;
            } else if (name == u"automatic-styles" && selfClosing) {
                part_.stylesAt = begin;
                part_.stylesEnd = last_;
                part_.stylesForm = 2;
            } else if (name == u"body" && part_.stylesAt < 0) {
                part_.stylesAt = begin;
                part_.stylesForm = 0;
            }
            return;
        }
        if (r.namespaceUri() != kTextNs || f.skip) {
            return;
        }
        if (name == u"note-citation" || name == u"tracked-changes") {
            f.skip = true;
        } else if (name == u"p" || name == u"h") {
            f.paragraph = true;
            f.properties = r.attributes().value(kTextNs, QStringLiteral("style-name")).toString();
        } else if (InParagraph()) {
            if (name == u"s") {
                const int count =
                    std::max(1, r.attributes().value(kTextNs, QStringLiteral("c")).toInt());
                AddElement(begin, selfClosing, QString(count, u' '));
            } else if (name == u"tab") {
                AddElement(begin, selfClosing, QStringLiteral("\t"));
            } else if (name == u"line-break") {
                AddElement(begin, selfClosing, QStringLiteral("\n"));
            }
        }
    }

    void End(qsizetype begin) {
        if (stack_.empty()) {
            return;
        }
        Frame f = std::move(stack_.back());
        const qsizetype start = starts_.back();
        stack_.pop_back();
        starts_.pop_back();
        ++version_;
        if (openElement_ >= 0) {
            part_.pieces[static_cast<std::size_t>(openElement_)].rawEnd = last_;
            openElement_ = -1;
        }
        if (f.text && !part_.pieces.empty()) {
            part_.pieces.back().rawEnd = begin;
        }
        const QString local = f.name.mid(f.name.indexOf(u':') + 1);
        if (format_ == WordFormat::Docx && !stack_.empty() && !f.skip) {
            // The properties of a paragraph or run, kept for the pieces that follow in it.
            if ((local == u"pPr" && stack_.back().paragraph) ||
                (local == u"rPr" && stack_.back().run)) {
                stack_.back().properties = part_.xml.mid(start, last_ - start);
            }
        }
        if (f.paragraph && !f.skip) {
            Piece p;
            p.kind = PieceKind::Break;
            p.text = QStringLiteral("\n");
            part_.pieces.push_back(std::move(p));
        }
        if (format_ == WordFormat::Docx && (local == u"footnote" || local == u"endnote") &&
            !noteKey_.isEmpty()) {
            part_.notes[noteKey_] = {noteStart_, static_cast<int>(part_.pieces.size())};
            noteKey_.clear();
        }
        if (format_ == WordFormat::Odt && local == u"automatic-styles" && part_.stylesAt < 0) {
            part_.stylesAt = begin;
            part_.stylesForm = 1;
        }
    }

    void Characters(QXmlStreamReader& r, qsizetype begin) {
        if (Skipping() || stack_.empty()) {
            return;
        }
        if (format_ == WordFormat::Docx) {
            if (stack_.back().text && !part_.pieces.empty()) {
                part_.pieces.back().text += r.text();
            }
            return;
        }
        if (!InParagraph()) {
            return;
        }
        Piece p;
        p.rawBegin = begin;
        p.contentBegin = begin;
        p.rawEnd = last_;
        p.text = r.text().toString();
        AddPiece(std::move(p));
    }

    bool InRun() const { return !stack_.empty() && stack_.back().run && !stack_.back().skip; }

    bool InParagraph() const {
        return std::any_of(stack_.begin(), stack_.end(),
                           [](const Frame& f) { return f.paragraph; });
    }

    void AddElement(qsizetype begin, bool selfClosing, QString text) {
        Piece p;
        p.kind = PieceKind::Element;
        p.rawBegin = begin;
        p.rawEnd = last_;
        p.text = std::move(text);
        if (!selfClosing) {
            openElement_ = static_cast<int>(part_.pieces.size());
        }
        AddPiece(std::move(p));
    }

    // A piece gets the chain of elements from its innermost paragraph down; consecutive pieces
    // under the same elements share one.
    void AddPiece(Piece p) {
        const auto para = std::find_if(stack_.rbegin(), stack_.rend(),
                                       [](const Frame& f) { return f.paragraph; });
        if (para == stack_.rend()) {
            return;
        }
        if (version_ != contextVersion_ || part_.contexts.empty()) {
            Context c;
            c.chain.assign(para.base() - 1, stack_.end());
            part_.contexts.push_back(std::move(c));
            contextVersion_ = version_;
        }
        p.context = static_cast<int>(part_.contexts.size()) - 1;
        part_.pieces.push_back(std::move(p));
    }

    WordFormat format_;
    WordDocument::Part& part_;
    std::vector<Frame> stack_;
    std::vector<qsizetype> starts_;
    qsizetype last_ = 0;
    long version_ = 0;
    long contextVersion_ = -1;
    int openElement_ = -1;
    QString noteKey_;
    int noteStart_ = 0;
};

} // namespace

bool LooksLikeZip(std::string_view bytes) {
    return bytes.starts_with("PK\x03\x04");
}

bool LooksLikeCompoundFile(std::string_view bytes) {
    return bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

WordDocument::WordDocument() = default;
WordDocument::~WordDocument() = default;

Outcome WordDocument::Load(std::string bytes, const std::string& shown) {
    shown_ = shown;
    parts_.clear();
    if (LooksLikeCompoundFile(bytes)) {
        return Outcome::Error(Msg(msg::Documents::DocumentEncrypted, shown));
    }
    if (!LooksLikeZip(bytes)) {
        return Outcome::Error(Msg(msg::Documents::NotAWordDocument, shown));
    }
    if (Outcome r = package_.Open(std::move(bytes), shown); !r) {
        return r;
    }
    if (package_.Has("word/document.xml")) {
        format_ = WordFormat::Docx;
        for (const char* name : {"word/document.xml", "word/footnotes.xml", "word/endnotes.xml"}) {
            if (Outcome r = LoadPart(name, parts_.empty()); !r) {
                return r;
            }
        }
    } else if (package_.Has("content.xml")) {
        format_ = WordFormat::Odt;
        std::string manifest;
        if (package_.Has("META-INF/manifest.xml") &&
            package_.Read("META-INF/manifest.xml", manifest).ok() &&
            manifest.find("encryption-data") != std::string::npos) {
            return Outcome::Error(Msg(msg::Documents::DocumentEncrypted, shown));
        }
        if (Outcome r = LoadPart("content.xml", true); !r) {
            return r;
        }
    } else {
        return Outcome::Error(Msg(msg::Documents::PartMissing, shown, "word/document.xml", "Word"));
    }
    Gather();
    return Outcome::Ok();
}

Outcome WordDocument::LoadPart(const std::string& name, bool required) {
    if (!required && !package_.Has(name)) {
        return Outcome::Ok();
    }
    std::string bytes;
    if (Outcome r = package_.Read(name, bytes); !r) {
        return r;
    }
    auto part = std::make_unique<Part>();
    part->name = name;
    part->xml = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    bool entities = false;
    const QString error = PartReader(format_, *part).Run(entities);
    if (entities) {
        return Outcome::Error(Msg(msg::Documents::EntitiesRefused, name, shown_));
    }
    if (!error.isEmpty()) {
        return Outcome::Error(
            Msg(msg::Documents::BadXml, name, shown_, Utf8ToCp1252(error.toStdString())));
    }
    parts_.push_back(std::move(part));
    return Outcome::Ok();
}

// The gathered text: the main part in order, each note's text where its anchor stands, then the
// notes that no anchor names.
void WordDocument::Gather() {
    text_.clear();
    spans_.clear();
    std::set<std::pair<int, QString>> placed;
    const auto add = [this](int part, int piece) {
        const Piece& p =
            parts_[static_cast<std::size_t>(part)]->pieces[static_cast<std::size_t>(piece)];
        if (p.kind == PieceKind::NoteAnchor || p.text.isEmpty()) {
            return;
        }
        spans_.push_back({text_.size(), part, piece});
        text_ += p.text.toStdString();
    };
    const auto addNote = [&](const QString& key) {
        for (int part = 1; part < static_cast<int>(parts_.size()); ++part) {
            const auto it = parts_[static_cast<std::size_t>(part)]->notes.find(key);
            if (it != parts_[static_cast<std::size_t>(part)]->notes.end() &&
                placed.insert({part, key}).second) {
                text_ += '\n';
                for (int i = it->second.first; i < it->second.second; ++i) {
                    add(part, i);
                }
            }
        }
    };
    const Part& main = *parts_.front();
    for (int i = 0; i < static_cast<int>(main.pieces.size()); ++i) {
        if (main.pieces[static_cast<std::size_t>(i)].kind == PieceKind::NoteAnchor) {
            addNote(main.pieces[static_cast<std::size_t>(i)].note);
        } else {
            add(0, i);
        }
    }
    for (int part = 1; part < static_cast<int>(parts_.size()); ++part) {
        for (const auto& [key, range] : parts_[static_cast<std::size_t>(part)]->notes) {
            addNote(key);
        }
    }
}

namespace {

// Builds what a write inserts: runs or spans of citation text and list paragraphs.
class Inserter {
public:
    Inserter(WordFormat format, const QString& prefix) : format_(format), w_(prefix) {
        if (!w_.isEmpty()) {
            w_ += u':';
        }
    }

    // The insertion at the start of a replacement that begins in a piece under `context`.
    QString Insertion(const Context& context, const WordReplacement& r) {
        const std::vector<Frame>& chain = context.chain;
        QString out;
        if (format_ == WordFormat::Docx) {
            const QString runProps = chain.back().properties;
            out += QStringLiteral("</%1t>").arg(w_) + EndTag(chain.back());
            out += Runs(r.citation, runProps);
            if (!r.list) {
                return out + ReopenedTag(chain.back().startTag) + runProps + TextStart();
            }
            for (std::size_t i = chain.size() - 1; i-- > 0;) {
                out += EndTag(chain[i]);
            }
            out += ListParagraphs(r.entries, chain.front().properties);
            for (const Frame& f : chain) {
                out += ReopenedTag(f.startTag) + f.properties;
            }
            return out + TextStart();
        }
        out += Runs(r.citation, {});
        if (!r.list) {
            return out;
        }
        for (std::size_t i = chain.size(); i-- > 0;) {
            out += EndTag(chain[i]);
        }
        out += ListParagraphs(r.entries, chain.front().properties);
        for (const Frame& f : chain) {
            out += ReopenedTag(f.startTag);
        }
        return out;
    }

    QString TextStart() const { return QStringLiteral("<%1t xml:space=\"preserve\">").arg(w_); }

    // The automatic styles the inserted spans and paragraphs use (.odt).
    QString OdtStyles() const {
        QString out;
        for (const int bits : textStyles_) {
            out +=
                QStringLiteral(
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
            out += QStringLiteral(
                       "<style:style style:name=\"Citavox_List\" style:family=\"paragraph\">"
                       "<style:paragraph-properties fo:margin-left=\"%1\" "
                       "fo:text-indent=\"-%1\"/></style:style>")
                       .arg(QLatin1String(kOdtHanging));
        }
        return out;
    }

private:
    static int StyleBits(const MarkupStyle& s) {
        return (s.bold ? 1 : 0) | (s.italic ? 2 : 0) | (s.underline ? 4 : 0) |
               (s.offset > 0 ? 8 : 0) | (s.offset < 0 ? 16 : 0);
    }

    static QString OdtStyleName(int bits) { return QStringLiteral("Citavox_C%1").arg(bits); }

    // Marked-up text as runs (.docx) or spans (.odt).
    QString Runs(const std::string& marked, const QString& baseProps) {
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

    QString DocxContent(const QString& text) const {
        QString out;
        QString pending;
        const auto flush = [&] {
            if (!pending.isEmpty()) {
                out += TextStart() + Escaped(pending) + QStringLiteral("</%1t>").arg(w_);
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

    // ODF collapses runs of blanks, so every blank after the first is written as a space element.
    static QString OdtContent(const QString& text) {
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
                out += Escaped(QString(c));
            }
        }
        return out;
    }

    // The run properties of the run a pseudo-citation began in, without hiding and tracked
    // formatting, with the citation's styles, in the order the schema requires.
    QString RunProperties(const QString& base, const MarkupStyle& style) const {
        std::vector<std::pair<QString, QString>> children;
        static const QStringList dropped = {"vanish", "webHidden", "specVanish", "rPrChange"};
        for (auto& [local, raw] : ChildElements(base)) {
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
    QString ListParagraphs(const std::vector<std::string>& entries, const QString& paragraph) {
        QString out;
        QString style; // .docx: the marker paragraph's style element
        if (format_ == WordFormat::Docx) {
            for (const auto& [local, raw] : ChildElements(paragraph)) {
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
            hangingUsed_ = hangingUsed_ || hanging;
            const QString name = hanging ? QStringLiteral("Citavox_List") : paragraph;
            out += name.isEmpty() ? QStringLiteral("<text:p>")
                                  : QStringLiteral("<text:p text:style-name=\"%1\">")
                                        .arg(Escaped(name).replace(u'"', QStringLiteral("&quot;")));
            out += Runs(std::string(text), {}) + QStringLiteral("</text:p>");
        }
        return out;
    }

    WordFormat format_;
    QString w_; // the main namespace's prefix with its colon
    std::set<int> textStyles_;
    bool hangingUsed_ = false;
};

} // namespace

Outcome WordDocument::Write(const std::vector<WordReplacement>& replacements,
                            std::string& out) const {
    // Cuts per part and piece, then each touched piece rewritten once.
    std::vector<std::map<int, std::vector<Cut>>> cuts(parts_.size());
    Inserter inserter(format_, parts_.front()->prefix);
    // The span an offset falls in, or the last one before it (the breaks that set notes apart
    // belong to no span).
    const auto locate = [this](std::size_t offset) {
        const auto it = std::upper_bound(spans_.begin(), spans_.end(), offset,
                                         [](std::size_t o, const Span& s) { return o < s.start; });
        return it == spans_.begin() ? std::size_t{0}
                                    : static_cast<std::size_t>(it - spans_.begin()) - 1;
    };
    const auto qIndex = [this](const Span& s, std::size_t offset) {
        const QString& text = parts_[static_cast<std::size_t>(s.part)]
                                  ->pieces[static_cast<std::size_t>(s.piece)]
                                  .text;
        const QByteArray utf8 = text.toUtf8();
        const std::size_t length =
            std::clamp(offset, s.start, s.start + static_cast<std::size_t>(utf8.size())) - s.start;
        return QString::fromUtf8(utf8.constData(), static_cast<qsizetype>(length)).size();
    };
    for (const WordReplacement& r : replacements) {
        if (spans_.empty() || r.end <= r.start) {
            continue;
        }
        const std::size_t first = locate(r.start);
        const std::size_t last = locate(r.end - 1);
        for (std::size_t k = first; k <= last; ++k) {
            const Span& s = spans_[k];
            const Part& part = *parts_[static_cast<std::size_t>(s.part)];
            const Piece& piece = part.pieces[static_cast<std::size_t>(s.piece)];
            Cut cut;
            cut.from = k == first ? qIndex(s, r.start) : 0;
            cut.to = k == last ? qIndex(s, r.end) : piece.text.size();
            if (k == first && piece.kind == PieceKind::Text) {
                cut.insert =
                    inserter.Insertion(part.contexts[static_cast<std::size_t>(piece.context)], r);
            }
            cuts[static_cast<std::size_t>(s.part)][s.piece].push_back(std::move(cut));
        }
    }
    std::map<std::string, std::string> replaced;
    for (std::size_t p = 0; p < parts_.size(); ++p) {
        const Part& part = *parts_[p];
        if (cuts[p].empty() && !(p == 0 && format_ == WordFormat::Odt)) {
            continue;
        }
        QString xml;
        xml.reserve(part.xml.size() + part.xml.size() / 8);
        qsizetype cursor = 0;
        const QString styles = format_ == WordFormat::Odt ? inserter.OdtStyles() : QString();
        const auto copyTo = [&](qsizetype to) {
            if (format_ == WordFormat::Odt && !styles.isEmpty() && part.stylesAt >= cursor &&
                part.stylesAt <= to) {
                xml += QStringView(part.xml).mid(cursor, part.stylesAt - cursor);
                if (part.stylesForm == 0) {
                    xml += QStringLiteral("<office:automatic-styles>") + styles +
                           QStringLiteral("</office:automatic-styles>");
                    cursor = part.stylesAt;
                } else if (part.stylesForm == 1) {
                    xml += styles;
                    cursor = part.stylesAt;
                } else {
                    xml += QStringLiteral("<office:automatic-styles>") + styles +
                           QStringLiteral("</office:automatic-styles>");
                    cursor = part.stylesEnd;
                }
            }
            xml += QStringView(part.xml).mid(cursor, to - cursor);
            cursor = to;
        };
        for (const auto& [index, pieceCuts] : cuts[p]) {
            const Piece& piece = part.pieces[static_cast<std::size_t>(index)];
            if (piece.kind == PieceKind::Element) {
                copyTo(piece.rawBegin);
                cursor = piece.rawEnd;
                continue;
            }
            const bool docx = format_ == WordFormat::Docx;
            copyTo(docx ? piece.rawBegin : piece.contentBegin);
            if (docx) {
                xml += inserter.TextStart();
            }
            qsizetype at = 0;
            for (const Cut& c : pieceCuts) {
                xml += Escaped(piece.text.mid(at, c.from - at)) + c.insert;
                at = std::max(at, c.to);
            }
            xml += Escaped(piece.text.mid(at));
            cursor = piece.rawEnd;
        }
        copyTo(part.xml.size());
        if (cuts[p].empty() && xml == part.xml) {
            continue;
        }
        const QByteArray utf8 = xml.toUtf8();
        replaced[part.name] = std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
    return package_.Write(replaced, out);
}

} // namespace cvx
