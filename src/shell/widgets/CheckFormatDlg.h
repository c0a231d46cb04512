#pragma once
// TCheckFormatDlg: the scope of a structure check, which rules the references of a file are
// tested against (all, the year line, the names, the source, the journal names only).

#include "refstore/RefArrData.h"

#include <QDialog>

#include <array>

class QRadioButton;

namespace cvx {

class CheckFormatDlg : public QDialog {
    Q_OBJECT
public:
    explicit CheckFormatDlg(QWidget* parent = nullptr);

    // A stored scope outside the five checks the first button.
    void SetScope(int scope);
    CheckKind Scope() const;

private:
    std::array<QRadioButton*, 5> buttons_{};
};

} // namespace cvx
