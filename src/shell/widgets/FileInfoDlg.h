#pragma once
// TFileInfoDlg, the file properties of a reference window's file: its name, size, number of
// references and deleted records, the size with its companions and the time it was last changed.

#include <QDialog>

namespace cvx {

class TReferenceFile;

class FileInfoDlg : public QDialog {
    Q_OBJECT
public:
    FileInfoDlg(const TReferenceFile& file, QWidget* parent = nullptr);
};

} // namespace cvx
