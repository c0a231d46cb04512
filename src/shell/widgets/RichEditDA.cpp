#include "shell/widgets/RichEditDA.h"

#include "text/Cp1252.h"
#include "text/StringPrimitives.h"
#include "text/TextMode.h"
#include "text/widgets/QtText.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <algorithm>

namespace cvx {

namespace {

// What markup can express beyond the toolkit's own attributes: the Symbol font (whose letters are
// shown as the Greek letters they stand for) and the kind of colour a run has.
constexpr int kSymbolProperty = QTextFormat::UserProperty + 1;
constexpr int kColourProperty = QTextFormat::UserProperty + 2;

constexpr double kHangingIndentPt = 25;
constexpr double kFirstLinePt = 5;
constexpr std::array<double, 2> kTabStopsPt = {30, 45};

std::array<QPointer<QAbstractButton>, 6>& StyleButtons() {
    static std::array<QPointer<QAbstractButton>, 6> buttons;
    return buttons;
}

MarkupStyle StyleOf(const QTextCharFormat& format) {
    MarkupStyle style;
    style.bold = format.fontWeight() >= QFont::Bold;
    style.italic = format.fontItalic();
    style.underline = format.fontUnderline();
    style.symbol = format.boolProperty(kSymbolProperty);
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        style.offset = 1;
        break;
    case QTextCharFormat::AlignSubScript:
        style.offset = -1;
        break;
    default:
        break;
    }
    style.colour = static_cast<TextColour>(format.intProperty(kColourProperty));
    return style;
}

// The byte of a character for the word rule: characters the code page lacks (Greek letters among
// them) are letters of a word.
unsigned char ByteOf(QChar c) {
    if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
        return '\n';
    }
    const unsigned char byte = UnicodeToCp1252(c.unicode());
    return byte == 0 && c.unicode() != 0 ? 'a' : byte;
}

} // namespace

RichEditDA::RichEditDA(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    font_ = font();
    colour_ = palette().color(QPalette::Text);
}

void RichEditDA::SetTextStyle(const QFont& font, const QColor& colour) {
    font_ = font;
    colour_ = colour;
    setFont(font);
}

void RichEditDA::SetHitColours(bool showHits, const QColor& getHit, const QColor& tagHit) {
    showHits_ = showHits;
    getHit_ = getHit;
    tagHit_ = tagHit;
}

void RichEditDA::SetLineHeight(int height) {
    lineHeight_ = height - 3;
}

QTextCharFormat RichEditDA::FormatOf(const MarkupStyle& style) const {
    QTextCharFormat format;
    format.setFont(font_);
    // A display whose font is bold (a tagged reference's identification string) stays bold.
    format.setFontWeight(style.bold || font_.bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    format.setVerticalAlignment(style.offset > 0   ? QTextCharFormat::AlignSuperScript
                                : style.offset < 0 ? QTextCharFormat::AlignSubScript
                                                   : QTextCharFormat::AlignNormal);
    if (style.symbol) {
        format.setProperty(kSymbolProperty, true);
    }
    format.setProperty(kColourProperty, static_cast<int>(style.colour));
    switch (style.colour) {
    case TextColour::Normal:
        format.setForeground(colour_);
        break;
    case TextColour::GetHit:
        format.setForeground(getHit_);
        break;
    case TextColour::TagHit:
        format.setForeground(tagHit_);
        break;
    case TextColour::Blue:
        format.setForeground(QColor(Qt::blue));
        break;
    }
    return format;
}

// A run's lines become paragraphs; a line break of the markup stays inside its paragraph.
void RichEditDA::AppendRun(QTextCursor& cursor, const MarkupRun& run) const {
    const QTextCharFormat format = FormatOf(run.style);
    QString text = RunText(run.text, run.style.symbol);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar(kLineBreak), QChar::LineSeparator);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            cursor.insertBlock(cursor.blockFormat(), format);
        }
        cursor.insertText(lines[i], format);
    }
}

