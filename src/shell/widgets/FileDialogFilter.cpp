#include "shell/widgets/FileDialogFilter.h"

#include "settings/SettingsStore.h"
#include "shell/widgets/DialogSeams.h"
#include "text/widgets/QtText.h"

#include <QStringList>

namespace cvx {

QString DialogFilter(const FileDialogSetup& setup) {
    QStringList filters;
    for (const FileFilter& f : setup.filters) {
        filters << FromCp1252(f.label);
    }
    // The preselected kind comes first: the toolkit's dialog starts on the first filter.
    if (setup.selected > 0 && setup.selected < filters.size()) {
        filters.move(setup.selected, 0);
    }
    return filters.join(QStringLiteral(";;"));
}

QString AskReferenceFileName(QWidget* parent, const QString& title) {
    const SettingsStore store;
    const FileDialogSetup setup =
        PrepareFileDialog(store, FileKind::Reference, DefaultDirectoryKind::References,
                          {FileKind::Reference, FileKind::Any});
    return AskOpenFileName(parent, title, FromUtf8(setup.initialDirectory), DialogFilter(setup));
}

} // namespace cvx
