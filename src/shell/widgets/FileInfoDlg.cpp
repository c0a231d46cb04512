#include "shell/widgets/FileInfoDlg.h"

#include "refstore/Companions.h"
#include "refstore/ReferenceFile.h"
#include "shell/widgets/HelpViewer.h"
#include "text/widgets/QtText.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace cvx {

namespace {

constexpr int kFilePropertiesHelp = 1132;

// A count with the thousands separators of the user's locale and no decimals.
QString Count(qint64 n) {
    return QLocale().toString(n);
}

QString Bytes(qint64 n) {
    return UiText(msg::FileOpen::ByteCount, ToUtf8(Count(n)));
}

QLabel* AddRow(QFormLayout* form, MsgId caption, const char* name, const QString& value) {
    auto* label = new QLabel(value);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    form->addRow(UiText(caption), label);
    return label;
}

} // namespace

FileInfoDlg::FileInfoDlg(const TReferenceFile& file, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFileInfoDlg"));
    setWindowTitle(UiText(msg::SmallDialogs::FilePropertiesTitle));
    auto* layout = new QVBoxLayout(this);
    const QString name = FromUtf8(file.FileName());
    auto* fileName = new QLabel(name, this);
    fileName->setObjectName(QStringLiteral("LABEL_FileName"));
    fileName->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(fileName);

    auto* form = new QFormLayout;
    const QFileInfo info(name);
    AddRow(form, msg::SmallDialogs::SizeLabel, "LABEL_SizeBytes",
           Bytes(static_cast<qint64>(file.TextSize())));
    AddRow(form, msg::SmallDialogs::ReferencesLabel, "LABEL_SizeRefs", Count(file.RefCount()));
    AddRow(form, msg::SmallDialogs::DeletedLabel, "LABEL_DeleteCount", Count(file.DeletedCount()));
    AddRow(form, msg::SmallDialogs::AssociatedLabel, "LABEL_SizeAllFiles",
           Bytes(static_cast<qint64>(TotalSize(FileSystem::Default(), file.FileName()))));
    AddRow(form, msg::SmallDialogs::ModifiedLabel, "LABEL_LastModifiedDate",
           QLocale().toString(info.lastModified(), QLocale::ShortFormat));
    layout->addLayout(form);

    // The figures of the word index are shown once the program reads word indexes.
    auto* noIndex = new QLabel(UiText(msg::SmallDialogs::NoValidIndex), this);
    noIndex->setObjectName(QStringLiteral("PANEL_NoIndex"));
    layout->addWidget(noIndex);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setText(UiText(msg::SmallDialogs::Ok));
    buttons->button(QDialogButtonBox::Help)->setText(UiText(msg::SmallDialogs::Help));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { ShowHelp(this, kFilePropertiesHelp); });
    layout->addWidget(buttons);
}

} // namespace cvx
