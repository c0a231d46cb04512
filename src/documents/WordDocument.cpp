#include "documents/WordDocument.h"

#include "documents/WordXml.h"

#include "text/Catalogue.h"
#include "text/Cp1252.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <initializer_list>
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
const QString kStyleNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");

enum class PieceKind { Text, Element, Break, NoteAnchor };

// An element open around a piece of text: its start tag as the document wrote it and the
// properties element that the document gave it (a paragraph's or a run's).
struct Frame {
    QString name; // qualified, for the end tag
    QString startTag;
    QString properties;
    qsizetype propertiesAt = -1; // .docx: where the properties element stands in the part
    qsizetype propertiesEnd = -1;
    bool paragraph = false;
    bool run = false;
    bool text = false;       // the element whose character content is text (.docx w:t)
    bool skip = false;       // nothing inside is seen by a reader (deletions, codes, note numbers)
    bool styleText = false;  // .odt: the text properties of an automatic paragraph style
    bool styleFrame = false; // .odt: an automatic paragraph style
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

QString EndTag(const Frame& f) {
    return QStringLiteral("</") + f.name + u'>';
}

// A paragraph's properties element without the children of the given names.
QString PropertiesWithout(const QString& properties, std::initializer_list<QStringView> names) {
    const std::vector<std::pair<QString, QString>> children = XmlChildElements(properties);
    const auto dropped = [&](const QString& local) {
        return std::find(names.begin(), names.end(), QStringView(local)) != names.end();
    };
    if (std::none_of(children.begin(), children.end(),
                     [&](const auto& c) { return dropped(c.first); })) {
        return properties;
    }
    QString out = properties.left(properties.indexOf(u'>') + 1);
    for (const auto& [local, raw] : children) {
        if (!dropped(local)) {
            out += raw;
        }
    }
    return out + properties.mid(properties.lastIndexOf(QStringLiteral("</")));
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

} // namespace

struct WordDocument::Part {
    std::string name;
    QString xml;
    QString prefix; // of the main namespace's elements, for what is written
    std::vector<Piece> pieces;
    std::vector<Context> contexts;
    std::map<QString, std::pair<int, int>> notes;         // key -> its pieces [first, last)
    std::map<QString, OdtParagraphStyle> paragraphStyles; // .odt: the automatic ones, by name
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
            last_ = XmlTokenEnd(r, part_.xml);
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
        if (r.namespaceUri() == kStyleNs) {
            // The automatic paragraph styles, which a style of ours may not name as its parent:
            // it takes their parent and their text properties instead.
            if (name == u"style" && inAutomaticStyles_ &&
                r.attributes().value(kStyleNs, QStringLiteral("family")) == u"paragraph") {
                styleName_ = r.attributes().value(kStyleNs, QStringLiteral("name")).toString();
                part_.paragraphStyles[styleName_].parent =
                    r.attributes().value(kStyleNs, QStringLiteral("parent-style-name")).toString();
                f.styleFrame = true;
            } else if (name == u"text-properties" && !styleName_.isEmpty()) {
                f.styleText = true;
            }
            return;
        }
        if (r.namespaceUri() == kOfficeNs) {
            if (name == u"annotation") {
                f.skip = true;
            } else if (name == u"automatic-styles" && !selfClosing) {
                inAutomaticStyles_ = true;
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
                stack_.back().propertiesAt = start;
                stack_.back().propertiesEnd = last_;
            }
        }
        if (f.styleText) {
            part_.paragraphStyles[styleName_].textProperties = part_.xml.mid(start, last_ - start);
        }
        if (f.styleFrame) {
            styleName_.clear();
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
        if (format_ == WordFormat::Odt && local == u"automatic-styles") {
            inAutomaticStyles_ = false;
            if (part_.stylesAt < 0) {
                part_.stylesAt = begin;
                part_.stylesForm = 1;
            }
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
    bool inAutomaticStyles_ = false;
    QString styleName_; // the automatic paragraph style being read
};

} // namespace

bool LooksLikeZip(std::string_view bytes) {
    return bytes.starts_with("PK\x03\x04");
}

WordDocument::WordDocument() = default;
WordDocument::~WordDocument() = default;

Outcome WordDocument::Load(std::string bytes, const std::string& shown) {
    shown_ = shown;
    parts_.clear();
    if (LooksLikeCompoundFile(bytes)) {
        // A password turns a .docx into a compound file too; the directory tells the two apart.
        switch (InspectCompoundFile(bytes)) {
        case CompoundContent::EncryptedPackage:
        case CompoundContent::EncryptedWord:
            return Outcome::Error(Msg(msg::Documents::DocumentEncrypted, shown));
        case CompoundContent::WordDocument:
            return Outcome::Error(Msg(msg::Documents::Word97Misnamed, shown));
        case CompoundContent::Other:
            break;
        }
        return Outcome::Error(Msg(msg::Documents::NotAWordDocument, shown));
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
// Builds what a write inserts: the runs or spans of a citation group, and the list paragraphs
// with the paragraph and run elements around them closed and reopened.
class Inserter {
public:
    Inserter(WordFormat format, const QString& prefix,
             const std::map<QString, OdtParagraphStyle>& automaticStyles)
        : format_(format), writer_(format, prefix) {
        writer_.SetAutomaticParagraphStyles(automaticStyles);
    }

    // The insertion at the start of a replacement that begins in a piece under `context`.
    QString Insertion(const Context& context, const WordReplacement& r) {
        const std::vector<Frame>& chain = context.chain;
        QString out;
        if (format_ == WordFormat::Docx) {
            const QString runProps = chain.back().properties;
            out += writer_.TextEnd() + EndTag(chain.back());
            out += writer_.Runs(r.citation, runProps);
            if (!r.list) {
                return out + ReopenedTag(chain.back().startTag) + runProps + writer_.TextStart();
            }
            for (std::size_t i = chain.size() - 1; i-- > 0;) {
                out += EndTag(chain[i]);
            }
            out += writer_.ListParagraphs(r.entries, chain.front().properties);
            // The rest of the marker's paragraph continues it, not a new item of a numbered
            // list; it keeps the section properties, which the part before the list gives up.
            out += ReopenedTag(chain.front().startTag) +
                   PropertiesWithout(chain.front().properties, {u"numPr"});
            for (std::size_t i = 1; i < chain.size(); ++i) {
                out += ReopenedTag(chain[i].startTag) + chain[i].properties;
            }
            return out + writer_.TextStart();
        }
        out += writer_.Runs(r.citation, {});
        if (!r.list) {
            return out;
        }
        for (std::size_t i = chain.size(); i-- > 0;) {
            out += EndTag(chain[i]);
        }
        out += writer_.ListParagraphs(r.entries, chain.front().properties);
        for (const Frame& f : chain) {
            out += ReopenedTag(f.startTag);
        }
        return out;
    }

    const WordParagraphWriter& Writer() const { return writer_; }

private:
    WordFormat format_;
    WordParagraphWriter writer_;
};

} // namespace

Outcome WordDocument::Write(const std::vector<WordReplacement>& replacements,
                            std::string& out) const {
    // Cuts per part and piece, then each touched piece rewritten once.
    std::vector<std::map<int, std::vector<Cut>>> cuts(parts_.size());
    Inserter inserter(format_, parts_.front()->prefix, parts_.front()->paragraphStyles);
    // Edits of the document's own elements, by where they start: the properties of a paragraph
    // split by the reference list lose the section properties, which stay with its last part.
    std::vector<std::map<qsizetype, std::pair<qsizetype, QString>>> edits(parts_.size());
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
                const Context& context = part.contexts[static_cast<std::size_t>(piece.context)];
                cut.insert = inserter.Insertion(context, r);
                const Frame& paragraph = context.chain.front();
                if (r.list && format_ == WordFormat::Docx && paragraph.propertiesAt >= 0) {
                    edits[static_cast<std::size_t>(s.part)][paragraph.propertiesAt] = {
                        paragraph.propertiesEnd,
                        PropertiesWithout(paragraph.properties, {u"sectPr"})};
                }
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
        const QString styles =
            format_ == WordFormat::Odt ? inserter.Writer().OdtStyles() : QString();
        const auto copyPlain = [&](qsizetype to) {
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
        const auto copyTo = [&](qsizetype to) {
            for (auto e = edits[p].lower_bound(cursor); e != edits[p].end() && e->first < to;
                 e = edits[p].lower_bound(cursor)) {
                copyPlain(e->first);
                xml += e->second.second;
                cursor = e->second.first;
            }
            copyPlain(to);
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
                xml += inserter.Writer().TextStart();
            }
            qsizetype at = 0;
            for (const Cut& c : pieceCuts) {
                xml += XmlEscaped(piece.text.mid(at, c.from - at)) + c.insert;
                at = std::max(at, c.to);
            }
            xml += XmlEscaped(piece.text.mid(at));
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
