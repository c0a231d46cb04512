#include "shell/widgets/FileInfoDlg.h"

#include "refstore/Companions.h"
#include "refstore/ReferenceFile.h"
#include "search/IndexState.h"
#include "search/ReferenceLines.h"
#include "search/WordIndex.h"
#include "shell/widgets/DialogButtons.h"
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

    // The figures of the word index come from its header; without a usable header a panel
    // stands in their place.
    FileSystem& fs = FileSystem::Default();
    WordIndex index;
    const bool indexed = index.Open(fs, IndexFileOf(fs, file.FileName())) == IndexOpening::Opened;
    if (indexed) {
        const IndexHeader& header = index.Header();
        AddRow(form, msg::SmallDialogs::TotalWordsLabel, "LABEL_TotalWords",
               Count(header.totalWords));
        AddRow(form, msg::SmallDialogs::IndexedWordsLabel, "LABEL_IndexedWords",
               Count(header.distinctWords));
        AddRow(form, msg::SmallDialogs::AuthorNamesLabel, "LABEL_AuthorNames",
               Count(header.Section(static_cast<int>(FieldScope::Authors)).wordCount)
                   .replace(QLatin1Char('.'), QLatin1Char(' ')));
    }
    layout->addLayout(form);
    if (!indexed) {
        auto* noIndex = new QLabel(UiText(msg::SmallDialogs::NoValidIndex), this);
        noIndex->setObjectName(QStringLiteral("PANEL_NoIndex"));
        layout->addWidget(noIndex);
    }

    auto* buttons = NewDialogButtons(this, QDialogButtonBox::Ok | QDialogButtonBox::Help,
                                     [] { return kFilePropertiesHelp; });
    layout->addWidget(buttons);
}

} // namespace cvx
