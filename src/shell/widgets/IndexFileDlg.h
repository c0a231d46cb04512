#pragma once
// TIndexFileDlg, the indexing dialog: which fields go into the word index, of one reference file
// or of every file of a file group. The caller presets the file and the fields and afterwards
// reads the fields checked (a bit per field, as the word index numbers them) and the choice.

#include <QDialog>

#include <array>
#include <cstdint>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace cvx {

class IndexFileDlg : public QDialog {
    Q_OBJECT
public:
    explicit IndexFileDlg(QWidget* parent = nullptr);

    // The single file (UTF-8; empty without a reference window): without one the group is
    // chosen.
    void SetFileName(const std::string& name);
    std::string FileName() const;
    // Checks the box of every field whose bit is set.
    void SetFieldMask(std::uint32_t mask);
    // The fields checked; 0 when none is.
    std::uint32_t FieldMask() const;
    // True when the single file is to be indexed, false for the group.
    bool SingleFileChosen() const;
    // The chosen group's name (code page 1252, as the settings hold it).
    std::string GroupName() const;

private:
    void LoadGroups();
    void Browse();
    void GroupChanged();
    // OK needs a field and a target: the single file, when it exists, or a group.
    void UpdateButtons();

    QRadioButton* single_ = nullptr;
    QRadioButton* group_ = nullptr;
    QLineEdit* fileName_ = nullptr;
    QComboBox* groups_ = nullptr;
    std::array<QCheckBox*, 10> fields_{};
    QPushButton* ok_ = nullptr;
};

} // namespace cvx
