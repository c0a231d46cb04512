#pragma once
// TSingleInputDlg, the number input: tagging references by their numbers ("1-25", "12,18,101-130")
// or jumping to one reference.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QWidget;

namespace cvx {

class SingleInputDlg : public QDialog {
    Q_OBJECT
public:
    enum Form { ByNumbers = 0, Jump = 1 };

    explicit SingleInputDlg(QWidget* parent = nullptr);

    void SetInputForm(Form form);
    Form InputForm() const { return form_; }

    // The trimmed text of the shown form's field.
    QString Text() const;
    bool UseOriginalOrder() const;
    void SetUseOriginalOrder(bool on);
    bool ClearPrevious() const;
    void SetClearPrevious(bool on);

private:
    Form form_ = ByNumbers;
    QWidget* byNumbers_ = nullptr;
    QWidget* jump_ = nullptr;
    QLineEdit* numbers_ = nullptr;
    QCheckBox* useAbs_ = nullptr;
    QCheckBox* clearPrevious_ = nullptr;
    QLineEdit* jumpTo_ = nullptr;
    QCheckBox* useAbsJump_ = nullptr;
};

} // namespace cvx
