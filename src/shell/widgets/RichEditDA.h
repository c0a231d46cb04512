#pragma once
// TRichEdit_DA, the program's rich-text control: it shows marked-up text (the two-character codes
// of the reference text) as formatted text, colours the words of the last search, collects the
// web addresses and file paths it shows, applies character styles on request or from the
// keyboard, and reads its content back as marked-up text.

#include "text/MarkupRuns.h"

#include <QColor>
#include <QPointer>
#include <QTextEdit>

#include <array>
#include <string>
#include <string_view>
#include <vector>

class QAbstractButton;

namespace cvx {

class RichEditDA : public QTextEdit {
    Q_OBJECT
public:
    // The style numbers of ApplyStyle and of the style buttons of dialogs.
    enum Style { Default = 0, Bold, Italic, Underline, Subscript, Superscript, Greek };

    explicit RichEditDA(QWidget* parent = nullptr);

    // Replaces the content by the formatted form of `text` (code page 1252 with its codes); the
    // links found in the new content are added to `links` when it is given.
    void LoadMarkedUpText(std::string_view text, std::vector<std::string>* links = nullptr);
    // The content as marked-up text.
    std::string GetMarkedUpText() const;
    // Keeps only the formatting that markup can express.
    void Renormalise();
    // Applies a style to the selection, or to the word at the caret when nothing is selected.
    void ApplyStyle(int style);

    // The height of one text line, for fitting the parent panel to the text.
    void SetLineHeight(int height);
    void SetAutoAdjustHor(bool on) { autoAdjust_ = on; }
    void SetParentPanel(QWidget* panel) { parentPanel_ = panel; }
    void SetDeadSpace(int pixels) { deadSpace_ = pixels; }
    // Shows every blank as a middle dot.
    void SetDisplaySpaces(bool on) { displaySpaces_ = on; }

    // The look of the text: its font and colour, and the colours of search hits.
    void SetTextStyle(const QFont& font, const QColor& colour);
    void SetHitColours(bool showHits, const QColor& getHit, const QColor& tagHit);

    // The six style buttons (bold, italic, underline, subscript, superscript, Greek) of the dialog
    // that edits text: their pressed state follows the text at the caret of any control. An empty
    // slot is skipped; a dialog clears the slots when it closes.
    static void RegisterStyleButtons(const std::array<QAbstractButton*, 6>& buttons);
    static void ClearStyleButtons();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QTextCharFormat FormatOf(const MarkupStyle& style) const;
    void AppendRun(QTextCursor& cursor, const MarkupRun& run) const;
    void FitParentPanel();
    bool SelectWordAtCaret(QTextCursor& cursor) const;
    void ApplyToSelection(QTextCursor& cursor, int style);
    void SwitchSymbolFace(QTextCursor& cursor);
    void UpdateStyleButtons() const;

    QFont font_;
    QColor colour_;
    bool showHits_ = true;
    QColor getHit_;
    QColor tagHit_;
    int lineHeight_ = 0;
    bool autoAdjust_ = false;
    QPointer<QWidget> parentPanel_;
    int deadSpace_ = 0;
    bool displaySpaces_ = false;
};

} // namespace cvx