void RichEditDA::LoadMarkedUpText(std::string_view text, std::vector<std::string>* links) {
    std::string shown = ShiftJisMode() ? TidyJapaneseText(text) : std::string(text);
    if (displaySpaces_) {
        std::replace(shown.begin(), shown.end(), ' ', '\xB7');
    }
    const ParsedMarkup parsed = ParseMarkup(shown, MarkupDialect::RichText, showHits_);

    const double pixelsPerPoint = logicalDpiX() / 72.0;
    QTextBlockFormat paragraph;
    paragraph.setAlignment(Qt::AlignLeft);
    const bool hanging = parsed.form == ParagraphForm::Hanging;
    paragraph.setLeftMargin((kFirstLinePt + (hanging ? kHangingIndentPt : 0)) * pixelsPerPoint);
    paragraph.setTextIndent(hanging ? -kHangingIndentPt * pixelsPerPoint : 0);
    QList<QTextOption::Tab> tabs;
    for (const double stop : kTabStopsPt) {
        tabs.append(QTextOption::Tab(stop * pixelsPerPoint, QTextOption::LeftTab));
    }
    paragraph.setTabPositions(tabs);

    document()->clear();
    QTextCursor cursor(document());
    cursor.setBlockFormat(paragraph);
    cursor.setBlockCharFormat(FormatOf({}));
    for (const MarkupRun& run : parsed.runs) {
        AppendRun(cursor, run);
    }
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
    FitParentPanel();
    if (links != nullptr) {
        CollectLinks(ToCp1252(toPlainText()), *links);
    }
}

std::string RichEditDA::GetMarkedUpText() const {
    std::vector<MarkupRun> runs;
    auto add = [&runs](std::string bytes, const MarkupStyle& style) {
        if (!runs.empty() && runs.back().style == style) {
            runs.back().text += bytes;
        } else if (!bytes.empty()) {
            runs.push_back({std::move(bytes), style});
        }
    };
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin()) {
            // The line end joins the run before it, so that it never separates two runs.
            if (runs.empty()) {
                runs.push_back({"", {}});
            }
            runs.back().text += "\r\n";
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const MarkupStyle style = StyleOf(fragment.charFormat());
            QString text = fragment.text();
            text.replace(QChar::LineSeparator, QChar(kLineBreak));
            add(RunBytes(text, style.symbol), style);
        }
    }
    return MarkupFromRuns(runs);
}

void RichEditDA::Renormalise() {
    const std::string text = GetMarkedUpText();
    setCurrentCharFormat(FormatOf({}));
    LoadMarkedUpText(text);
}

void RichEditDA::FitParentPanel() {
    if (lineHeight_ <= 0 || !autoAdjust_ || !parentPanel_) {
        return;
    }
    document()->setTextWidth(viewport()->width());
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
    }
    const int height = lines * lineHeight_ + deadSpace_ + 12;
    if (parentPanel_->height() != height) {
        parentPanel_->setFixedHeight(height);
        update();
    }
}

void RichEditDA::resizeEvent(QResizeEvent* event) {
    QTextEdit::resizeEvent(event);
    FitParentPanel();
}

bool RichEditDA::SelectWordAtCaret(QTextCursor& cursor) const {
    const QTextBlock block = cursor.block();
    const QString text = block.text();
    const int caret = cursor.positionInBlock();
    int start = caret;
    int end = caret;
    while (start > 0 && !IsWordSeparator(ByteOf(text[start - 1]))) {
        --start;
    }
    while (end < text.size() && !IsWordSeparator(ByteOf(text[end]))) {
        ++end;
    }
    if (start == end) {
        return false;
    }
    cursor.setPosition(block.position() + start);
    cursor.setPosition(block.position() + end, QTextCursor::KeepAnchor);
    return true;
}

void RichEditDA::SwitchSymbolFace(QTextCursor& cursor) {
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    QTextCursor first(document());
    first.setPosition(start + 1);
    const bool toSymbol = !StyleOf(first.charFormat()).symbol;
    // Each stretch of one format is replaced by itself in the other face, last first so that the
    // positions before it stay valid.
    std::vector<std::pair<int, int>> stretches;
    for (int pos = start; pos < end;) {
        QTextCursor probe(document());
        probe.setPosition(pos + 1);
        const QTextCharFormat format = probe.charFormat();
        int next = pos + 1;
        while (next < end) {
            QTextCursor ahead(document());
            ahead.setPosition(next + 1);
            if (ahead.charFormat() != format) {
                break;
            }
            ++next;
        }
        stretches.emplace_back(pos, next);
        pos = next;
    }
    cursor.beginEditBlock();
    for (auto it = stretches.rbegin(); it != stretches.rend(); ++it) {
        QTextCursor stretch(document());
        stretch.setPosition(it->first);
        stretch.setPosition(it->second, QTextCursor::KeepAnchor);
        QTextCharFormat format = stretch.charFormat();
        const bool wasSymbol = format.boolProperty(kSymbolProperty);
        const std::string bytes = RunBytes(stretch.selectedText(), wasSymbol);
        format.setProperty(kSymbolProperty, toSymbol);
        stretch.insertText(RunText(bytes, toSymbol), format);
    }
    cursor.endEditBlock();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
}

