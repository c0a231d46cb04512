#pragma once
// TCreatePCsForm, the dialog that creates pseudo-citations: the kind of citation wanted (normal,
// hidden, year or authors only, with a text before or after), the group flags, a sample of what
// the completed citation will look like, and whether the current or every tagged reference is
// cited.

#include <QDialog>

#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace cvx {

class CreatePCsForm : public QDialog {
    Q_OBJECT
public:
    // The choices of PS_Style, in their order.
    enum StyleChoice { Normal = 0, Hide, Before, YearOnly, AuthorsOnly, After };

    CreatePCsForm(int taggedCount, QWidget* parent = nullptr);

    // After the dialog: the pseudo-citation option (PseudoCitation.h) and its text (code page
    // 1252), the group flags, and whether the tagged references were asked for.
    int Option() const;
    std::string OptionText() const;
    bool FirstInGroup() const;
    bool SkipEnclosure() const;
    bool ForTagged() const { return forTagged_; }

    void SetStyle(StyleChoice choice);

private:
    void StyleChosen(int choice);
    void TextTyped(const QString& text);
    void UpdateSamples();

    QButtonGroup* style_ = nullptr;
    QComboBox* texts_ = nullptr;
    QCheckBox* skipEnclosure_ = nullptr;
    QCheckBox* firstInGroup_ = nullptr;
    QLabel* sampleFormat_ = nullptr;
    QLabel* sampleNumber_ = nullptr;
    bool several_ = false;
    bool forTagged_ = false;
    bool settingText_ = false; // the dialog itself changes the text
};

} // namespace cvx
