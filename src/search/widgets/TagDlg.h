#pragma once
// TTagDlg, the search dialog: the user writes a search expression with the help of clickable
// operator labels and an expression history, and chooses whether the word index is used and
// whether diacritics are ignored. One dialog serves the whole program (tagging, finding,
// locating); its removed-entries stack and check boxes carry over from one use to the next.

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QToolButton;

namespace cvx {

class TReferenceFile;

class TagDlg : public QDialog {
    Q_OBJECT
public:
    // Reads "Use idx" and "No diac".
    explicit TagDlg(QWidget* parent = nullptr);

    // Fills the expression box with a history list (up to its first empty entry) and preselects
    // its first entry.
    void SetExpressions(const std::vector<std::string>& history);
    // The box's entries, first to last, as the callers store them back after OK.
    std::vector<std::string> Expressions() const;
    // Offers indexed search when the file has a usable index, with the operators it can answer.
    void PrepareForFile(const TReferenceFile& file);

    // The expression as typed (code page 1252).
    std::string Expression() const;
    // The search is to go through the word index.
    bool UseIndexedSearch() const;

    void done(int result) override;
    // A double click on the expression closes the dialog with OK.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // An operator cannot go where the cursor is.
    void WarningBeep();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildOperatorLabels(QWidget* panel);
    void OperatorClicked(int number);
    void ExpressionChanged(const QString& text);
    void AdjustIndexToExpression(const QString& text);
    void UseIndexClicked();
    void SetIndexChecked(bool checked);
    void SetOperatorOptions();
    void RemoveOldExpression();
    void ReinsertRemoved();

    QComboBox* expressions_ = nullptr; // ListBox1
    QToolButton* removeOld_ = nullptr; // SpeedButton1
    QToolButton* reinsert_ = nullptr;  // SpeedButton2
    QCheckBox* useIndex_ = nullptr;    // CHECK_UseIndexSearch
    QCheckBox* ignoreDiacritic_ = nullptr;
    QLabel* heading_ = nullptr;       // TEXT_AvailableOperators
    QLabel* message_ = nullptr;       // M_Message
    std::vector<QLabel*> operators_;  // by number - 1
    std::vector<QString> removed_;    // the removed-entries stack
    std::uint32_t indexedFields_ = 0; // bits 4..12 of the fields the index can answer
    bool userClickedIndex_ = false;
};

} // namespace cvx