void RichEditDA::ApplyToSelection(QTextCursor& cursor, int style) {
    QTextCursor first(document());
    first.setPosition(cursor.selectionStart() + 1);
    const MarkupStyle now = StyleOf(first.charFormat());
    QTextCharFormat change;
    switch (style) {
    case Bold:
        change.setFontWeight(now.bold ? QFont::Normal : QFont::Bold);
        break;
    case Italic:
        change.setFontItalic(!now.italic);
        break;
    case Underline:
        change.setFontUnderline(!now.underline);
        break;
    case Subscript:
        change.setVerticalAlignment(now.offset < 0 ? QTextCharFormat::AlignNormal
                                                   : QTextCharFormat::AlignSubScript);
        break;
    case Superscript:
        change.setVerticalAlignment(now.offset > 0 ? QTextCharFormat::AlignNormal
                                                   : QTextCharFormat::AlignSuperScript);
        break;
    case Greek:
        SwitchSymbolFace(cursor);
        return;
    default:
        return;
    }
    cursor.mergeCharFormat(change);
}

void RichEditDA::ApplyStyle(int style) {
    if (style == Default) {
        Renormalise();
        return;
    }
    QTextCursor cursor = textCursor();
    const int caret = cursor.position();
    const bool word = !cursor.hasSelection();
    if (word && !SelectWordAtCaret(cursor)) {
        return;
    }
    ApplyToSelection(cursor, style);
    if (word) {
        cursor.setPosition(caret);
    }
    setTextCursor(cursor);
    UpdateStyleButtons();
}

void RichEditDA::keyPressEvent(QKeyEvent* event) {
    if (isReadOnly() || !(event->modifiers() & Qt::ControlModifier)) {
        QTextEdit::keyPressEvent(event);
        UpdateStyleButtons();
        return;
    }
    int style = -1;
    switch (event->key()) {
    case Qt::Key_B:
        style = Bold;
        break;
    case Qt::Key_I:
        style = Italic;
        break;
    case Qt::Key_U:
        style = Underline;
        break;
    case Qt::Key_G:
        style = Greek;
        break;
    case Qt::Key_AsciiCircum:
    case Qt::Key_Dead_Circumflex:
        style = Superscript;
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        style = Subscript;
        break;
    case Qt::Key_Space: {
        // Plain text at the caret: no style, the default face, on the line.
        QTextCursor cursor = textCursor();
        const int caret = cursor.position();
        const bool word = !cursor.hasSelection();
        if (!word || SelectWordAtCaret(cursor)) {
            QTextCursor first(document());
            first.setPosition(cursor.selectionStart() + 1);
            if (StyleOf(first.charFormat()).symbol) {
                SwitchSymbolFace(cursor);
            }
            QTextCharFormat plain;
            plain.setFontWeight(QFont::Normal);
            plain.setFontItalic(false);
            plain.setFontUnderline(false);
            plain.setVerticalAlignment(QTextCharFormat::AlignNormal);
            cursor.mergeCharFormat(plain);
            if (word) {
                cursor.setPosition(caret);
            }
            setTextCursor(cursor);
        }
        UpdateStyleButtons();
        return;
    }
    default:
        QTextEdit::keyPressEvent(event);
        UpdateStyleButtons();
        return;
    }
    ApplyStyle(style);
}

void RichEditDA::mousePressEvent(QMouseEvent* event) {
    QTextEdit::mousePressEvent(event);
    UpdateStyleButtons();
}

void RichEditDA::RegisterStyleButtons(const std::array<QAbstractButton*, 6>& buttons) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        StyleButtons()[i] = buttons[i];
    }
}

void RichEditDA::ClearStyleButtons() {
    StyleButtons().fill(nullptr);
}

void RichEditDA::UpdateStyleButtons() const {
    const MarkupStyle style = StyleOf(textCursor().charFormat());
    const std::array<bool, 6> pressed = {style.bold, style.italic, style.underline,
                                         style.offset<0, style.offset> 0, style.symbol};
    for (std::size_t i = 0; i < pressed.size(); ++i) {
        if (QAbstractButton* button = StyleButtons()[i]) {
            button->setChecked(pressed[i]);
        }
    }
}

} // namespace cvx
